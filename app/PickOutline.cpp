// TPickOutline and the explicit-pick call that shows it.
#include "app/PickOutline.h"

#include "app/Shared.h"
#include "config/EasyConfig.h"
#include "ui/Dpi.h"

#include <algorithm>
#include <memory>

namespace {

const UINT_PTR BlinkTimerId = 1;

std::unique_ptr<TPickOutline>& CurrentOutline() {
    static std::unique_ptr<TPickOutline> outline;
    return outline;
}

bool SettingOn(const char* fullName, bool fallback) {
    auto* variable = ConfigStore ? dynamic_cast<TConfigVarBool*>(ConfigStore->Find(fullName)) : nullptr;
    return variable ? variable->Value : fallback;
}

} // namespace

TPickOutline::TPickOutline(const RECT& picked, bool steady) {
    // A maximized or full-screen window reaches past the screen's edges: the frame then lies just inside.
    const RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    // The frame's 96-DPI width at the display scale.
    const int frameWidth = ScaleToDpi(FrameWidth, ScreenDpi());
    const RECT outer = {std::max(picked.left - frameWidth, screen.left),
                        std::max(picked.top - frameWidth, screen.top),
                        std::min(picked.right + frameWidth, screen.right),
                        std::min(picked.bottom + frameWidth, screen.bottom)};
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    if (width <= 2 * frameWidth || height <= 2 * frameWidth) return;

    HWND owner = IsWindow(MainWindowHandle) ? MainWindowHandle : nullptr;
    CreateOwnWindow("TPaneprobeOutline", "", WS_POPUP,
                    WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                    owner, outer);
    if (!Handle()) return;
    SetLayeredWindowAttributes(Handle(), 0, 230, LWA_ALPHA);
    // Only the frame is part of the window: the picked window shows through the middle untouched.
    HRGN frame = CreateRectRgn(0, 0, width, height);
    TGdiObject<HRGN> inside(CreateRectRgn(frameWidth, frameWidth, width - frameWidth, height - frameWidth));
    if (frame && inside) CombineRgn(frame, frame, inside.Get(), RGN_DIFF);
    if (frame && !SetWindowRgn(Handle(), frame, FALSE)) DeleteObject(frame); // a set region is the system's
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (!steady) SetTimer(Handle(), BlinkTimerId, BlinkMs, nullptr);
}

TPickOutline::~TPickOutline() {
    if (Handle()) KillTimer(Handle(), BlinkTimerId);
}

void TPickOutline::Blink() {
    ++phase;
    if (phase >= 2 * Blinks - 1) {
        KillTimer(Handle(), BlinkTimerId);
        DestroyWindow(Handle());
        return;
    }
    ShowWindow(Handle(), phase % 2 == 0 ? SW_SHOWNOACTIVATE : SW_HIDE);
}

LRESULT TPickOutline::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == BlinkTimerId) Blink();
        return 0;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND: {
        RECT client = ClientRect();
        TBrush brush(CreateSolidBrush(FrameColour));
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush.Get());
        return 1;
    }
    case WM_PAINT: {
        TPaintDc dc(Handle());
        TBrush brush(CreateSolidBrush(FrameColour));
        if (dc) FillRect(dc.Get(), &dc.Area(), brush.Get());
        return 0;
    }
    default:
        return TNvWindow::HandleMessage(message, wParam, lParam);
    }
}

void FlashPickedWindow(HWND window) {
    if (!ConfigStore || !SettingOn("gui.flash_picked_window", true)) return;
    if (SettingOn("system.scan_window_at_mouse", false)) return;
    RECT rect = {};
    if (!window || !IsWindowVisible(window) || !GetWindowRect(window, &rect)) return;
    CurrentOutline().reset();
    CurrentOutline() = std::make_unique<TPickOutline>(rect);
}

HWND PickOutlineWindow() {
    const auto& outline = CurrentOutline();
    return outline ? outline->Handle() : nullptr;
}
