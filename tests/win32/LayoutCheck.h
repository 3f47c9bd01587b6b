// Checks a window tree's layout as a user sees it: every visible control inside its parent's client area,
// no two visible siblings over each other, texts that fit their panels.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// One line per fault found under root (root itself excluded), naming the windows by class and text.
// Group boxes frame their siblings by design and are left out of the overlap check.
std::vector<std::string> LayoutFaults(HWND root);
// The faults of several trees, for one EXPECT.
std::string JoinFaults(const std::vector<std::string>& faults);
// The width of the text drawn with the window's own font.
int TextWidthIn(HWND window, const std::string& text);
