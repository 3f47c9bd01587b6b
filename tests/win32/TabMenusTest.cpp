// The Menus tab inside a real main window, on menus of this process (Wine cannot read other processes').
#include "FormFixture.h"
#include "tabs/TabMenus.h"

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

} // namespace
