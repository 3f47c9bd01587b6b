// The display scale of a window: its DPI and sizes scaled from their 96-DPI values.
#pragma once

#include <windows.h>

const int BaseDpi = 96;

// The DPI the window is shown at: the window's own where the platform tells it (per-monitor awareness),
// otherwise the screen's.
int WindowDpi(HWND window);
// The DPI of the screen, for sizes chosen before a window exists.
int ScreenDpi();
// A size given at 96 DPI, at the given DPI; at 96 the value itself.
inline int ScaleToDpi(int px96, int dpi) {
    return dpi == BaseDpi ? px96 : MulDiv(px96, dpi, BaseDpi);
}
// The icon-title font (the forms' font) at the given DPI.
bool IconTitleFontFor(int dpi, LOGFONTA& font);
