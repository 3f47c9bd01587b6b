// TNvActionTreeView: double-click, keys, popup menu and bold parents on top of the kit's tree view.
#include "ui/NvActionTreeView.h"

#include <vector>

namespace {
const UINT_PTR FitSubclassId = 0x4E765456;
}

TNvActionTreeView::TNvActionTreeView(TNvWindow& owner, DWORD extraStyle, DWORD removedStyle)
    : TNvTreeView(owner), hParent(owner.Handle()) {
    if (Handle()) {
        // The tree's tooltip is a top-most pop-up owned by the form; with it Wine stops showing the form
        // itself as top-most, so that "stay on top" no longer holds. The trees' texts are short: no tooltip.
        HWND tip = TreeView_GetToolTips(Handle());
        TreeView_SetToolTips(Handle(), nullptr);
        if (tip) DestroyWindow(tip);
        LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
        SetWindowLongPtrA(Handle(), GWL_STYLE,
                          (style & ~LONG_PTR(removedStyle)) | LONG_PTR(extraStyle) | TVS_NOTOOLTIPS);
    }
    // The parent is a kit window with no resize event of its own, so its size changes are watched here.
    if (hParent) SetWindowSubclass(hParent, ParentProc, FitSubclassId, reinterpret_cast<DWORD_PTR>(this));
    FitParent();
}

TNvActionTreeView::~TNvActionTreeView() {
    if (hParent && IsWindow(hParent)) RemoveWindowSubclass(hParent, ParentProc, FitSubclassId);
}

LRESULT CALLBACK TNvActionTreeView::ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR selfData) {
    auto self = reinterpret_cast<TNvActionTreeView*>(selfData);
    if (message == WM_SIZE) self->FitParent();
    // The tree asks its parent for the context menu of a right click (Wine), not itself.
    if (message == WM_CONTEXTMENU && self->PopupMenu && self->Handle() &&
        reinterpret_cast<HWND>(wParam) == self->Handle())
        return SendMessageA(self->Handle(), WM_CONTEXTMENU, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, ParentProc, FitSubclassId);
        self->hParent = nullptr;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void TNvActionTreeView::FitParent() {
    if (!hParent || !Handle()) return;
    RECT client = {};
    GetClientRect(hParent, &client);
    SetBounds(0, 0, client.right, client.bottom);
}

HTREEITEM TNvActionTreeView::AddNode(HTREEITEM parent, const std::string& text, LPARAM data, int image) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.lParam = data;
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    return TreeView_InsertItem(Handle(), &insert);
}

LPARAM TNvActionTreeView::NodeData(HTREEITEM node) const {
    TVITEMA item = {};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = node;
    return node && TreeView_GetItem(Handle(), &item) ? item.lParam : 0;
}

std::string TNvActionTreeView::NodeText(HTREEITEM node) const {
    std::vector<char> text(1024, '\0');
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = node;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    return node && TreeView_GetItem(Handle(), &item) ? std::string(text.data()) : std::string();
}

LRESULT TNvActionTreeView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CONTEXTMENU && PopupMenu) {
        int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        if (x == -1 && y == -1) { // from the keyboard: at the selected node, or the tree's corner
            RECT place = {};
            HTREEITEM selected = Selected();
            if (!selected || !TreeView_GetItemRect(Handle(), selected, &place, TRUE))
                place = RECT{0, 0, 0, 0};
            POINT corner = {place.left, place.bottom};
            ClientToScreen(Handle(), &corner);
            x = corner.x;
            y = corner.y;
        }
        PopupMenu->Popup(x, y);
        return 0;
    }
    return TNvTreeView::HandleMessage(message, wParam, lParam);
}

bool TNvActionTreeView::HandleNotify(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_NOTIFY) return false;
    auto header = reinterpret_cast<NMHDR*>(lParam);
    switch (header->code) {
    case NM_DBLCLK:
        if (OnDblClick) OnDblClick(*this);
        result = 0; // the tree still expands or collapses the node
        return true;
    case TVN_KEYDOWN:
        if (OnKeyDown)
            OnKeyDown(*this, reinterpret_cast<NMTVKEYDOWN*>(lParam)->wVKey, TNvForm::ShiftStateNow());
        result = 0;
        return true;
    case NM_CUSTOMDRAW:
        if (!BoldParents) return false;
        result = CustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(lParam));
        return true;
    default:
        return false;
    }
}

LRESULT TNvActionTreeView::CustomDraw(NMTVCUSTOMDRAW& draw) {
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    auto node = reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec);
    if (!TreeView_GetChild(Handle(), node)) return CDRF_DODEFAULT;
    HFONT font = Font();
    if (!boldFont || boldFrom != font) {
        LOGFONTA info = {};
        if (!GetObjectA(font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT), sizeof info,
                        &info))
            return CDRF_DODEFAULT;
        info.lfWeight = FW_BOLD;
        boldFont.Reset(CreateFontIndirectA(&info));
        boldFrom = font;
    }
    if (!boldFont) return CDRF_DODEFAULT;
    SelectObject(draw.nmcd.hdc, boldFont.Get());
    return CDRF_NEWFONT;
}
