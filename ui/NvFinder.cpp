// TNvFinder: the capture, the crosshair cursor and the end of a drag.
#include "ui/NvFinder.h"

#include "ui/WinHandles.h"

#include <utility>

namespace {

const COLORREF CrossColour = RGB(0x20, 0x20, 0x20);

} // namespace

TNvFinder::TNvFinder(TNvWindow& owner) {
    CreateOwnWindow("TNvFinder", "", WS_CHILD | WS_VISIBLE, 0, owner.Handle(), RECT{0, 0, Size, Size});
}

bool TNvFinder::HandlesKey(WORD key, unsigned) const {
    return dragging && key == VK_ESCAPE;
}

// Paneprobe's own finder never counts as a window to pick.
HWND TNvFinder::WindowAtPointer() const {
    POINT point = {};
    if (!GetCursorPos(&point)) return nullptr;
    HWND window = WindowFromPoint(point);
    return window == Handle() ? nullptr : window;
}

void TNvFinder::Start() {
    if (dragging) return;
    dragging = true;
    hovered = nullptr;
    HWND focus = GetFocus();
    focusBefore = focus != Handle() ? focus : nullptr;
    SetFocus(Handle()); // Escape reaches the finder
    SetCapture(Handle());
    SetCursor(LoadCursor(nullptr, IDC_CROSS));
    Invalidate();
    Hover();
}

void TNvFinder::Hover() {
    HWND window = WindowAtPointer();
    if (window == hovered) return;
    hovered = window;
    if (OnHover) OnHover(window);
}

// The state is left first: the callbacks may open windows, take the capture or end the drag again.
void TNvFinder::Finish(bool pick, bool add) {
    if (!dragging) return;
    dragging = false;
    HWND window = pick ? WindowAtPointer() : nullptr;
    hovered = nullptr;
    if (GetCapture() == Handle()) ReleaseCapture();
    // The keys go back to the control that had them; it may have gone while the drag lasted.
    HWND focus = std::exchange(focusBefore, nullptr);
    if (GetFocus() == Handle() && focus && IsWindow(focus) &&
        GetAncestor(focus, GA_ROOT) == GetAncestor(Handle(), GA_ROOT))
        SetFocus(focus);
    Invalidate();
    if (window && OnPick)
        OnPick(window, add);
    else if (!window && OnCancel)
        OnCancel();
}

void TNvFinder::Paint() {
    TPaintDc dc(Handle());
    if (!dc) return;
    RECT client = ClientRect();
    FillRect(dc.Get(), &client, GetSysColorBrush(COLOR_BTNFACE));
    if (dragging) return; // the crosshair has left with the pointer
    TPen pen(CreatePen(PS_SOLID, 1, CrossColour));
    TSelectGuard selectPen(dc.Get(), pen.Get());
    TSelectGuard selectBrush(dc.Get(), GetStockObject(NULL_BRUSH));
    const int cx = client.right / 2, cy = client.bottom / 2,
              r = (client.bottom < client.right ? client.bottom : client.right) / 2 - 3;
    Ellipse(dc.Get(), cx - r, cy - r, cx + r + 1, cy + r + 1);
    MoveToEx(dc.Get(), cx, cy - r - 2, nullptr);
    LineTo(dc.Get(), cx, cy + r + 3);
    MoveToEx(dc.Get(), cx - r - 2, cy, nullptr);
    LineTo(dc.Get(), cx + r + 3, cy);
}

LRESULT TNvFinder::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: // a second press soon after the last one starts a drag as well
        Start();
        return 0;
    case WM_MOUSEMOVE:
        if (dragging) Hover();
        return 0;
    case WM_LBUTTONUP:
        Finish(true, (wParam & MK_SHIFT) != 0 || GetKeyState(VK_SHIFT) < 0);
        return 0;
    case WM_KEYDOWN:
        if (dragging && wParam == VK_ESCAPE) {
            Finish(false, false);
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        if (dragging && reinterpret_cast<HWND>(lParam) != Handle()) Finish(false, false);
        return 0;
    case WM_SETCURSOR:
        if (dragging) {
            SetCursor(LoadCursor(nullptr, IDC_CROSS));
            return TRUE;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        Paint();
        return 0;
    default:
        break;
    }
    return TNvWindow::HandleMessage(message, wParam, lParam);
}
