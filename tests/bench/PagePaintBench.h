// Whole-page paints of the program's lists and tab control against plain copies of the same page.
#pragma once

#include "BenchClock.h"

#include <windows.h>

#include <string>

// A visible pop-up over the same screen rectangle holds the copy; it is hidden while the original paints,
// which it would otherwise cover.
class TBareHost {
  public:
    explicit TBareHost(HWND original) {
        RECT rect = {};
        GetWindowRect(original, &rect);
        host = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "", WS_POPUP, rect.left,
                               rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                               nullptr, nullptr);
    }
    TBareHost(const TBareHost&) = delete;
    TBareHost& operator=(const TBareHost&) = delete;
    ~TBareHost() {
        if (host) DestroyWindow(host);
    }
    HWND Get() const { return host; }
    void Show(bool show) {
        SetWindowPos(host, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        PumpAll();
    }

  private:
    HWND host = nullptr;
};

// A report list view on the host with the shown page of the list: the same columns, widths, extended
// styles, icons and texts, each text stored in the list, with no owner drawing and no text asked of a parent.
HWND CopyListPage(HWND list, const TBareHost& host);

enum class TPageKind { List, Tabs };

const char* PagePaintTitle();
// Paints the shown original and a plain copy of the page (a report list view, or a tab control with the
// same tabs) in turns; a line with both times and their ratio.
std::string PagePaint(const char* what, HWND original, TPageKind kind);
