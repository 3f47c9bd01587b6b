// The display scale of a window, through the per-monitor functions where the platform has them.
#include "ui/Dpi.h"

#include "ui/WinHandles.h"

#include <cstddef>
#include <cstring>

namespace {

using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TSystemParametersInfoForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// Looked up once: older Windows have neither function, and the kit falls back to the screen's DPI.
FARPROC User32Function(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? GetProcAddress(user32, name) : nullptr;
}

template <class T> T User32(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(User32Function(name)));
}

} // namespace

int ScreenDpi() {
    TWindowDc screen(nullptr);
    int dpi = screen.Get() ? GetDeviceCaps(screen.Get(), LOGPIXELSX) : BaseDpi;
    return dpi > 0 ? dpi : BaseDpi;
}

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32<TGetDpiForWindow>("GetDpiForWindow");
    if (window && getDpiForWindow) {
        UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

bool IconTitleFontFor(int dpi, LOGFONTA& font) {
    static const auto forDpi = User32<TSystemParametersInfoForDpi>("SystemParametersInfoForDpi");
    // The "A" function gives the face name in the process code page; the "ForDpi" one only exists as W.
    if (forDpi && dpi != ScreenDpi()) {
        LOGFONTW wide = {};
        if (forDpi(SPI_GETICONTITLELOGFONT, sizeof wide, &wide, 0, static_cast<UINT>(dpi))) {
            font = {};
            std::memcpy(&font, &wide, offsetof(LOGFONTA, lfFaceName));
            WideCharToMultiByte(CP_UTF8, 0, wide.lfFaceName, -1, font.lfFaceName, LF_FACESIZE, nullptr,
                                nullptr);
            return true;
        }
    }
    return SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof font, &font, 0) != FALSE;
}
