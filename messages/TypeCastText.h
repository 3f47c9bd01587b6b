// What the Typecast viewer shows, without the platform: the kind a value is read as and the texts drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum TTypeCastKind : int {
    tkInvalid = -1,
    tkString = 0,
    tkByte = 1,
    tkWord = 2,
    tkDword = 3,
    tkFont = 4,
    tkIcon = 5,
};

// What the platform layer found out about a value.
struct TTypeCastProbe {
    bool StringReadable = false; // the first character at the address can be read
    size_t ReadableBytes = 0;    // how many bytes from the address on can be read (up to a bound)
    bool IsFont = false;         // a graphics object that describes itself as a logical font
    bool IsIcon = false;         // an icon or cursor handle
};

// A confirmed font or icon handle, else the first memory kind (string, byte, word, dword) whose test the
// probe passes; tkInvalid when none does.
TTypeCastKind ChooseTypeCastKind(const TTypeCastProbe& probe);
const char* TypeCastKindName(TTypeCastKind kind);
// "string(0x1A2B)": the kind name and the value in upper-case hexadecimal, all of its bits.
std::string TypeCastCaption(TTypeCastKind kind, uint64_t value);

// The zero-terminated (UTF-8) text at the start of a copy of memory; a copy without a zero ends the text,
// less a character that the copy cut short.
std::string StringViewText(const std::string& bytes);
// The number at the start of a copy of memory for the kinds byte, word and dword, in hexadecimal with two,
// four or eight digits; the empty text when the copy is too short.
std::string NumberViewText(TTypeCastKind kind, const std::string& bytes);

// |height x 72 / ppi| with the division truncated toward zero; 0 for a ppi of 0 or less.
int32_t FontPoints(int32_t height, int32_t ppi);
std::string FontViewText(const std::string& face, int32_t height, int32_t width, int32_t weight, int32_t ppi);

const char* IconTypeName(bool isIcon);
// The size is twice the hotspot: an icon's hotspot is its centre.
std::string IconViewText(int32_t hotspotX, int32_t hotspotY, bool isIcon);
