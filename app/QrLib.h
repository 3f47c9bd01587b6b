// Shared helper functions that need no platform: number texts, clamps, text search, fonts as plain records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The integer text rule: optional leading spaces, then a signed decimal that fits 32 bits, or one of the
// prefixes "$", "x", "X", "0x", "0X" with one to eight hexadecimal digits; nothing may follow.
bool TryIntFromText(std::string_view text, int32_t& value);
int32_t IntFromText(std::string_view text, int32_t fallback);
