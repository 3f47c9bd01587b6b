// The Menus tab inside a real main window, on menus of this process (Wine cannot read other processes').
#include "FormFixture.h"
#include "Watchdog.h"
#include "tabs/TabMenus.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

HMENU ThreeLevelMenu() {
    HMENU older = CreatePopupMenu();
    AppendMenuA(older, MF_STRING, 311, "First");
    HMENU recent = CreatePopupMenu();
    AppendMenuA(recent, MF_POPUP, reinterpret_cast<UINT_PTR>(older), "&Older");
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 301, "&Open\tCtrl+O");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_STRING, 400, "&Help");
    return bar;
}

class MenusTab : public FormTest {
  protected:
    HWND withMenu = nullptr, plain = nullptr;

    void SetUp() override {
        FormTest::SetUp();
        withMenu = CreateWindowExA(0, "STATIC", "menus", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                   ThreeLevelMenu(), nullptr, nullptr);
        plain =
            CreateWindowExA(0, "STATIC", "plain", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(withMenu, nullptr);
    }
    void TearDown() override {
        DestroyWindow(withMenu);
        DestroyWindow(plain);
        FormTest::TearDown();
    }
    TMenusTab& Menus() { return Tab<TMenusTab>(); }
    std::vector<std::string> Texts(HTREEITEM parent) {
        HWND tree = Menus().Tree->Handle();
        std::vector<std::string> texts;
        HTREEITEM first = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
        for (HTREEITEM node = first; node; node = TreeView_GetNextSibling(tree, node))
            texts.push_back(Menus().Tree->NodeText(node));
        return texts;
    }
    HTREEITEM Nth(HTREEITEM parent, int n) {
        HWND tree = Menus().Tree->Handle();
        HTREEITEM node = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
        while (node && n-- > 0)
            node = TreeView_GetNextSibling(tree, node);
        return node;
    }
    bool Enabled(TNvButton* button) { return IsWindowEnabled(button->Handle()) != FALSE; }
};

TEST_F(MenusTab, TheMenuBarAsATreeOfItemTexts) {
    TrackWindow(withMenu, false, true);
    Menus().ShowMenu(mkStandard);
    EXPECT_EQ(Texts(nullptr), (std::vector<std::string>{"&File", "&Help"}));
    HTREEITEM file = Nth(nullptr, 0);
    EXPECT_EQ(Texts(file), (std::vector<std::string>{"&Open\tCtrl+O", "", "&Recent"}))
        << "markers and shortcut as the menu holds them, a separator as an empty node";
    HTREEITEM recent = Nth(file, 2);
    EXPECT_EQ(Texts(recent), std::vector<std::string>{"&Older"});
    EXPECT_EQ(Texts(Nth(recent, 0)), std::vector<std::string>{"First"}) << "three levels";
    HWND tree = Menus().Tree->Handle();
    for (HTREEITEM node : {file, recent})
        EXPECT_FALSE(TreeView_GetItemState(tree, node, TVIS_EXPANDED) & TVIS_EXPANDED) << "collapsed";
    EXPECT_EQ(Menus().Caption, "Menus");

    Menus().ShowMenu(mkSystem);
    std::vector<std::string> system = Texts(nullptr);
    EXPECT_EQ(static_cast<int>(system.size()), GetMenuItemCount(GetSystemMenu(withMenu, FALSE)));
}

TEST_F(MenusTab, ButtonsFollowWhatTheTrackedWindowHas) {
    TTargetProcess target("menus");
    struct Case {
        HWND window;
        bool standard, system;
        const char* what;
    };
    const Case cases[] = {
        {withMenu, true, true, "a menu bar and a system menu"},
        {plain, false, false, "a pop-up without either"},
        {form->Handle(), true, true, "Paneprobe's own window"},
        {target.MainWindow(), false, false, "another process: Wine cannot read its menus"},
    };
    for (const Case& c : cases) {
        TrackWindow(c.window, false, true);
        Menus().Refresh();
        EXPECT_EQ(Enabled(Menus().StandardButton), c.standard) << c.what;
        EXPECT_EQ(Enabled(Menus().SystemButton), c.system) << c.what;
    }
    TrackedList->Clear();
    Menus().Refresh();
    EXPECT_FALSE(Enabled(Menus().StandardButton));
    EXPECT_FALSE(Enabled(Menus().SystemButton));
}

TEST_F(MenusTab, AGoneWindowLeavesTheTreeAndDisablesBoth) {
    TrackWindow(withMenu, false, true);
    Menus().ShowMenu(mkStandard);
    int nodes = Menus().Tree->NodeCount();
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 9, 9, nullptr, ThreeLevelMenu(),
                                nullptr, nullptr);
    TrackWindow(gone, false, true);
    DestroyWindow(gone);
    Menus().ShowMenu(mkStandard);
    EXPECT_EQ(Menus().Tree->NodeCount(), nodes);
    Menus().Refresh();
    EXPECT_FALSE(Enabled(Menus().StandardButton));
    EXPECT_FALSE(Enabled(Menus().SystemButton));
}

// Menus that hold themselves, built here and taken apart by the test: the platform's recursive destruction
// would follow the loops, so the items are removed (which keeps their submenus) before each menu goes.
struct TMenuLoops {
    std::vector<HMENU> Menus;
    HMENU Add(HMENU menu) {
        Menus.push_back(menu);
        return menu;
    }
    // The item is made first and given its submenu afterwards: Wine refuses a new item that opens its own
    // menu.
    static void Open(HMENU menu, HMENU submenu, const char* text) {
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), text);
    }
    void Free() {
        for (HMENU menu : Menus) {
            while (GetMenuItemCount(menu) > 0)
                RemoveMenu(menu, 0, MF_BYPOSITION);
            DestroyMenu(menu);
        }
        Menus.clear();
    }
    ~TMenuLoops() { Free(); }
};

// Whether following the first item of each menu down from the bar comes back to a menu already passed.
bool FirstItemsLoop(HMENU bar) {
    std::vector<HMENU> passed;
    for (HMENU menu = bar; menu; menu = GetSubMenu(menu, 0)) {
        if (std::find(passed.begin(), passed.end(), menu) != passed.end()) return true;
        passed.push_back(menu);
    }
    return false;
}

TEST_F(MenusTab, AMenuOnThePathIsALeafAndTheTreeStopsAtItsCap) {
    struct Case {
        const char* What;
        std::function<HMENU(TMenuLoops&)> Build; // returns the menu bar
        int Nodes;
        std::vector<int> Leaves; // positions, level by level, of a node that must have no children
    };
    const int Rungs = 13; // two ways into each: 2^14 - 2 nodes without the cap
    const Case cases[] = {
        {"a menu whose two items open it again through the one below",
         [](TMenuLoops& loops) {
             HMENU menu = loops.Add(CreatePopupMenu()), below = loops.Add(CreatePopupMenu());
             TMenuLoops::Open(menu, below, "Again");
             TMenuLoops::Open(menu, below, "Once more");
             TMenuLoops::Open(below, menu, "Back up");
             HMENU bar = loops.Add(CreateMenu());
             TMenuLoops::Open(bar, menu, "&Loop");
             return bar;
         },
         5,
         {0, 1, 0}},
        {"two menus that open each other",
         [](TMenuLoops& loops) {
             HMENU first = loops.Add(CreatePopupMenu()), second = loops.Add(CreatePopupMenu());
             TMenuLoops::Open(first, second, "To second");
             TMenuLoops::Open(second, first, "Back to first");
             AppendMenuA(second, MF_STRING, 900, "Plain");
             HMENU bar = loops.Add(CreateMenu());
             TMenuLoops::Open(bar, first, "&First");
             return bar;
         },
         4,
         {0, 0, 0}},
        {"a ladder whose every rung opens the next twice",
         [Rungs](TMenuLoops& loops) {
             HMENU next = loops.Add(CreatePopupMenu());
             AppendMenuA(next, MF_STRING, 901, "Top rung");
             for (int rung = 0; rung < Rungs; ++rung) {
                 HMENU menu = loops.Add(rung + 1 == Rungs ? CreateMenu() : CreatePopupMenu());
                 TMenuLoops::Open(menu, next, "Left");
                 TMenuLoops::Open(menu, next, "Right");
                 next = menu;
             }
             return next;
         },
         TMenusTab::MaxMenuNodes,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TMenuLoops loops;
        HMENU bar = c.Build(loops);
        ASSERT_TRUE(SetMenu(withMenu, bar));
        if (!c.Leaves.empty() && !FirstItemsLoop(bar)) {
            std::printf("[ SKIPPED  ] %s: the platform refuses the loop\n", c.What);
            continue;
        }
        TrackWindow(withMenu, false, true);
        {
            // Should the walk follow the loops, the menus go, which ends it.
            TWatchdog watchdog(10000, [&] {
                for (HMENU menu : loops.Menus)
                    DestroyMenu(menu);
            });
            Menus().ShowMenu(mkStandard);
            EXPECT_FALSE(watchdog.Fired()) << "the walk ended by itself";
        }
        EXPECT_EQ(Menus().Tree->NodeCount(), c.Nodes);
        HTREEITEM node = nullptr;
        for (int position : c.Leaves)
            node = Nth(node, position);
        if (!c.Leaves.empty()) {
            ASSERT_NE(node, nullptr);
            EXPECT_EQ(TreeView_GetChild(Menus().Tree->Handle(), node), nullptr)
                << Menus().Tree->NodeText(node);
        }
        SetMenu(withMenu, nullptr);
    }
}

} // namespace
