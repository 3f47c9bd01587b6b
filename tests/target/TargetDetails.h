// The windows of the target's "details" mode: a class with known styles and extra bytes, a window that fills
// them, sets two properties, holds the caret and the mouse capture, and an owner chain around it.
#pragma once

#include <windows.h>

#include <string>

// Class and captions: "PaneprobeTargetDetails" with the caption "Paneprobe Target TAG details"; its owner
// "Paneprobe Target TAG details owner" and its owned pop-up "Paneprobe Target TAG details popup".
void CreateDetailsWindows(HINSTANCE instance, const std::string& caption);

namespace TargetDetails {
const UINT ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_NOCLOSE;
const int ClassExtra = 8;
// Two pointer-sized values and a LONG at the end.
const int WindowExtra = 2 * static_cast<int>(sizeof(LONG_PTR)) + 4;
const LONG_PTR FirstExtra = 0x11223344;
const LONG_PTR SecondExtra = 0x55667788;
const LONG LastExtra = 0x0A0B0C0D;
const LONG_PTR UserData = 0x5A5A;
const int ColourIndex = COLOR_INFOBK;
const char* const NamedProperty = "PaneprobeNamed";
const UINT_PTR NamedValue = 0x1234;
const char* const AtomName = "#4660"; // an integer atom: it has no text of its own
const UINT_PTR AtomValue = 0x5678;
const int CaretWidth = 2, CaretHeight = 16, CaretX = 5, CaretY = 7;
} // namespace TargetDetails
