// Whole-page paints of the program's lists and tab control against plain copies of the same page.
#pragma once

#include <windows.h>

#include <string>

enum class TPageKind { List, Tabs };

const char* PagePaintTitle();
// Paints the shown original and a plain copy of the page (a report list view, or a tab control with the
// same tabs) in turns; a line with both times and their ratio.
std::string PagePaint(const char* what, HWND original, TPageKind kind);
