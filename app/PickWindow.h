// Picking a window from one of the program's lists or menus: it becomes the tracked window and is outlined.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Switches following the mouse off, makes the window the only tracked one and outlines it. The main window
// passes its own track, which replaces the tracked window without announcing the empty list in between.
void PickWindow(HWND window, const std::function<void(HWND)>& track = nullptr);
// Switches following the mouse off and tracks every window in order, after those already tracked when
// appending (otherwise the first becomes the current one); outlines the first.
void PickWindows(const std::vector<HWND>& windows, bool append);
