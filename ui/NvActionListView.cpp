// TNvActionListView: row helpers, double-click, keys and popup menu on top of the kit's list view.
#include "ui/NvActionListView.h"

#include <algorithm>
#include <vector>

namespace {
const UINT_PTR FitSubclassId = 0x4E764C56;
}

TNvActionListView::TNvActionListView(TNvWindow& owner, DWORD extraStyle)
    : TNvListView(owner, WS_CHILD | extraStyle), hParent(owner.Handle()) {
    // The parent is a kit window with no resize event of its own, so its size changes are watched here.
    if (hParent) SetWindowSubclass(hParent, ParentProc, FitSubclassId, reinterpret_cast<DWORD_PTR>(this));
    FitParent();
}

TNvActionListView::~TNvActionListView() {
    if (hParent && IsWindow(hParent)) RemoveWindowSubclass(hParent, ParentProc, FitSubclassId);
}

LRESULT CALLBACK TNvActionListView::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR selfData) {
    if (message == WM_SIZE) reinterpret_cast<TNvActionListView*>(selfData)->FitParent();
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, ParentProc, FitSubclassId);
        reinterpret_cast<TNvActionListView*>(selfData)->hParent = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void TNvActionListView::FitParent() {
    if (!hParent || !Handle()) return;
    RECT client = {};
    GetClientRect(hParent, &client);
    SetBounds(0, 0, client.right, client.bottom);
}

int TNvActionListView::SelectedIndex() const {
    return ListView_GetNextItem(Handle(), -1, LVNI_SELECTED);
}
int TNvActionListView::FocusedIndex() const {
    return ListView_GetNextItem(Handle(), -1, LVNI_FOCUSED);
}
int TNvActionListView::RowCount() const {
    return ListView_GetItemCount(Handle());
}

void TNvActionListView::SelectRow(int index) {
    ListView_SetItemState(Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (index < 0 || index >= RowCount()) return;
    ListView_SetItemState(Handle(), index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(Handle(), index, FALSE);
}

LPARAM TNvActionListView::RowData(int index) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    return ListView_GetItem(Handle(), &item) ? item.lParam : 0;
}

std::string TNvActionListView::CellText(int row, int column) const {
    std::vector<char> text(1024, '\0');
    ListView_GetItemText(Handle(), row, column, text.data(), static_cast<int>(text.size()));
    return text.data();
}

int TNvActionListView::AddRow(const std::vector<std::string>& cells, LPARAM data, int image) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = RowCount();
    item.pszText = const_cast<char*>(cells.empty() ? "" : cells[0].c_str());
    item.lParam = data;
    item.iImage = image;
    int row = ListView_InsertItem(Handle(), &item);
    for (size_t column = 1; row >= 0 && column < cells.size(); ++column)
        ListView_SetItemText(Handle(), row, static_cast<int>(column),
                             const_cast<char*>(cells[column].c_str()));
    return row;
}

int TNvActionListView::AddCallbackRow(int columns, LPARAM data, int image) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
    item.iItem = RowCount();
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.lParam = data;
    item.iImage = image;
    int row = ListView_InsertItem(Handle(), &item);
    for (int column = 1; row >= 0 && column < columns; ++column)
        ListView_SetItemText(Handle(), row, column, LPSTR_TEXTCALLBACKA);
    return row;
}

bool TNvActionListView::HandlesKey(WORD key, unsigned shift) const {
    uint16_t shortCut = ShortCutOf(key, shift);
    return std::find(OwnShortCuts.begin(), OwnShortCuts.end(), shortCut) != OwnShortCuts.end() ||
           TNvListView::HandlesKey(key, shift);
}

void TNvActionListView::KeyDown(WORD key, unsigned shift) {
    if (OnKeyDown) OnKeyDown(*this, key, shift);
}

void TNvActionListView::DblClick() {
    if (OnDblClick) OnDblClick(*this);
}

LRESULT TNvActionListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU && PopupMenu) {
        int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        if (x == -1 && y == -1) { // from the keyboard: at the selected row, or the list's corner
            RECT place = {};
            int selected = SelectedIndex();
            if (selected < 0 || !ListView_GetItemRect(Handle(), selected, &place, LVIR_LABEL))
                place = RECT{0, 0, 0, 0};
            POINT corner = {place.left, place.bottom};
            ClientToScreen(Handle(), &corner);
            x = corner.x;
            y = corner.y;
        }
        PopupMenu->Popup(x, y);
        return 0;
    }
    return TNvListView::HandleMessage(message, wParam, lParam);
}

bool TNvActionListView::HandleNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_NOTIFY) {
        auto header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == NM_DBLCLK) {
            DblClick();
            result = 0;
            return true;
        }
        if (header->code == LVN_KEYDOWN) {
            KeyDown(reinterpret_cast<NMLVKEYDOWN*>(lParam)->wVKey, TNvForm::ShiftStateNow());
            result = 0;
            return true;
        }
    }
    return TNvListView::HandleNotify(message, wParam, lParam, result);
}
