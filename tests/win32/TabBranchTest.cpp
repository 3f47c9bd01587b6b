// The Branch tab inside a real main window, on the target program's window tree.
#include "FormFixture.h"
#include "MenuChooser.h"
#include "Watchdog.h"
#include "WorkerWait.h"
#include "app/WinApiEx.h"
#include "tabs/TabBranch.h"

#include <algorithm>
#include <set>
#include <vector>

namespace {

class BranchTab : public FormTest {
  protected:
    TTargetProcess target{"branch"};
    HWND tree = nullptr, a = nullptr, c = nullptr, grandchild = nullptr, leaf = nullptr;

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        tree = FindWindowA("PaneprobeTargetTree", "Paneprobe Target branch tree");
        ASSERT_NE(tree, nullptr);
        leaf = GetDlgItem(tree, 1);
        a = GetDlgItem(tree, 2);
        c = GetDlgItem(a, 3);
        grandchild = GetDlgItem(c, 4);
        ASSERT_NE(grandchild, nullptr);
    }
    TBranchTab& Branch() { return Tab<TBranchTab>(); }
    TNvActionTreeView& Tree() { return *Branch().Tree; }
    void Build(HWND tracked, int mode) {
        TrackWindow(tracked, false, true);
        Branch().SetStartMode(mode);
        ASSERT_TRUE(RebuildAndWait(Branch()));
    }
    std::vector<std::string> ChildTexts(HTREEITEM parent) {
        std::vector<std::string> texts;
        for (HTREEITEM node = TreeView_GetChild(Tree().Handle(), parent); node;
             node = TreeView_GetNextSibling(Tree().Handle(), node))
            texts.push_back(Tree().NodeText(node));
        return texts;
    }
    HTREEITEM NodeOf(HWND window, HTREEITEM from = TVI_ROOT) {
        HWND handle = Tree().Handle();
        HTREEITEM first = from == TVI_ROOT ? TreeView_GetRoot(handle) : TreeView_GetChild(handle, from);
        for (HTREEITEM node = first; node; node = TreeView_GetNextSibling(handle, node)) {
            if (reinterpret_cast<HWND>(Tree().NodeData(node)) == window) return node;
            if (HTREEITEM found = NodeOf(window, node)) return found;
        }
        return nullptr;
    }
};

TEST_F(BranchTab, StartsWithParentOrDesktopAndAnEmptyTree) {
    EXPECT_EQ(Branch().StartMode(), bsParentOrDesktop);
    EXPECT_EQ(Tree().NodeCount(), 0);
    EXPECT_EQ(Branch().Caption, "Branch");
}

// The branch is gathered on a worker: the call returns before the tree is in, and a request made before the
// first one's result arrives replaces it, so a slow desktop's tree never overwrites the one asked for last.
TEST_F(BranchTab, AWorkerGathersTheBranchAndTheNewestRequestWins) {
    TrackWindow(tree, false, true);
    Branch().SetStartMode(bsDesktop);
    Branch().RebuildTree();
    EXPECT_TRUE(Branch().Building());
    Branch().SetStartMode(bsCurrent);
    ASSERT_TRUE(RebuildAndWait(Branch()));
    PumpMessages(50); // a stray word of the first request would arrive now
    EXPECT_EQ(Tree().NodeCount(), 6);
    EXPECT_EQ(reinterpret_cast<HWND>(Tree().NodeData(TreeView_GetRoot(Tree().Handle()))), tree);
}

// The old tree leaves a node at a time, never a whole subtree at once: a window with thousands of children
// (the tray's) would stop the window for as long. Here a share is one node.
TEST_F(BranchTab, TheOldTreeLeavesANodeAShare) {
    Build(tree, bsCurrent);
    ASSERT_EQ(Tree().NodeCount(), 6);
    Branch().FillShareSeconds = 0;
    Branch().RebuildTree();
    std::vector<int> counts;
    MSG message = {};
    for (DWORD started = GetTickCount(); Branch().Building() && GetTickCount() - started < 10000;) {
        if (!PeekMessageA(&message, Branch().Panels.Body->Handle(), WM_APP + 5, WM_APP + 6, PM_REMOVE)) {
            Sleep(1);
            continue;
        }
        DispatchMessageA(&message);
        counts.push_back(Tree().NodeCount());
    }
    ASSERT_FALSE(Branch().Building()) << "not filled within 10 s";
    const auto empty = std::find(counts.begin(), counts.end(), 0);
    ASSERT_NE(empty, counts.end()) << "the old tree was emptied first";
    int before = 6;
    for (auto count = counts.begin(); count != empty; before = *count++)
        EXPECT_EQ(*count, before - 1) << "one node a share";
    EXPECT_EQ(Tree().NodeCount(), 6);
    EXPECT_EQ(reinterpret_cast<HWND>(Tree().NodeData(TreeView_GetSelection(Tree().Handle()))), tree);
}

TEST_F(BranchTab, TheTreeIsBuiltDepthFirstSortedAtEveryLevelWithBoldParents) {
    Build(tree, bsCurrent);
    EXPECT_EQ(Branch().Caption, "Branch (6)");
    HTREEITEM top = TreeView_GetRoot(Tree().Handle());
    EXPECT_EQ(Tree().NodeText(top), "PaneprobeTargetTree");
    EXPECT_EQ(ChildTexts(top), (std::vector<std::string>{"PaneprobeNodeA", "PaneprobeNodeB"}));
    HTREEITEM nodeA = NodeOf(a);
    ASSERT_NE(nodeA, nullptr);
    EXPECT_EQ(ChildTexts(nodeA), (std::vector<std::string>{"PaneprobeNodeA", "PaneprobeNodeC"}));
    EXPECT_EQ(ChildTexts(NodeOf(c)), std::vector<std::string>{"PaneprobeNodeB"});
    EXPECT_EQ(reinterpret_cast<HWND>(Tree().NodeData(Tree().Selected())), tree) << "the tracked window";
    EXPECT_TRUE(TreeView_GetItemState(Tree().Handle(), top, TVIS_EXPANDED) & TVIS_EXPANDED);

    // The tree draws a parent in bold and a leaf in its own font.
    for (HWND window : {a, leaf}) {
        HDC dc = GetDC(Tree().Handle());
        HGDIOBJ before = GetCurrentObject(dc, OBJ_FONT);
        NMTVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = Tree().Handle();
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.hdc = dc;
        draw.nmcd.dwDrawStage = CDDS_PREPAINT;
        HWND parent = GetParent(Tree().Handle());
        EXPECT_EQ(SendMessageA(parent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw)), CDRF_NOTIFYITEMDRAW);
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(NodeOf(window));
        LRESULT result = SendMessageA(parent, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
        LOGFONTA font = {};
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        if (window == a) {
            EXPECT_EQ(result, CDRF_NEWFONT);
            EXPECT_GE(font.lfWeight, FW_BOLD);
        } else {
            EXPECT_EQ(result, CDRF_DODEFAULT);
            EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), before);
        }
        SelectObject(dc, before);
        ReleaseDC(Tree().Handle(), dc);
    }
}

TEST_F(BranchTab, StartModesAndTheirCounts) {
    Build(leaf, bsCurrent);
    EXPECT_EQ(Branch().Caption, "Branch (1)") << "a window without children";
    EXPECT_EQ(reinterpret_cast<HWND>(Tree().NodeData(Tree().Selected())), leaf);
    Build(tree, bsParent);
    EXPECT_EQ(Tree().NodeCount(), 0) << "a top-level window without parent or owner";
    EXPECT_EQ(Branch().Caption, "Branch (0)");
    Build(leaf, bsParent);
    EXPECT_EQ(Branch().Caption, "Branch (6)");
    Build(grandchild, bsParentAncestor);
    EXPECT_EQ(Branch().Caption, "Branch (2)");
    EXPECT_EQ(reinterpret_cast<HWND>(Tree().NodeData(TreeView_GetRoot(Tree().Handle()))), c);
    Build(tree, bsParentOrDesktop);
    EXPECT_EQ(Tree().NodeText(TreeView_GetRoot(Tree().Handle())), "#32769") << "no parent: the desktop";
}

TEST_F(BranchTab, TheTrackedNodeIsSelectedAndVisibleHoweverDeep) {
    Build(grandchild, bsDesktop);
    HTREEITEM selected = Tree().Selected();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(reinterpret_cast<HWND>(Tree().NodeData(selected)), grandchild);
    for (HTREEITEM node = TreeView_GetParent(Tree().Handle(), selected); node;
         node = TreeView_GetParent(Tree().Handle(), node))
        EXPECT_TRUE(TreeView_GetItemState(Tree().Handle(), node, TVIS_EXPANDED) & TVIS_EXPANDED);
    RECT rect = {};
    EXPECT_TRUE(TreeView_GetItemRect(Tree().Handle(), selected, &rect, TRUE));
    RECT client = Tree().ClientRect();
    EXPECT_GE(rect.top, client.top);
    EXPECT_LE(rect.bottom, client.bottom) << "scrolled into view";
}

TEST_F(BranchTab, ADeadTrackedWindowLeavesTheTreeAlone) {
    Build(tree, bsCurrent);
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    TrackWindow(gone, false, true);
    DestroyWindow(gone);
    ASSERT_TRUE(RebuildAndWait(Branch()));
    EXPECT_EQ(Tree().NodeCount(), 6);
    EXPECT_EQ(Branch().Caption, "Branch (6)");
}

TEST_F(BranchTab, DoubleClickOnALeafTracksItOnAParentOnlyFolds) {
    Build(tree, bsCurrent);
    auto doubleClick = [this](HWND window) {
        HTREEITEM node = NodeOf(window);
        TreeView_SelectItem(Tree().Handle(), node);
        RECT rect = {};
        TreeView_GetItemRect(Tree().Handle(), node, &rect, TRUE);
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageA(Tree().Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        SendMessageA(Tree().Handle(), WM_LBUTTONUP, 0, point);
    };
    form->ScanAtMouse->SetValue(true);
    doubleClick(a);
    EXPECT_EQ(TrackedList->Current()->Handle, tree) << "a node with children is not tracked";
    doubleClick(leaf);
    EXPECT_EQ(TrackedList->Current()->Handle, leaf);
    EXPECT_FALSE(form->ScanAtMouse->Value);
}

// Where the tree's right-click notification and its context-menu request arrive (at the tree or, as Wine
// sends it, at its parent), the selection is noted.
struct TRightClickSpy {
    HWND Tree;
    HTREEITEM AtNotification = nullptr;
    HTREEITEM AtContextMenu = nullptr;
    int ContextMenus = 0;
};

LRESULT CALLBACK RightClickSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR data) {
    auto spy = reinterpret_cast<TRightClickSpy*>(data);
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == NM_RCLICK)
        spy->AtNotification = TreeView_GetSelection(spy->Tree);
    if (message == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == spy->Tree) {
        spy->AtContextMenu = TreeView_GetSelection(spy->Tree);
        ++spy->ContextMenus;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(BranchTab, TheRightClickedNodeIsSelectedBeforeTheNotificationAndThePopupTracksIt) {
    Build(tree, bsCurrent);
    HTREEITEM clicked = NodeOf(leaf);
    TreeView_SelectItem(Tree().Handle(), TreeView_GetRoot(Tree().Handle()));
    RECT rect = {};
    ASSERT_TRUE(TreeView_GetItemRect(Tree().Handle(), clicked, &rect, TRUE));
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    // The tree takes a pointer away from the pressed point as the start of a drag, as for a user.
    POINT screen = point;
    ClientToScreen(Tree().Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    PumpMessages();
    TMenuChooser chooser(1);
    TRightClickSpy spy{Tree().Handle()};
    const UINT_PTR spyId = 0x5079;
    SetWindowSubclass(Tree().Handle(), RightClickSpy, spyId, reinterpret_cast<DWORD_PTR>(&spy));
    SetWindowSubclass(Branch().Panels.Body->Handle(), RightClickSpy, spyId,
                      reinterpret_cast<DWORD_PTR>(&spy));
    PostMessageA(Tree().Handle(), WM_RBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    SendMessageA(Tree().Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(point.x, point.y));
    PumpMessages();
    RemoveWindowSubclass(Tree().Handle(), RightClickSpy, spyId);
    RemoveWindowSubclass(Branch().Panels.Body->Handle(), RightClickSpy, spyId);
    EXPECT_EQ(spy.AtNotification, clicked);
    ASSERT_GE(spy.ContextMenus, 1) << "the request reached the tree or its parent";
    EXPECT_EQ(spy.AtContextMenu, clicked);
    EXPECT_TRUE(chooser.Chosen()) << "the popup opened and took the choice";
    EXPECT_EQ(TrackedList->Current()->Handle, leaf);
}

TEST_F(BranchTab, EnterTracksTheSelectedNode) {
    Build(tree, bsCurrent);
    TreeView_SelectItem(Tree().Handle(), NodeOf(grandchild));
    PressKey(Tree().Handle(), VK_RETURN, ssNone);
    EXPECT_EQ(TrackedList->Current()->Handle, grandchild);
}

// Windows of another program that change places while the tree is walked: each window gets one node.
using BranchTabOnMovingWindows = FormTest;

TEST_F(BranchTabOnMovingWindows, SiblingsThatKeepChangingPlacesGetOneNodeEach) {
    TTargetProcess rotating("rotating rotate");
    ASSERT_NE(rotating.MainWindow(), nullptr);
    HWND window = nullptr;
    for (int attempt = 0; attempt < 200 && !window; ++attempt) {
        window = FindWindowA("PaneprobeRotating", "Paneprobe Target rotating rotating");
        if (!window) Sleep(25);
    }
    ASSERT_NE(window, nullptr);
    auto& branch = Tab<TBranchTab>();
    TrackWindow(window, false, true);
    branch.SetStartMode(bsCurrent);
    // Should the walk go round for ever, the window goes, which ends it.
    TWatchdog watchdog(15000, [&] { PostMessageA(window, WM_CLOSE, 0, 0); });
    HWND tree = branch.Tree->Handle();
    for (int build = 0; build < 30; ++build) {
        ASSERT_TRUE(RebuildAndWait(branch));
        std::set<LPARAM> windows;
        HTREEITEM top = TreeView_GetRoot(tree);
        for (HTREEITEM node = TreeView_GetChild(tree, top); node; node = TreeView_GetNextSibling(tree, node))
            EXPECT_TRUE(windows.insert(branch.Tree->NodeData(node)).second) << "build " << build;
        EXPECT_LE(branch.Tree->NodeCount(), 4) << "the window and its three children, build " << build;
    }
    EXPECT_FALSE(watchdog.Fired());
}

} // namespace
