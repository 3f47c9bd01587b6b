// Walks a window tree and reports controls outside their parents and siblings that overlap.
#include "LayoutCheck.h"

#include "app/WinApiEx.h"
#include "ui/WinHandles.h"

#include <cstdio>

namespace {

std::string TextOf(HWND window);

std::string Describe(HWND window) {
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    std::string text = TextOf(window).substr(0, 60);
    RECT rect = {};
    GetWindowRect(window, &rect);
    char place[96];
    std::snprintf(place, sizeof place, " [%ld,%ld %ldx%ld]", static_cast<long>(rect.left),
                  static_cast<long>(rect.top), static_cast<long>(rect.right - rect.left),
                  static_cast<long>(rect.bottom - rect.top));
    return std::string(className) + " \"" + text + "\"" + place;
}

bool IsGroupBox(HWND window) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, "Button") == 0 &&
           (GetWindowLongPtrA(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsStatic(HWND window) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, "Static") == 0;
}

std::string TextOf(HWND window) {
    std::string text(1024, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, &text[0], static_cast<int>(text.size()))));
    return text;
}

// A static that shows no text is a backdrop or a rule (a band behind buttons, a sunken line drawn under the
// frame): it is meant to lie under its siblings.
bool IsBackdrop(HWND window) {
    return IsStatic(window) && TextOf(window).empty();
}

// What the user sees of a window: a label shows its text, from the top, however tall its window is.
RECT ShownRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    if (!IsStatic(window)) return rect;
    TWindowDc dc(window);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    TSelectGuard select(dc.Get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    RECT text = {0, 0, rect.right - rect.left, 0};
    std::string shown = TextOf(window);
    DrawTextA(dc.Get(), shown.c_str(), -1, &text, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (text.bottom < rect.bottom - rect.top) rect.bottom = rect.top + text.bottom;
    return rect;
}

std::vector<HWND> VisibleChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = {};
        // A window of no size shows nothing and covers nothing.
        if (IsWindowVisible(child) && GetWindowRect(child, &rect) && !IsRectEmpty(&rect))
            children.push_back(child);
    }
    return children;
}

void CheckChildren(HWND parent, std::vector<std::string>& faults) {
    RECT client = {};
    GetClientRect(parent, &client);
    MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::vector<HWND> children = VisibleChildren(parent);
    for (size_t i = 0; i < children.size(); ++i) {
        CheckChildren(children[i], faults);
        if (IsBackdrop(children[i])) continue;
        RECT rect = ShownRect(children[i]), common = {};
        UnionRect(&common, &rect, &client);
        if (!EqualRect(&common, &client))
            faults.push_back(Describe(children[i]) + " lies outside its parent " + Describe(parent));
        for (size_t j = i + 1; j < children.size(); ++j) {
            if (IsGroupBox(children[i]) || IsGroupBox(children[j]) || IsBackdrop(children[j])) continue;
            RECT other = ShownRect(children[j]), both = {};
            if (IntersectRect(&both, &rect, &other))
                faults.push_back(Describe(children[i]) + " overlaps " + Describe(children[j]));
        }
    }
}

} // namespace

std::vector<std::string> LayoutFaults(HWND root) {
    std::vector<std::string> faults;
    if (root) CheckChildren(root, faults);
    return faults;
}

std::string JoinFaults(const std::vector<std::string>& faults) {
    std::string all;
    for (const std::string& fault : faults)
        all += fault + "\n";
    return all;
}

int TextWidthIn(HWND window, const std::string& text) {
    TWindowDc dc(window);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    TSelectGuard select(dc.Get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    return static_cast<int>(ProgramTextExtent(dc.Get(), text).cx);
}
