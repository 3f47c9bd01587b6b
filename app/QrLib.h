// Shared helper functions that need no platform: number texts, clamps, text search, fonts as plain records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The integer text rule: optional leading spaces, then a signed decimal that fits 32 bits, or one of the
// prefixes "$", "x", "X", "0x", "0X" with one to eight hexadecimal digits; nothing may follow.
bool TryIntFromText(std::string_view text, int32_t& value);
int32_t IntFromText(std::string_view text, int32_t fallback);

// The program's printf-like formatting: "%d", "%.2d", "%x" and "%.8x" (upper-case digits), "%s".
std::string FormatText(const char* format, ...);
// The empty text for 0, otherwise the format filled with the value.
std::string FormatNonZero(uint32_t value, const char* format);

// "%.2d.%.2d.%.2d" of the year, month and day bytes of a packed version (0x10061C gives "16.06.28").
std::string VersionTextNumeric(uint32_t packed);

inline int32_t IfThen(bool flag, int32_t ifTrue, int32_t ifFalse) { return flag ? ifTrue : ifFalse; }
// The low test comes first: with high < low a value below low gives low and any other gives high.
inline int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}
// Wrap-around stepping: below low gives high, above high gives low.
inline int32_t ClampWrap(int32_t value, int32_t low, int32_t high) {
    return value < low ? high : (value > high ? low : value);
}
