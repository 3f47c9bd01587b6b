// The target program's rotating mode: a window whose children keep changing places in the z-order.
#pragma once

#include <windows.h>

#include <string>

// Starts a thread with a top-level window of class "PaneprobeRotating", captioned caption + " rotating",
// whose three children it moves from the bottom of the z-order to the top, over and over, for twenty seconds
// (or until the window is closed): a walk from one sibling to the next may come back to one it has passed.
void StartRotation(HINSTANCE instance, const std::string& caption);
