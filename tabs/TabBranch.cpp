// TBranchTab: a window hierarchy as a tree, built depth first and sorted by class name at every level.
#include "tabs/TabBranch.h"

#include "app/PickWindow.h"
#include "app/WinApiEx.h"
#include "ui/NvMessagePanel.h"

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

const UINT GatheredMessage = WM_APP + 5;
const UINT FillShareMessage = WM_APP + 6;

} // namespace

TBranchTab::TBranchTab(TNvTabSheet* sheet) : TPaneprobeTab(sheet), Panels(*sheet), Gatherer(GatheredMessage) {
    SetCaption("Branch");
    UpdateButton = &Panels.AddToRow<TNvButton>(Panels.ButtonWidth, Panels.ButtonHeight, "&Update");
    UpdateButton->OnClick = [this](TNvButton&) { RebuildTree(); };
    StartBox = &Panels.AddToRow<TNvComboBox>(StartWidth, Panels.DropHeight);
    for (const char* mode : StartModes)
        SendMessageA(StartBox->Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(mode));
    SendMessageA(StartBox->Handle(), CB_SETCURSEL, bsParentOrDesktop, 0);
    StartBox->OnChange = [this](TNvComboBox&) { RebuildTree(); };

    auto& body = Panels.MakeBody<TNvMessagePanel>();
    body.On(GatheredMessage, [this](WPARAM request) { Gathered(request); });
    body.On(FillShareMessage, [this](WPARAM fill) { FillShare(fill); });
    Tree = &body.MakeChild<TNvActionTreeView>();
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
    Gatherer.Start(Panels.Body->Handle(), [start](const std::atomic<bool>& cancelled) {
        return GatherBranch(start, MaxBranchNodes, cancelled);
    });
}

void TBranchTab::Gathered(WPARAM request) {
    std::optional<std::vector<TBranchNode>> gathered = Gatherer.Take(request);
    if (!gathered) return;
    nodes = std::move(*gathered);
    emptying = true;
    trackedItem = nullptr;
    if (!fillRedraw) fillRedraw.emplace(Tree->Handle());
    filling = true;
    closingStep = 0;
    FillShare(++fillSerial);
}

void TBranchTab::FillShare(WPARAM fill) {
    if (fill != fillSerial || !filling) return;
    const TFillShare share(FillShareSeconds);
    HWND tree = Tree->Handle();
    // The old tree goes first, a leaf at a time: the tree tells of each node it deletes. With nothing
    // selected, no deleted node hands the selection on to the next.
    if (emptying) {
        TreeView_SelectItem(tree, nullptr);
        while (!items.empty()) {
            // A null item would mean the whole tree to the platform.
            if (items.back()) TreeView_DeleteItem(tree, items.back());
            items.pop_back();
            if (share.Spent()) {
                PostMessageA(Panels.Body->Handle(), FillShareMessage, fill, 0);
                return;
            }
        }
        emptying = false;
        items.reserve(nodes.size());
    }
    // Parents come before their children, so each parent's node is there when a child is added.
    const size_t first = items.size();
    for (int added = 0; items.size() < nodes.size(); ++added) {
        const TBranchNode& node = nodes[items.size()];
        HTREEITEM parent = node.Parent < 0 ? nullptr : items[static_cast<size_t>(node.Parent)];
        HTREEITEM item = Tree->AddNode(parent, node.ClassName, reinterpret_cast<LPARAM>(node.Window),
                                       node.Visible ? VisibleImage : HiddenImage);
        items.push_back(item);
        if (node.Window == trackedHandle && !trackedItem) trackedItem = item;
        if (added % 16 == 15 && share.Spent()) break;
    }
    if (items.size() < nodes.size() || (items.size() > first && !share.RoomToFinish()) || !FillDone(share))
        PostMessageA(Panels.Body->Handle(), FillShareMessage, fill, 0);
}

bool TBranchTab::FillDone(const TFillShare& share) {
    HWND tree = Tree->Handle();
    for (bool first = true; closingStep < 3; first = false) {
        if (!first && !share.RoomToFinish()) return false;
        switch (closingStep++) {
        case 0:
            if (!items.empty() && items[0]) TreeView_Expand(tree, items[0], TVE_EXPAND);
            break;
        case 1:
            fillRedraw.reset();
            break;
        default:
            if (trackedItem) {
                TreeView_SelectItem(tree, trackedItem);
                TreeView_EnsureVisible(tree, trackedItem);
            }
            break;
        }
    }
    filling = false;
    nodes.clear();
    trackedItem = nullptr;
    trackedHandle = nullptr;
    SetCaption(FormatText("Branch (%d)", Tree->NodeCount()));
    return true;
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
