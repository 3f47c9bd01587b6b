// Automatic accelerator letters of the kit's menus: a portable rule on the captions of one menu level.
#pragma once

#include <string>
#include <vector>

// The accelerator letter of a caption, upper-cased: the letter or digit after a single "&" ("&&" is a
// literal ampersand); 0 when there is none.
char HotkeyOf(const std::string& caption);

// The captions of one menu level as the menu shows them, in order. Separators ("-") and captions with a
// letter of their own stay as they are, and their letters are taken first. Every other caption gets a "&"
// before its first letter or digit (A to Z, 0 to 9, without regard to case) that no earlier item has taken;
// a caption whose letters are all taken gets none.
std::vector<std::string> AutoHotkeyCaptions(const std::vector<std::string>& captions);
