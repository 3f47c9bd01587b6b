// Shared helper functions that need no platform: number texts, clamps, text search, fonts as plain records.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

// The integer text rule: optional leading spaces, then a signed decimal that fits 32 bits, or one of the
// prefixes "$", "x", "X", "0x", "0X" with one to eight hexadecimal digits; nothing may follow.
bool TryIntFromText(std::string_view text, int32_t& value);
int32_t IntFromText(std::string_view text, int32_t fallback);

// The program's printf-like formatting: "%d", "%.2d", "%x" and "%.8x" (upper-case digits), "%s".
// Also accepted: "%i", "%u", "%X", "%c", "%%", flags "-" and "0", a width, and the length "ll" for 64-bit
// arguments. Anything else is copied as it stands.
std::string FormatText(const char* format, ...)
#if defined(__clang__)
    __attribute__((format(printf, 1, 2)))
#elif defined(__GNUC__)
    __attribute__((format(gnu_printf, 1, 2)))
#endif
    ;
// A format with number placeholders filled with one 64-bit value (every number placeholder takes it, "%s"
// writes nothing): for formats that come from tables rather than from a call site.
std::string FormatNumber(const char* format, int64_t value);
// The empty text for 0, otherwise the format filled with the value.
std::string FormatNonZero(uint32_t value, const char* format);

// "%.2d.%.2d.%.2d" of the year, month and day bytes of a packed version (0x10061C gives "16.06.28").
std::string VersionTextNumeric(uint32_t packed);
// The calendar date that a packed version stands for (year 2000 + byte 2, month byte 1, day byte 0);
// false when the bytes do not form a valid date.
bool VersionDate(uint32_t packed, int& year, int& month, int& day);

inline int32_t IfThen(bool flag, int32_t ifTrue, int32_t ifFalse) {
    return flag ? ifTrue : ifFalse;
}
// The low test comes first: with high < low a value below low gives low and any other gives high.
inline int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}
// Wrap-around stepping: below low gives high, above high gives low.
inline int32_t ClampWrap(int32_t value, int32_t low, int32_t high) {
    return value < low ? high : (value > high ? low : value);
}

// Destroys the object (nothing for null) and leaves the pointer null, so a second call is harmless.
template <typename T> void FreeAndClear(T*& object) {
    T* doomed = object;
    object = nullptr;
    delete doomed;
}

// Upper-cases a text in place. The platform layer supplies the locale's rule; natively ASCII serves, and
// since texts are UTF-8 every byte of a multi-byte character is left as it is.
using TUpperCaser = void (*)(std::string& text);
void UpperCaseAscii(std::string& text);
// The letters that bound a whole word: A-Z, a-z and every byte of a UTF-8 multi-byte character, so that a
// match never ends inside one (digits and "_" are not letters).
bool IsWordLetter(unsigned char c);
// 1-based position of the first match at or after start, or 0. Unless caseSensitive both texts go through
// upperCase first; wholeWord requires non-letters (or the ends of the text) on both sides of the match.
int FindText(std::string_view text, std::string_view pattern, int start, bool caseSensitive, bool wholeWord,
             TUpperCaser upperCase);

using TCharSet = std::bitset<256>;
TCharSet MakeCharSet(std::string_view members);
// The characters of text from the 1-based position start on that are not in the set, in order.
std::string RemoveChars(std::string_view text, const TCharSet& set, int start);

struct TIntRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TIntRect& other) const {
        return Left == other.Left && Top == other.Top && Right == other.Right && Bottom == other.Bottom;
    }
};
// Each coordinate * multiplier / divisor: the product wraps to 32 bits, the quotient truncates toward zero.
// A divisor of 0 leaves the rectangle as it is rather than faulting.
TIntRect ScaleRect(const TIntRect& rect, int32_t multiplier, int32_t divisor);
int32_t ScaleCoordinate(int32_t value, int32_t multiplier, int32_t divisor);

// A colour between a and b (0x00BBGGRR), t from 0 (a) to 255 (b); t outside that range is clamped.
uint32_t BlendColor(uint32_t a, uint32_t b, int32_t t);

// The platform's MulDiv: a * b / c rounded half away from zero; -1 when c is 0 or the result overflows.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);

// A font described by a short text such as `Tahoma, 9; bi` or `"Courier New" 10`, as a plain record that
// the platform layer turns into a font.
struct TFontSpec {
    static constexpr size_t MaxFaceLength = 31;
    int32_t Height = 0; // negative: character height in pixels
    int32_t Weight = 400;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::string FaceName;
};
// Applies the tokens of text to a base height and face: style letters (b i s u, lower case, tokens of at
// most four characters), a size in points (a token starting with "-" or a digit), or a face name.
TFontSpec ParseFontText(std::string_view text, int32_t baseHeight, std::string_view baseFace, int32_t dpi);
