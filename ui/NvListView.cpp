// TNvListView and TNvOwnerDrawListView: report lists with a sort state and a header sort mark.
#include "ui/NvListView.h"

#include "ui/NvForm.h"
#include "ui/NvOwnerDrawListView.h"
#include "ui/NvPopupMenu.h"

#include "app/Utf8Text.h"
#include "app/WinApiEx.h"
#include "ui/ListText.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include <cmath>

TNvListView::TNvListView(TNvWindow& owner, DWORD extraStyle) {
    CreateControl(WC_LISTVIEWA, WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | extraStyle,
                  WS_EX_CLIENTEDGE, owner.Handle());
    ListView_SetExtendedListViewStyle(Handle(), LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
}

bool TNvListView::ColumnClick() const {
    return Handle() && !(GetWindowLongPtrA(Handle(), GWL_STYLE) & LVS_NOSORTHEADER);
}

void TNvListView::SetColumnClick(bool on) {
    if (!Handle()) return;
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    SetWindowLongPtrA(Handle(), GWL_STYLE,
                      on ? (style & ~LONG_PTR(LVS_NOSORTHEADER)) : (style | LVS_NOSORTHEADER));
    if (!on) SetSortMark(SortColumn, false);
}

void TNvListView::AddColumns(const TNvListColumn* table, int lastIndex, int pixelsPerInch) {
    static const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
    for (int i = 0; i <= lastIndex; ++i) {
        const TNvListColumn& row = table[i];
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = formats[static_cast<int>(row.Alignment)];
        column.cx = static_cast<int>(std::lround(row.Width * static_cast<double>(pixelsPerInch) / 96.0));
        column.pszText = const_cast<char*>(row.Caption);
        ListView_InsertColumn(Handle(), ColumnCount(), &column);
    }
    if (ColumnClick()) SetSortMark(SortColumn, true);
}

int TNvListView::ColumnCount() const {
    HWND header = Handle() ? Header() : nullptr;
    return header ? Header_GetItemCount(header) : 0;
}

int TNvListView::HeaderFormat(int column) const {
    HWND header = Handle() ? Header() : nullptr;
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!header || column < 0 || !SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

void TNvListView::SetSortMark(int column, bool on) {
    HWND header = Handle() ? Header() : nullptr;
    if (!header || column < 0 || column >= ColumnCount()) return;
    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    if (!SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) return;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (on) item.fmt |= SortDescending ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
}

void TNvListView::SetSortColumn(int index) {
    SetSortMark(SortColumn, false);
    SortColumn = index;
    SetSortMark(SortColumn, true);
}

// First click ascending, a second on the same column descending, a third ascending again.
void TNvListView::ClickColumn(int column) {
    SortDescending = column == SortColumn && !SortDescending;
    SetSortColumn(column);
    if (OnColumnClick) OnColumnClick(*this, column);
    Sort();
    int selected = ListView_GetNextItem(Handle(), -1, LVNI_SELECTED);
    if (selected >= 0) ListView_EnsureVisible(Handle(), selected, FALSE);
}

int CALLBACK TNvListView::CompareRows(LPARAM index1, LPARAM index2, LPARAM selfData) {
    auto self = reinterpret_cast<TNvListView*>(selfData);
    int a = static_cast<int>(index1), b = static_cast<int>(index2);
    if (self->OnCompare) return self->OnCompare(*self, a, b);
    // Without a handler: captions, locale-aware and case-sensitive, always ascending.
    char textA[260] = "", textB[260] = "";
    ListView_GetItemText(self->Handle(), a, 0, textA, sizeof textA);
    ListView_GetItemText(self->Handle(), b, 0, textB, sizeof textB);
    return lstrcmpA(textA, textB);
}

namespace {

LPARAM RowParam(HWND list, int index) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return ListView_GetItem(list, &item) ? item.lParam : 0;
}

void SetRowParam(HWND list, int index, LPARAM value) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    item.lParam = value;
    ListView_SetItem(list, &item);
}

int CALLBACK CompareRanks(LPARAM rank1, LPARAM rank2, LPARAM) {
    return rank1 < rank2 ? -1 : (rank1 > rank2 ? 1 : 0);
}

} // namespace

// The order is worked out on rows that stay in place, then applied through the rows' data: the platform's
// index-based sort hands the comparison positions that no longer match the rows while it moves them (Wine).
void TNvListView::Sort() {
    HWND list = Handle();
    int count = list ? ListView_GetItemCount(list) : 0;
    if (count < 2) return;
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return CompareRows(a, b, reinterpret_cast<LPARAM>(this)) < 0; });
    std::vector<LPARAM> data(order.size());
    for (int i = 0; i < count; ++i)
        data[static_cast<size_t>(i)] = RowParam(list, i);
    for (int rank = 0; rank < count; ++rank)
        SetRowParam(list, order[static_cast<size_t>(rank)], rank);
    ListView_SortItems(list, CompareRanks, 0);
    for (int rank = 0; rank < count; ++rank)
        SetRowParam(list, rank, data[static_cast<size_t>(order[static_cast<size_t>(rank)])]);
}

bool TNvListView::RowInOrder(int row) {
    const int count = Handle() ? ListView_GetItemCount(Handle()) : 0;
    const auto self = reinterpret_cast<LPARAM>(this);
    return (row <= 0 || CompareRows(row - 1, row, self) <= 0) &&
           (row + 1 >= count || CompareRows(row, row + 1, self) <= 0);
}

void TNvListView::ColumnResized(int column, int width) {
    if (OnColumnResize) OnColumnResize(*this, column, width);
}

// The header's notifications arrive here, at its parent; the list view itself handles them first.
void TNvListView::HeaderNotify(const NMHEADERA& header) {
    switch (header.hdr.code) {
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW:
        if (header.iItem == SortColumn && header.pitem && (header.pitem->mask & HDI_WIDTH) && ColumnClick())
            SetSortMark(SortColumn, true);
        break;
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
    case HDN_DIVIDERDBLCLICKA:
    case HDN_DIVIDERDBLCLICKW: {
        bool exists = header.iItem >= 0 && header.iItem < ColumnCount();
        int width = -1;
        if (header.pitem && (header.pitem->mask & HDI_WIDTH))
            width = header.pitem->cxy;
        else if (exists)
            width = ListView_GetColumnWidth(Handle(), header.iItem);
        ColumnResized(exists ? header.iItem : -1, width);
        break;
    }
    default:
        break;
    }
}

std::string TNvListView::ColumnCaption(int column) const {
    char text[260] = "";
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT;
    info.pszText = text;
    info.cchTextMax = sizeof text;
    return ListView_GetColumn(Handle(), column, &info) ? std::string(text) : std::string();
}

std::string TNvListView::ItemText(int row, int column) const {
    // The list copies at most the buffer less its terminator; a full buffer may have cut the text short.
    for (size_t size = 256;; size *= 4) {
        std::vector<char> text(size, '\0');
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(size);
        const LRESULT length = SendMessageA(Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                                            reinterpret_cast<LPARAM>(&item));
        if (length < 0 || static_cast<size_t>(length) + 1 < size || size >= 0x100000)
            return std::string(text.data());
    }
}

std::string TNvListView::SelectedRowsText() const {
    const int columns = ColumnCount();
    std::vector<std::string> captions;
    for (int column = 0; column < columns; ++column)
        captions.push_back(ColumnCaption(column));
    std::vector<std::vector<std::string>> rows;
    for (int row = ListView_GetNextItem(Handle(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(Handle(), row, LVNI_SELECTED)) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column)
            cells.push_back(ItemText(row, column));
        rows.push_back(std::move(cells));
    }
    return TabSeparatedRows(captions, rows);
}

bool TNvListView::HandlesKey(WORD key, unsigned shift) const {
    return key == 'C' && shift == ssCtrl;
}

bool TNvListView::CopySelectedRows() const {
    if (!Handle() || ListView_GetSelectedCount(Handle()) == 0) return false;
    return CopyTextToClipboard(Handle(), SelectedRowsText());
}

void TNvListView::SetInfoTipHandler(TInfoTipHandler handler) {
    onInfoTip = std::move(handler);
    if (!Handle()) return;
    const DWORD extended = ListView_GetExtendedListViewStyle(Handle());
    ListView_SetExtendedListViewStyle(Handle(), onInfoTip ? (extended | LVS_EX_INFOTIP)
                                                          : (extended & ~DWORD(LVS_EX_INFOTIP)));
}

std::string TNvListView::InfoTip(int row, int column) {
    if (!onInfoTip || row < 0 || column < 0 || column >= ColumnCount()) return std::string();
    return onInfoTip(*this, row, column);
}

// Some list views ask for the row only (column 0) wherever the pointer rests on it: the column then comes
// from the pointer. An empty tip leaves the list's own text (the full caption of a cut-off row) in place.
template <class TInfoTip> void TNvListView::AnswerInfoTip(TInfoTip& request) {
    int column = request.iSubItem;
    if (column == 0) {
        LVHITTESTINFO hit = {};
        GetCursorPos(&hit.pt);
        ScreenToClient(Handle(), &hit.pt);
        if (ListView_SubItemHitTest(Handle(), &hit) >= 0 && hit.iItem == request.iItem) column = hit.iSubItem;
    }
    const std::string tip = InfoTip(request.iItem, column);
    if (tip.empty() || !request.pszText || request.cchTextMax <= 0) return;
    const size_t room = static_cast<size_t>(request.cchTextMax) - 1;
    // The room is the list's: a longer tip is cut between characters, never inside one.
    if constexpr (std::is_same_v<TInfoTip, NMLVGETINFOTIPW>) {
        std::wstring wide = WideText(tip);
        size_t length = std::min(wide.size(), room);
        if (length > 0 && length < wide.size() && IS_HIGH_SURROGATE(wide[length - 1])) --length;
        std::copy_n(wide.begin(), length, request.pszText);
        request.pszText[length] = 0;
    } else {
        const size_t length = Utf8CutLength(tip, room);
        std::copy_n(tip.begin(), length, request.pszText);
        request.pszText[length] = 0;
    }
}

LRESULT TNvListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Ctrl+C belongs to the list with the focus: no shortcut of the main window uses it.
    if (message == WM_KEYDOWN &&
        TNvListView::HandlesKey(static_cast<WORD>(wParam), TNvForm::ShiftStateNow())) {
        CopySelectedRows();
        return 0;
    }
    if (message == WM_CHAR && wParam == 3) return 0; // the Ctrl+C character is no search letter
    if (message == WM_NOTIFY && lParam && Handle() &&
        reinterpret_cast<NMHDR*>(lParam)->hwndFrom == Header()) {
        LRESULT result = DefaultHandling(message, wParam, lParam);
        HeaderNotify(*reinterpret_cast<NMHEADERA*>(lParam));
        return result;
    }
    return TNvWindow::HandleMessage(message, wParam, lParam);
}

// The rectangles are the list's own answers, in this thread; only the invalidation reaches the window system.
void TNvListView::InvalidateCells(int row, const std::vector<int>& columns) {
    if (!Handle() || columns.empty()) return;
    RECT span = {};
    if (columns.size() > 1) {
        // Several cells: the row, at one question instead of one for each cell; their span is most of it.
        if (!ListView_GetItemRect(Handle(), row, &span, LVIR_BOUNDS)) return;
    } else {
        // The first column's bounds are the whole row's: only the label part is the cell.
        const int column = columns.front();
        if (!ListView_GetSubItemRect(Handle(), row, column, column == 0 ? LVIR_LABEL : LVIR_BOUNDS, &span))
            return;
    }
    InvalidateRect(Handle(), &span, FALSE);
}

namespace {

void CopyCellText(NMLVDISPINFOA& request, const std::string& text) {
    if (request.item.cchTextMax > 0) lstrcpynA(request.item.pszText, text.c_str(), request.item.cchTextMax);
}

void CopyCellText(NMLVDISPINFOW& request, const std::string& text) {
    if (request.item.cchTextMax <= 0) return;
    std::wstring wide = WideText(text);
    lstrcpynW(request.item.pszText, wide.c_str(), request.item.cchTextMax);
}

} // namespace

template <class TDispInfo> void TNvListView::AnswerCellText(TDispInfo& request) {
    if (!(request.item.mask & LVIF_TEXT) || !request.item.pszText || !OnCellText) return;
    CopyCellText(request, OnCellText(*this, request.item.lParam, request.item.iSubItem));
}

// Asked row by row only while marks are shown, and cell by cell only in a marked row: every notice is a
// round trip through the dispatch, and the list paints ten times a second.
LRESULT TNvListView::CustomDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return MarksShown ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT:
        return OnCellMarked(*this, draw.nmcd.lItemlParam, -1) ? CDRF_NOTIFYSUBITEMDRAW : CDRF_DODEFAULT;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
        // Set for every cell: the list keeps the last colours for the next cell of the row.
        bool marked = OnCellMarked(*this, draw.nmcd.lItemlParam, draw.iSubItem);
        draw.clrTextBk = marked ? GetSysColor(COLOR_HIGHLIGHT) : CLR_DEFAULT;
        draw.clrText = marked ? GetSysColor(COLOR_HIGHLIGHTTEXT) : CLR_DEFAULT;
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

bool TNvListView::HandleNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    auto header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == LVN_GETDISPINFOA || header->code == LVN_GETDISPINFOW) {
        if (header->code == LVN_GETDISPINFOA)
            AnswerCellText(*reinterpret_cast<NMLVDISPINFOA*>(lParam));
        else
            AnswerCellText(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
        result = 0;
        return true;
    }
    if (header->code == NM_CUSTOMDRAW && OnCellMarked) {
        result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        return true;
    }
    if (header->code == LVN_GETINFOTIPA || header->code == LVN_GETINFOTIPW) {
        if (header->code == LVN_GETINFOTIPA)
            AnswerInfoTip(*reinterpret_cast<NMLVGETINFOTIPA*>(lParam));
        else
            AnswerInfoTip(*reinterpret_cast<NMLVGETINFOTIPW*>(lParam));
        result = 0;
        return true;
    }
    if (header->code == LVN_COLUMNCLICK && ColumnClick()) {
        ClickColumn(reinterpret_cast<NMLISTVIEW*>(lParam)->iSubItem);
        result = 0;
        return true;
    }
    return false;
}

TNvOwnerDrawListView::TNvOwnerDrawListView(TNvWindow& owner, DWORD extraStyle)
    : TNvListView(owner, extraStyle | LVS_OWNERDRAWFIXED) {
    ApplyItemHeight();
}

// The list asks for its row height when its size changes; a size notice makes it ask again now.
void AskForItemHeight(HWND list) {
    RECT rect = {};
    if (!list || !GetWindowRect(list, &rect)) return;
    WINDOWPOS position = {};
    position.hwnd = list;
    position.cx = rect.right - rect.left;
    position.cy = rect.bottom - rect.top;
    position.flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SendMessageA(list, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
}

void TNvOwnerDrawListView::ApplyItemHeight() {
    AskForItemHeight(Handle());
}

void TNvOwnerDrawListView::ClickColumn(int column) {
    TNvListView::ClickColumn(column);
    Invalidate();
}

void TNvOwnerDrawListView::ColumnResized(int column, int width) {
    TNvListView::ColumnResized(column, width);
    Invalidate();
}

bool TNvOwnerDrawListView::HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_MEASUREITEM) {
        if (ItemHeight == -1) return false;
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(ItemHeight);
        result = TRUE;
        return true;
    }
    if (message == WM_DRAWITEM) {
        if (OnDrawItem) OnDrawItem(*this, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        result = TRUE;
        return true;
    }
    return TNvListView::HandleNotify(message, wParam, lParam, result);
}
