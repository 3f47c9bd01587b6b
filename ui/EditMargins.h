// The platform's edit control keeps horizontal text positions in 16 bits: a left margin near 32767 pixels
// makes its caret scrolling loop for ever on the next character or click. Paneprobe's own edits refuse
// margins wider than any screen, whoever sends them (the Messages tab can send them anything).
#pragma once

#include <windows.h>

// The widest margin an edit of Paneprobe's takes, in pixels.
const int WidestEditMargin = 0x3FFF;

// Subclasses the edit for as long as it lives.
void RefuseUndrawableMargins(HWND edit);
