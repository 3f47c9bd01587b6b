// Escaping and unescaping of the snapshot file's names, values and path elements.
#include "snapshot/SnapshotText.h"

#include <cstdio>

namespace {

void AppendHex(std::string& out, unsigned char c) {
    static const char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[c >> 4];
    out += digits[c & 15];
}

// `special` lists the characters escaped wherever they stand.
std::string Escape(std::string_view text, std::string_view special) {
    std::string out;
    out.reserve(text.size());
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c == 0x7f || i >= end ||
                 special.find(static_cast<char>(c)) != std::string_view::npos)
            AppendHex(out, c);
        else
            out += static_cast<char>(c);
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string EscapeValue(std::string_view text) {
    return Escape(text, std::string_view());
}

std::string EscapeName(std::string_view text) {
    std::string out = Escape(text, "=~");
    if (!out.empty() && out[0] == '[') out.replace(0, 1, "\\x5b");
    return out;
}

std::string PathElement(std::string_view className, std::string_view controlId) {
    std::string element = Escape(className, "/~[]");
    if (!controlId.empty()) element += "#" + Escape(controlId, "/~[]");
    return element;
}

bool Unescape(std::string_view text, std::string& out, std::string& error) {
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (next == '\\' || next == 'n' || next == 'r' || next == 't') {
            out += next == '\\' ? '\\' : next == 'n' ? '\n' : next == 'r' ? '\r' : '\t';
            ++i;
            continue;
        }
        if (next == 'x' && i + 3 < text.size() && HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
            continue;
        }
        error = "\"" + std::string(text.substr(i, 4)) + "\" is not an escape this file uses";
        return false;
    }
    return true;
}
