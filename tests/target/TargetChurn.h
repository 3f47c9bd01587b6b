// The target program's churn mode: windows that come and go about a hundred times a second.
#pragma once

#include <windows.h>

// Turns the main window into the churn area (top left of the screen) and starts the churn; the program then
// lives for twenty minutes. The counts are kept in the main window's properties "PaneprobeChurnCreated" and
// "PaneprobeChurnDestroyed" so that another process can read them.
void StartChurn(HWND mainWindow, HINSTANCE instance);
