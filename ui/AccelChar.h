// The accelerator character of a caption: the one after a single "&" ("&&" shows an ampersand).
#pragma once

#include <string>

// The upper-cased accelerator character (ASCII letters folded), or 0 when the caption has none.
inline char AcceleratorOf(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        char next = caption[i + 1];
        if (next == '&') {
            ++i;
            continue;
        }
        return next >= 'a' && next <= 'z' ? static_cast<char>(next - 'a' + 'A') : next;
    }
    return 0;
}
