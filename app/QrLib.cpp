// Shared helper functions that need no platform.
#include "app/QrLib.h"

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

size_t HexPrefixLength(std::string_view text) {
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) return 1;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return 2;
    return 0;
}

bool ReadHex(std::string_view digits, int32_t& value) {
    if (digits.empty() || digits.size() > 8) return false;
    uint32_t result = 0;
    for (char c : digits) {
        int d = HexDigitValue(c);
        if (d < 0) return false;
        result = (result << 4) | static_cast<uint32_t>(d);
    }
    value = static_cast<int32_t>(result);
    return true;
}

bool ReadDecimal(std::string_view text, int32_t& value) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    const int64_t limit = negative ? 2147483648LL : 2147483647LL;
    int64_t result = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
        if (result > limit) return false;
    }
    value = static_cast<int32_t>(negative ? -result : result);
    return true;
}

} // namespace

bool TryIntFromText(std::string_view text, int32_t& value) {
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    text.remove_prefix(start);
    if (size_t prefix = HexPrefixLength(text)) return ReadHex(text.substr(prefix), value);
    return ReadDecimal(text, value);
}

int32_t IntFromText(std::string_view text, int32_t fallback) {
    int32_t value = 0;
    return TryIntFromText(text, value) ? value : fallback;
}
