// TMenusTab: reads a window's menus item by item through the platform's menu queries.
#include "tabs/TabMenus.h"

#include <algorithm>
#include <vector>

namespace {

// Menus may hold themselves, directly or through others (Windows allows it): a menu already on the path
// from the top becomes a leaf. Menus that open the next one twice, level after level, double the tree at each
// level without any loop: the tree stops at a total number of nodes.
const size_t MaxMenuDepth = 32;

bool LiveTracked(HWND& window) {
    const TWindowDetails* tracked = TrackedList ? TrackedList->Current() : nullptr;
    if (!tracked || !IsWindow(tracked->Handle)) return false;
    window = tracked->Handle;
    return true;
}

} // namespace

TMenusTab::TMenusTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet), Panels(*sheet) {
    SetCaption("Menus");
    const int buttonWidth = Panels.ButtonWidth, buttonHeight = Panels.ButtonHeight;
    StandardButton = &Panels.AddToRow<TNvButton>(buttonWidth, buttonHeight, "&Standard");
    StandardButton->OnClick = [this](TNvButton&) { ShowMenu(mkStandard); };
    SystemButton = &Panels.AddToRow<TNvButton>(buttonWidth, buttonHeight, "&System");
    SystemButton->OnClick = [this](TNvButton&) { ShowMenu(mkSystem); };

    Tree = &Panels.MakeBody().MakeChild<TNvActionTreeView>(TVS_FULLROWSELECT, TVS_HASLINES);
    if (SharedImageList) TreeView_SetImageList(Tree->Handle(), SharedImageList->Handle(), TVSIL_NORMAL);
    Panels.Layout();
}

void TMenusTab::Refresh() {
    HWND window = nullptr;
    bool live = LiveTracked(window);
    EnableWindow(StandardButton->Handle(), live && IsMenu(GetMenu(window)));
    EnableWindow(SystemButton->Handle(), live && IsMenu(GetSystemMenu(window, FALSE)));
}

void TMenusTab::ShowMenu(int kind) {
    HWND window = nullptr;
    if (!LiveTracked(window)) return;
    HWND tree = Tree->Handle();
    TRedrawOff redraw(tree);
    TreeView_DeleteAllItems(tree);
    HMENU menu =
        kind == mkStandard ? GetMenu(window) : (kind == mkSystem ? GetSystemMenu(window, FALSE) : nullptr);
    AddMenuItems(menu, nullptr);
}

void TMenusTab::AddMenuItems(HMENU menu, HTREEITEM parent) {
    std::vector<HMENU> path;
    int budget = MaxMenuNodes;
    AddMenuLevel(menu, parent, path, budget);
}

void TMenusTab::AddMenuLevel(HMENU menu, HTREEITEM parent, std::vector<HMENU>& path, int& budget) {
    int count = GetMenuItemCount(menu);
    if (count < 1 || path.size() >= MaxMenuDepth) return;
    path.push_back(menu);
    MENUITEMINFOA info;
    for (int i = 0; i < count && budget > 0; ++i) {
        // No text buffer: each query reports the length of the item's text.
        info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING | MIIM_FTYPE;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) break;
        std::vector<char> text(static_cast<size_t>(info.cch) + 1, '\0');
        GetMenuStringA(menu, static_cast<UINT>(i), text.data(), static_cast<int>(text.size()), MF_BYPOSITION);
        text.back() = '\0';
        HTREEITEM node = Tree->AddNode(parent, text.data(), 0, 0);
        if (!node) break;
        --budget;
        if (info.hSubMenu && std::find(path.begin(), path.end(), info.hSubMenu) == path.end())
            AddMenuLevel(info.hSubMenu, node, path, budget);
    }
    path.pop_back();
}
