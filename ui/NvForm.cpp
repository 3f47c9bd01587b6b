// TNvForm: a top-level window that snaps to the work area, stays on top on request and previews keys.
#include "ui/NvForm.h"

#include "ui/Dpi.h"
#include "ui/Monitors.h"
#include "ui/NvMainMenu.h"
#include "ui/NvPopupMenu.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::vector<TNvForm*>& LiveForms() {
    static std::vector<TNvForm*> forms;
    return forms;
}

} // namespace

void SnapToArea(int& left, int& top, int width, int height, const RECT& area, int distance) {
    if (distance < 1) return;
    if (std::abs(area.left - left) <= distance) left = area.left;
    if (std::abs(area.top - top) <= distance) top = area.top;
    if (std::abs(area.right - left - width) <= distance) left = area.right - width;
    if (std::abs(area.bottom - top - height) <= distance) top = area.bottom - height;
}

TNvForm::TNvForm(const char* className) {
    LOGFONTA font = {};
    if (IconTitleFontFor(ScreenDpi(), font)) IconTitleFont.Reset(CreateFontIndirectA(&font));
    // Placed where the code puts it: no automatic positioning.
    RECT bounds = {0, 0, 0, 0};
    CreateOwnWindow(className, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, nullptr,
                    bounds);
    if (IconTitleFont)
        SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(IconTitleFont.Get()), FALSE);
    LiveForms().push_back(this);
}

TNvForm::~TNvForm() {
    auto& forms = LiveForms();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void TNvForm::SetStayOnTop(bool on) {
    StayOnTop = on;
    if (Handle())
        SetWindowPos(Handle(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TNvForm::CenterOnScreen() {
    RECT rect = {};
    if (!Handle() || !GetWindowRect(Handle(), &rect)) return;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TNvForm::KeyDown(WORD&, unsigned) {}

unsigned TNvForm::ShiftStateNow() {
    unsigned shift = ssNone;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// Called by the message loop rather than from a message hook: a hook would see again every key that the
// preview removes from the queue, and act on keys that were meant to be dropped.
bool TNvForm::PreTranslate(MSG& message) {
    try {
        std::vector<TNvForm*> forms = LiveForms(); // a preview may close a form
        for (TNvForm* form : forms)
            if (std::find(LiveForms().begin(), LiveForms().end(), form) != LiveForms().end() &&
                form->PreviewMessage(message))
                return true;
    } catch (...) {
    }
    return false;
}

bool TNvForm::PreviewMessage(MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    if (!Handle() || (message.hwnd != Handle() && !IsChild(Handle(), message.hwnd))) return false;
    return PreviewKey(message);
}

// The focused control and then each of its parents: a shortcut of its popup menu runs at once; a key that
// the control handles itself keeps the main menu from taking it.
bool TNvForm::ControlShortCut(HWND focus, WORD key, unsigned shift, bool& ownKey) {
    uint16_t shortCut = ShortCutOf(key, shift);
    for (HWND window = focus; window && window != Handle(); window = GetParent(window)) {
        TNvWindow* control = FromHandle(window);
        if (!control) continue;
        if (control->PopupMenu && control->PopupMenu->RunShortCut(shortCut)) return true;
        if (control->HandlesKey(key, shift)) {
            ownKey = true;
            return false;
        }
    }
    return false;
}

// The order of key handling, in one place: the focused control's popup-menu shortcuts and its parents';
// keys the control acts on itself; the main menu's shortcuts; the form's key preview. A handled key never
// reaches the control.
bool TNvForm::PreviewKey(MSG& message) {
    WORD key = static_cast<WORD>(message.wParam);
    unsigned shift = ShiftStateNow();
    bool ownKey = false;
    if (ControlShortCut(message.hwnd, key, shift, ownKey)) return true;
    if (mainMenu && !ownKey) {
        HACCEL accelerators = mainMenu->Accelerators();
        if (accelerators && TranslateAcceleratorA(Handle(), accelerators, &message)) return true;
    }
    if (KeyPreview) KeyDown(key, shift);
    // Without a dialog manager the form hands Alt+key to its controls itself.
    if (key != 0 && message.message == WM_SYSKEYDOWN && shift == ssAlt && OfferDialogChar(key)) key = 0;
    if (key != 0) return false;
    // Keys typed ahead are dropped with the handled one.
    MSG pending;
    while (PeekMessageA(&pending, Handle(), WM_KEYDOWN, 0x108, PM_REMOVE | PM_NOYIELD)) {
    }
    return true;
}

namespace {

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

} // namespace

bool TNvForm::OfferDialogChar(WORD key) {
    std::vector<HWND> children;
    EnumChildWindows(Handle(), CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        // A control may go while an earlier one acts, so each is looked up afresh.
        if (!IsWindow(child) || !IsWindowVisible(child) || !IsWindowEnabled(child)) continue;
        TNvWindow* control = FromHandle(child);
        if (control && control->DialogChar(key)) return true;
    }
    return false;
}

// Snaps to the edges of the monitor the form is on, not the primary one's.
void TNvForm::SnapToWorkArea() {
    RECT rect = {};
    if (SnapDistance < 1 || !GetWindowRect(Handle(), &rect)) return;
    const RECT area = NearestWorkArea(rect);
    int left = rect.left, top = rect.top;
    SnapToArea(left, top, rect.right - rect.left, rect.bottom - rect.top, area, Scaled(SnapDistance));
    if (left != rect.left || top != rect.top)
        SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moved to another monitor's scale: the font is made again at the new DPI, and the rectangle the platform
// proposes is taken; its WM_SIZE lays the controls out at the new scale.
void TNvForm::DpiChanged(int dpi, const RECT& proposed) {
    LOGFONTA font = {};
    if (IconTitleFont && Font() == IconTitleFont.Get() && IconTitleFontFor(dpi, font)) {
        TFont scaled(CreateFontIndirectA(&font));
        if (scaled) {
            SetFontAll(scaled.Get());
            IconTitleFont = std::move(scaled);
        }
    }
    SetWindowPos(Handle(), nullptr, proposed.left, proposed.top, proposed.right - proposed.left,
                 proposed.bottom - proposed.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TNvForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_EXITSIZEMOVE: {
        LRESULT result = DefaultHandling(message, wParam, lParam);
        SnapToWorkArea();
        return result;
    }
    case WM_DPICHANGED:
        // Anyone can send it: without a scale or a rectangle there is nothing to follow.
        if (HIWORD(wParam) != 0 && lParam != 0)
            DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_COMMAND:
        if (lParam == 0 && mainMenu && mainMenu->RunCommand(LOWORD(wParam))) return 0;
        break;
    case WM_INITMENUPOPUP:
        if (mainMenu) mainMenu->MenuOpening(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_DESTROY:
        // A window destroys its menu bar with itself, behind the back of the menu object that owns it; a
        // later menu could then get the same value. Taken off here, the bar stays the object's to destroy.
        if (mainMenu && GetMenu(Handle()) == mainMenu->Handle()) SetMenu(Handle(), nullptr);
        if (mainForm) PostQuitMessage(0);
        break;
    default:
        break;
    }
    return TNvWindow::HandleMessage(message, wParam, lParam);
}
