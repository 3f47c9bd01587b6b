// One whole page painted, the longest single message left in a large fill or refresh, against the same page
// of a plain control made here: the platform's own floor for drawing what the page shows.
#include "PagePaintBench.h"

#include "BenchClock.h"

#include "app/QrLib.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

struct TPaintTime {
    double Mean = 0;
    double Longest = 0;
};

// The window's own paint only, as the message loop would dispatch it after the whole window went invalid.
TPaintTime TimePaints(HWND window, int count) {
    TPaintTime time;
    for (int i = 0; i < count; ++i) {
        InvalidateRect(window, nullptr, TRUE);
        const double start = Seconds();
        UpdateWindow(window);
        const double spent = Seconds() - start;
        time.Mean += spent / count;
        time.Longest = std::max(time.Longest, spent);
    }
    return time;
}

HWND CreateCopy(const char* className, HWND original, const TBareHost& host, DWORD without, DWORD with) {
    RECT rect = {};
    GetClientRect(host.Get(), &rect);
    const DWORD style = (static_cast<DWORD>(GetWindowLongA(original, GWL_STYLE)) & ~without) | with;
    HWND copy = CreateWindowExA(0, className, "", style | WS_CHILD | WS_VISIBLE, 0, 0, rect.right,
                                rect.bottom, host.Get(), nullptr, nullptr, nullptr);
    if (copy) SendMessageA(copy, WM_SETFONT, SendMessageA(original, WM_GETFONT, 0, 0), FALSE);
    return copy;
}

std::string ItemText(HWND list, int row, int column) {
    char text[512] = "";
    ListView_GetItemText(list, row, column, text, sizeof text);
    return text;
}

} // namespace

// A report list view of the page's rows: the same columns, widths, extended styles, icons and texts, each
// text stored in the list, with no owner drawing and no text asked of a parent.
HWND CopyListPage(HWND list, const TBareHost& host) {
    HWND copy = CreateCopy(WC_LISTVIEWA, list, host, LVS_OWNERDRAWFIXED | LVS_OWNERDATA | WS_CLIPSIBLINGS,
                           LVS_SHAREIMAGELISTS);
    if (!copy) return nullptr;
    ListView_SetExtendedListViewStyle(copy, ListView_GetExtendedListViewStyle(list));
    ListView_SetImageList(copy, ListView_GetImageList(list, LVSIL_SMALL), LVSIL_SMALL);
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int c = 0; c < columns; ++c) {
        char title[128] = "";
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        ListView_GetColumn(list, c, &column);
        ListView_InsertColumn(copy, c, &column);
    }
    const int top = std::max(ListView_GetTopIndex(list), 0);
    const int end = std::min(ListView_GetItemCount(list), top + ListView_GetCountPerPage(list) + 2);
    for (int row = top; row < end; ++row) {
        std::string text = ItemText(list, row, 0);
        LVITEMA item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        ListView_GetItem(list, &item);
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row - top;
        item.pszText = text.data();
        ListView_InsertItem(copy, &item);
        for (int c = 1; c < columns; ++c) {
            std::string cell = ItemText(list, row, c);
            ListView_SetItemText(copy, row - top, c, cell.data());
        }
    }
    return copy;
}

namespace {

HWND CopyTabs(HWND tabs, const TBareHost& host) {
    HWND copy = CreateCopy(WC_TABCONTROLA, tabs, host, WS_CLIPSIBLINGS, 0);
    if (!copy) return nullptr;
    TabCtrl_SetImageList(copy, TabCtrl_GetImageList(tabs));
    for (int i = 0; i < TabCtrl_GetItemCount(tabs); ++i) {
        char text[128] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        TabCtrl_GetItem(tabs, i, &item);
        TabCtrl_InsertItem(copy, i, &item);
    }
    TabCtrl_SetCurSel(copy, TabCtrl_GetCurSel(tabs));
    return copy;
}

} // namespace

const char* PagePaintTitle() {
    return "One whole page painted, against a plain control made here with the same size, columns, font, "
           "icons\n"
           "  and texts of the page (the platform's floor for that page):";
}

std::string PagePaint(const char* what, HWND original, TPageKind kind) {
    HWND (*copyOf)(HWND, const TBareHost&) = kind == TPageKind::List ? CopyListPage : CopyTabs;
    if (!original || !IsWindowVisible(original)) return FormatText("%-34s not shown", what);
    TBareHost host(original);
    HWND copy = host.Get() ? copyOf(original, host) : nullptr;
    if (!copy) return FormatText("%-34s no copy could be made", what);
    const int rounds = 4, paints = 5;
    TPaintTime own, bare;
    for (int round = 0; round < rounds; ++round) { // alternated, so that neither gets a quieter system
        host.Show(true);
        TPaintTime b = TimePaints(copy, paints);
        host.Show(false);
        TPaintTime o = TimePaints(original, paints);
        bare.Mean += b.Mean / rounds;
        own.Mean += o.Mean / rounds;
        bare.Longest = std::max(bare.Longest, b.Longest);
        own.Longest = std::max(own.Longest, o.Longest);
    }
    char line[256];
    std::snprintf(line, sizeof line, "%-34s %7.1f ms (longest %5.1f)  bare %7.1f ms (longest %5.1f)  %5.2fx",
                  what, own.Mean * 1e3, own.Longest * 1e3, bare.Mean * 1e3, bare.Longest * 1e3,
                  own.Mean / std::max(bare.Mean, 1e-9));
    return line;
}
