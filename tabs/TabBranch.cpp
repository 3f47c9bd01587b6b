// TBranchTab: a window hierarchy as a tree, built depth first and sorted by class name at every level.
#include "tabs/TabBranch.h"

#include "app/PickWindow.h"
#include "app/WinApiEx.h"

#include <algorithm>
#include <map>
#include <string>

namespace {

const TNvMenuEntry PopupEntries[] = {
    {cmdBranchMonitor, VK_RETURN, "&Monitor Selected Window", 0, 0},
};
const char* const StartModes[] = {"Current Window", "Parent OR Desktop Window", "Parent Window",
                                  "Desktop Window", "Parent Ancestor"};
const int StartWidth = 200;
const int VisibleImage = 2;
const int HiddenImage = 9;

// The tree hands the comparison the nodes' data, the windows; their texts come from the build.
int CALLBACK CompareNodeTexts(LPARAM window1, LPARAM window2, LPARAM texts) {
    const auto& map = *reinterpret_cast<const std::map<LPARAM, std::string>*>(texts);
    auto a = map.find(window1), b = map.find(window2);
    return lstrcmpA(a == map.end() ? "" : a->second.c_str(), b == map.end() ? "" : b->second.c_str());
}

} // namespace

TBranchTab::TBranchTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet), Panels(*sheet) {
    SetCaption("Branch");
    UpdateButton = &Panels.AddToRow<TNvButton>(Panels.ButtonWidth, Panels.ButtonHeight, "&Update");
    UpdateButton->OnClick = [this](TNvButton&) { RebuildTree(); };
    StartBox = &Panels.AddToRow<TNvComboBox>(StartWidth, Panels.DropHeight);
    for (const char* mode : StartModes)
        SendMessageA(StartBox->Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
    SendMessageA(StartBox->Handle(), CB_SETCURSEL, bsParentOrDesktop, 0);
    StartBox->OnChange = [this](TNvComboBox&) { RebuildTree(); };

    Tree = &Panels.MakeBody().MakeChild<TNvActionTreeView>();
    Tree->BoldParents = true;
    if (SharedImageList) TreeView_SetImageList(Tree->Handle(), SharedImageList->Handle(), TVSIL_NORMAL);
    Tree->PopupMenu = std::make_unique<TNvPopupMenu>(
        *Tree, [this](TNvMenuItem& item) { RunPopupCommand(item.Entry ? item.Entry->Id : 0); }, PopupEntries,
        static_cast<int>(std::size(PopupEntries)) - 1);
    Tree->OnDblClick = [this](TNvActionTreeView&) { DoubleClicked(); };
    Panels.Layout();
}

int TBranchTab::StartMode() const {
    return static_cast<int>(SendMessageA(StartBox->Handle(), CB_GETCURSEL, 0, 0));
}

void TBranchTab::SetStartMode(int mode) {
    SendMessageA(StartBox->Handle(), CB_SETCURSEL, static_cast<WPARAM>(mode), 0);
}

HWND TBranchTab::StartWindow(int mode, const TWindowDetails& tracked) {
    switch (mode) {
    case bsCurrent:
        return tracked.Handle;
    case bsParentOrDesktop:
        return tracked.Parent ? tracked.Parent : GetDesktopWindow();
    case bsParent:
        return tracked.Parent;
    case bsDesktop:
        return GetDesktopWindow();
    case bsParentAncestor:
        return GetAncestor(tracked.Handle, GA_PARENT);
    default:
        return nullptr;
    }
}

void TBranchTab::RebuildTree() {
    const TWindowDetails* tracked = TrackedList ? TrackedList->Current() : nullptr;
    if (!tracked || !IsWindow(tracked->Handle)) return;
    trackedHandle = tracked->Handle;
    HWND start = StartWindow(StartMode(), *tracked);
    HWND tree = Tree->Handle();
    TRedrawOff redraw(tree);
    TreeView_DeleteAllItems(tree);
    nodeTexts.clear();
    if (start) {
        HTREEITEM top = AddNode(start, nullptr);
        if (HWND child = GetWindow(start, GW_CHILD)) AddSiblings(child, top);
        TreeView_Expand(tree, top, TVE_EXPAND);
    }
    redraw.Resume();
    SortAll(TVI_ROOT);
    // Sorting moves nodes, so the tracked one is brought into view once the order is final.
    if (HTREEITEM selected = Tree->Selected()) TreeView_EnsureVisible(tree, selected);
    trackedHandle = nullptr;
    SetCaption(FormatText("Branch (%d)", Tree->NodeCount()));
}

// A window destroyed meanwhile keeps its node with an empty text: the buffer starts empty.
HTREEITEM TBranchTab::AddNode(HWND window, HTREEITEM parent) {
    char className[TWindowDetails::TextSize] = "";
    GetClassNameA(window, className, sizeof className);
    className[sizeof className - 1] = '\0';
    DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    HTREEITEM node = Tree->AddNode(parent, className, reinterpret_cast<LPARAM>(window),
                                   (style & WS_VISIBLE) ? VisibleImage : HiddenImage);
    nodeTexts[reinterpret_cast<LPARAM>(window)] = className;
    if (node && window == trackedHandle) {
        TreeView_SelectItem(Tree->Handle(), node);
        TreeView_EnsureVisible(Tree->Handle(), node);
    }
    return node;
}

// Depth first in the platform's order; the siblings of one level by the loop, so only nesting recurses.
// Another program may reorder its windows while they are walked, so that the next sibling is one already
// passed: the level ends there, and the whole walk ends at a total number of nodes.
void TBranchTab::AddSiblings(HWND first, HTREEITEM parent) {
    for (HWND window = first; window; window = GetWindow(window, GW_HWNDNEXT)) {
        if (nodeTexts.count(reinterpret_cast<LPARAM>(window)) ||
            static_cast<int>(nodeTexts.size()) >= MaxBranchNodes)
            return;
        HTREEITEM node = AddNode(window, parent);
        if (HWND child = GetWindow(window, GW_CHILD)) AddSiblings(child, node);
    }
}

// Every level in ascending order of the node texts by the locale's comparison.
void TBranchTab::SortAll(HTREEITEM parent) {
    HWND tree = Tree->Handle();
    HTREEITEM first = parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent);
    if (!first) return;
    TVSORTCB sort = {};
    sort.hParent = parent;
    sort.lpfnCompare = CompareNodeTexts;
    sort.lParam = reinterpret_cast<LPARAM>(&nodeTexts);
    TreeView_SortChildrenCB(tree, &sort, FALSE);
    for (HTREEITEM node = parent == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, parent); node;
         node = TreeView_GetNextSibling(tree, node))
        if (TreeView_GetChild(tree, node)) SortAll(node);
}

void TBranchTab::DoubleClicked() {
    HTREEITEM selected = Tree->Selected();
    if (selected && !TreeView_GetChild(Tree->Handle(), selected)) RunPopupCommand(cmdBranchMonitor);
}

void TBranchTab::RunPopupCommand(int id) {
    if (id != cmdBranchMonitor) return;
    HTREEITEM selected = Tree->Selected();
    if (!selected) return;
    PickWindow(reinterpret_cast<HWND>(Tree->NodeData(selected)));
}
