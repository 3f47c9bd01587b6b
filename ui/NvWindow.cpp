// The kit's window base: one window procedure for own classes and subclassed controls alike.
#include "ui/NvWindow.h"

#include "ui/Dpi.h"

#include "ui/NvPopupMenu.h"

#include "ui/SentStructure.h"

#include <set>

namespace {

const UINT_PTR KitSubclassId = 0x4E76; // "Nv"
// Names the object of every kit window. A subclassed control keeps GWLP_USERDATA free for the control's
// owner; an own-class window may be subclassed by a child (which hides the kit's window procedure).
const char* const KitProperty = "TNvWindow";

// Control ids let WM_MEASUREITEM, which carries no window handle, find its control.
int NextControlId() {
    static int id = 1000;
    return ++id;
}

struct TFontChange {
    HFONT From;
    HFONT To;
};

// Only windows that use the font being replaced (or none) take the new one.
BOOL CALLBACK SetFontOnChild(HWND child, LPARAM changeData) {
    auto change = reinterpret_cast<const TFontChange*>(changeData);
    auto current = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
    if (current == change->From || !current)
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(change->To), TRUE);
    return TRUE;
}

// Creation messages are taken only at creation: sent to a live window, WM_NCCREATE would detach its object
// and let the default handling rename the window from whatever the message points at.
bool IsCreationMessage(UINT message) {
    return message == WM_NCCREATE || message == WM_CREATE;
}

} // namespace

TNvWindow::~TNvWindow() {
    Children.clear();
    if (hWnd) {
        HWND window = hWnd;
        Detach();
        DestroyWindow(window);
    }
}

// Stops messages from reaching an object that is going away.
void TNvWindow::Detach() {
    if (!hWnd) return;
    if (subclassed)
        RemoveWindowSubclass(hWnd, SubclassProc, KitSubclassId);
    else
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
    RemovePropA(hWnd, KitProperty);
    hWnd = nullptr;
}

TNvWindow* TNvWindow::FromHandle(HWND window) {
    return window ? static_cast<TNvWindow*>(GetPropA(window, KitProperty)) : nullptr;
}

void TNvWindow::CreateOwnWindow(const char* className, const char* text, DWORD style, DWORD exStyle,
                                HWND parent, const RECT& bounds) {
    static std::set<std::string> registered;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (registered.insert(className).second) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = ClassProc;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconA(instance, "MAINICON");
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = className;
        RegisterClassExA(&windowClass);
    }
    HMENU id = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId())) : nullptr;
    CreateWindowExA(exStyle, className, text, style, bounds.left, bounds.top, bounds.right - bounds.left,
                    bounds.bottom - bounds.top, parent, id, instance, this);
    if (parent && hWnd) {
        hFont = reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0));
    }
}

void TNvWindow::CreateControl(const char* className, DWORD style, DWORD exStyle, HWND parent) {
    hWnd = CreateWindowExA(exStyle, className, "", style | WS_CHILD, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId())),
                           GetModuleHandleA(nullptr), nullptr);
    if (!hWnd) return;
    subclassed = true;
    SetWindowSubclass(hWnd, SubclassProc, KitSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetPropA(hWnd, KitProperty, this);
    SendMessageA(hWnd, WM_SETFONT, SendMessageA(parent, WM_GETFONT, 0, 0), FALSE);
}

LRESULT CALLBACK TNvWindow::ClassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto self = reinterpret_cast<TNvWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    // Only the window's own creation binds it: a WM_NCCREATE that anyone sends later (with no creation data,
    // or other data) must neither crash nor cut the window off from its object.
    if (message == WM_NCCREATE) {
        if (self || !lParam) return 0;
        self = static_cast<TNvWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self) {
            self->hWnd = window;
            SetPropA(window, KitProperty, self);
        }
    } else if (message == WM_CREATE && self && self->created) {
        return 0;
    }
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = Dispatch(self, message, wParam, lParam);
    if (message == WM_CREATE) self->created = true;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        RemovePropA(window, KitProperty);
        self->hWnd = nullptr;
    }
    return result;
}

// The subclass is put on after the control exists, so a creation message arriving here is never its own.
LRESULT CALLBACK TNvWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR selfData) {
    auto self = reinterpret_cast<TNvWindow*>(selfData);
    if (IsCreationMessage(message)) return 0;
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, KitSubclassId);
        RemovePropA(window, KitProperty);
        self->hWnd = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return Dispatch(self, message, wParam, lParam);
}

// No exception may cross the platform's window procedure.
LRESULT TNvWindow::Dispatch(TNvWindow* self, UINT message, WPARAM wParam, LPARAM lParam) {
    // A structure another program points at that is not wholly here, or that names a window that is not
    // ours, goes nowhere: the default answer is 0, and a control's own procedure would read it as well.
    if (!MayReadSentStructure(self->hWnd, message, lParam)) return 0;
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return self->hWnd ? self->DefaultHandling(message, wParam, lParam) : 0;
    }
}

LRESULT TNvWindow::DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!hWnd) return 0;
    if (subclassed) return DefSubclassProc(hWnd, message, wParam, lParam);
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT TNvWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectToChild(message, wParam, lParam, result)) return result;
    if (!subclassed) {
        if (message == WM_SETFONT) {
            hFont = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) Invalidate();
            return 0;
        }
        if (message == WM_GETFONT) return reinterpret_cast<LRESULT>(hFont);
    }
    return DefaultHandling(message, wParam, lParam);
}

bool TNvWindow::HandleNotify(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool TNvWindow::DialogChar(WORD) {
    return false;
}

bool TNvWindow::HandlesKey(WORD, unsigned) const {
    return false;
}

// Controls tell their parent about themselves; the kit hands that back to the control's own object.
bool TNvWindow::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    HWND child = nullptr;
    // Anyone may send these messages; a structure that is not there is not read.
    if (!lParam && (message == WM_NOTIFY || message == WM_DRAWITEM || message == WM_MEASUREITEM))
        return false;
    switch (message) {
    case WM_NOTIFY:
        child = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        break;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
        child = reinterpret_cast<HWND>(lParam);
        break;
    case WM_DRAWITEM: {
        auto draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (draw->CtlType != ODT_MENU) child = draw->hwndItem;
        break;
    }
    case WM_MEASUREITEM: {
        auto measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure->CtlType != ODT_MENU) child = GetDlgItem(hWnd, static_cast<int>(measure->CtlID));
        break;
    }
    default:
        return false;
    }
    if (!child || child == hWnd) return false;
    TNvWindow* target = FromHandle(child);
    return target && target->HandleNotify(message, wParam, lParam, result);
}

int TNvWindow::Dpi() const {
    return hWnd ? WindowDpi(hWnd) : ScreenDpi();
}

int TNvWindow::Scaled(int px96) const {
    return ScaleToDpi(px96, Dpi());
}

void TNvWindow::SetBounds(int left, int top, int width, int height) {
    if (hWnd) SetWindowPos(hWnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TNvWindow::ClientRect() const {
    RECT rect = {};
    if (hWnd) GetClientRect(hWnd, &rect);
    return rect;
}

std::string TNvWindow::Text() const {
    if (!hWnd) return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(hWnd)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hWnd, &text[0], static_cast<int>(text.size()))));
    return text;
}

void TNvWindow::SetText(const std::string& text) {
    if (hWnd) SetWindowTextA(hWnd, text.c_str());
}

HFONT TNvWindow::Font() const {
    return hWnd ? reinterpret_cast<HFONT>(SendMessageA(hWnd, WM_GETFONT, 0, 0)) : nullptr;
}

void TNvWindow::SetFontAll(HFONT font) {
    if (!hWnd) return;
    TFontChange change = {Font(), font};
    SendMessageA(hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EnumChildWindows(hWnd, SetFontOnChild, reinterpret_cast<LPARAM>(&change));
}

void TNvWindow::Invalidate() {
    if (hWnd) InvalidateRect(hWnd, nullptr, TRUE);
}
