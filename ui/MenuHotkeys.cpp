// Automatic accelerator letters of the kit's menus.
#include "ui/MenuHotkeys.h"

#include <bitset>

namespace {

bool IsHotkeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

char HotkeyOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        if (caption[i + 1] == '&') {
            ++i; // a literal ampersand
            continue;
        }
        return IsHotkeyChar(caption[i + 1]) ? Upper(caption[i + 1]) : 0;
    }
    return 0;
}

std::vector<std::string> AutoHotkeyCaptions(const std::vector<std::string>& captions) {
    std::bitset<128> taken;
    for (const std::string& caption : captions)
        if (char key = HotkeyOf(caption)) taken.set(static_cast<size_t>(key));
    std::vector<std::string> shown = captions;
    for (std::string& caption : shown) {
        if (caption == "-" || HotkeyOf(caption)) continue;
        for (size_t i = 0; i < caption.size(); ++i) {
            if (caption[i] == '&') {
                ++i; // "&&", or a "&" before something that cannot be a letter: not a place for one
                continue;
            }
            char key = Upper(caption[i]);
            if (!IsHotkeyChar(key) || taken.test(static_cast<size_t>(key))) continue;
            taken.set(static_cast<size_t>(key));
            caption.insert(i, 1, '&');
            break;
        }
    }
    return shown;
}
