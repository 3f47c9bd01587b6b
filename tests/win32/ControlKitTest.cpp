// The control kit on real common controls: sorting and sort marks, status panels, menus, images, pages.
#include "ShellTestSupport.h"

#include "app/QrLib.h"
#include "ui/NvActionListView.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <utility>

#include <memory>
#include <stdexcept>

namespace {

// A hidden host form for kit controls.
class ControlKit : public ::testing::Test {
  protected:
    void SetUp() override {
        host = std::make_unique<TNvForm>();
        SetWindowPos(host->Handle(), nullptr, 0, 0, 600, 400, SWP_NOZORDER);
    }
    std::unique_ptr<TNvForm> host;
};

std::vector<std::string> Captions(const TNvListView& list) {
    std::vector<std::string> captions;
    for (int i = 0; i < ListView_GetItemCount(list.Handle()); ++i) {
        char text[64] = "";
        ListView_GetItemText(list.Handle(), i, 0, text, sizeof text);
        captions.push_back(text);
    }
    return captions;
}

// What the header tells the list view when an item is clicked; the list then reports the column click.
void ClickHeader(TNvListView& list, int column) {
    NMHEADERW header = {};
    header.hdr.hwndFrom = list.Header();
    header.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list.Header()));
    header.hdr.code = HDN_ITEMCLICKW;
    header.iItem = column;
    SendMessageA(list.Handle(), WM_NOTIFY, header.hdr.idFrom, reinterpret_cast<LPARAM>(&header));
}

const TNvListColumn Columns[] = {
    {100, TNvAlignment::Left, "Name"},
    {60, TNvAlignment::Right, "Size"},
    {80, TNvAlignment::Centre, "Kind"},
};

TEST_F(ControlKit, ColumnClicksSortAscendingDescendingAscendingWithTheHeaderMark) {
    TNvListView& list = host->MakeChild<TNvListView>();
    list.AddColumns(Columns, 2, 96);
    EXPECT_EQ(ListView_GetColumnWidth(list.Handle(), 1), 60);
    EXPECT_EQ(list.HeaderFormat(0), HDF_SORTUP) << "the initial sort column carries the mark";
    for (const char* name : {"beta", "alpha", "gamma"}) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list.Handle());
        item.pszText = const_cast<char*>(name);
        ListView_InsertItem(list.Handle(), &item);
    }
    list.OnCompare = [](TNvListView& l, int a, int b) {
        char ta[64] = "", tb[64] = "";
        ListView_GetItemText(l.Handle(), a, 0, ta, sizeof ta);
        ListView_GetItemText(l.Handle(), b, 0, tb, sizeof tb);
        int order = lstrcmpA(ta, tb);
        return l.SortDescending ? -order : order;
    };
    int clicks = 0;
    list.OnColumnClick = [&clicks](TNvListView&, int) { ++clicks; };
    using Names = std::vector<std::string>;
    struct Case {
        int column;
        bool descending;
        int mark1, mark2;
        Names order;
    };
    const Case cases[] = {
        {1, false, HDF_SORTUP, 0, Names{"alpha", "beta", "gamma"}},
        {1, true, HDF_SORTDOWN, 0, Names{"gamma", "beta", "alpha"}},
        {1, false, HDF_SORTUP, 0, Names{"alpha", "beta", "gamma"}},
        {1, true, HDF_SORTDOWN, 0, Names{"gamma", "beta", "alpha"}},
        {2, false, 0, HDF_SORTUP, Names{"alpha", "beta", "gamma"}}, // another column while descending
    };
    for (const Case& c : cases) {
        ClickHeader(list, c.column);
        EXPECT_EQ(list.SortColumn, c.column);
        EXPECT_EQ(list.SortDescending, c.descending);
        EXPECT_EQ(list.HeaderFormat(0), 0) << "the mark left the first sort column";
        EXPECT_EQ(list.HeaderFormat(1), c.mark1);
        EXPECT_EQ(list.HeaderFormat(2), c.mark2);
        EXPECT_EQ(Captions(list), c.order);
    }
    // A click on the sort column while ascending turns it descending.
    ClickHeader(list, 2);
    EXPECT_TRUE(list.SortDescending);
    EXPECT_EQ(clicks, 6);
}

TEST_F(ControlKit, ManyRowsSortCompletelyAndKeepTheirData) {
    TNvListView& list = host->MakeChild<TNvListView>();
    list.AddColumns(Columns, 1, 96);
    // Twenty rows in a scrambled order; each row's data is its number, its caption the number's text.
    for (int i = 0; i < 20; ++i) {
        int number = (i * 7) % 20;
        std::string caption = FormatText("row %.2d", number);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<char*>(caption.c_str());
        item.lParam = 1000 + number;
        ListView_InsertItem(list.Handle(), &item);
    }
    auto dataOf = [&list](int row) {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        ListView_GetItem(list.Handle(), &item);
        return item.lParam;
    };
    list.Sort();
    for (int row = 0; row < 20; ++row) {
        EXPECT_EQ(Captions(list)[static_cast<size_t>(row)], FormatText("row %.2d", row));
        EXPECT_EQ(dataOf(row), 1000 + row) << "the data travels with its row";
    }
    list.OnCompare = [](TNvListView& l, int a, int b) {
        char ta[64] = "", tb[64] = "";
        ListView_GetItemText(l.Handle(), a, 0, ta, sizeof ta);
        ListView_GetItemText(l.Handle(), b, 0, tb, sizeof tb);
        return -lstrcmpA(ta, tb);
    };
    list.Sort();
    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(dataOf(row), 1019 - row);
}

TEST_F(ControlKit, WithoutAHandlerRowsSortByCaptionAlwaysAscending) {
    TNvListView& list = host->MakeChild<TNvListView>();
    list.AddColumns(Columns, 1, 96);
    for (const char* name : {"b", "C", "a"}) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = 0;
        item.pszText = const_cast<char*>(name);
        ListView_InsertItem(list.Handle(), &item);
    }
    for (int click = 0; click < 2; ++click) {
        ClickHeader(list, 1);
        EXPECT_EQ(Captions(list), (std::vector<std::string>{"a", "b", "C"}));
    }
}

TEST_F(ControlKit, TheSortMarkSurvivesAColumnResize) {
    TNvListView& list = host->MakeChild<TNvListView>();
    list.AddColumns(Columns, 2, 96);
    list.SortDescending = true;
    list.SetSortColumn(1);
    ListView_SetColumnWidth(list.Handle(), 1, 150);
    EXPECT_EQ(ListView_GetColumnWidth(list.Handle(), 1), 150);
    EXPECT_EQ(list.HeaderFormat(1), HDF_SORTDOWN);
    EXPECT_EQ(list.HeaderFormat(0), 0);
}

TEST_F(ControlKit, ColumnResizeHookGetsTheColumnAndItsWidth) {
    TNvListView& list = host->MakeChild<TNvListView>();
    list.AddColumns(Columns, 2, 96);
    int column = -2, width = -2;
    list.OnColumnResize = [&](TNvListView&, int c, int w) {
        column = c;
        width = w;
    };
    const int current = -3; // the column's width after the list has handled the notification
    struct Case {
        UINT code;
        int item;
        bool withWidth;
        int column, width;
    };
    const Case cases[] = {
        {HDN_ENDTRACKA, 1, true, 1, 90},              // the width the notification carries
        {HDN_DIVIDERDBLCLICKA, 2, false, 2, current}, // a double-click sizes the column to fit first
        {HDN_ENDTRACKW, 7, false, -1, -1},            // no such column
    };
    for (const Case& c : cases) {
        HDITEMA item = {};
        item.mask = HDI_WIDTH;
        item.cxy = 90;
        NMHEADERA header = {};
        header.hdr.hwndFrom = list.Header();
        header.hdr.code = c.code;
        header.iItem = c.item;
        header.pitem = c.withWidth ? &item : nullptr;
        SendMessageA(list.Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
        EXPECT_EQ(column, c.column);
        EXPECT_EQ(width, c.width == current ? ListView_GetColumnWidth(list.Handle(), c.item) : c.width);
    }
}

TEST_F(ControlKit, OwnerDrawnListUsesItsRowHeight) {
    TNvOwnerDrawListView& list = host->MakeChild<TNvOwnerDrawListView>();
    list.AddColumns(Columns, 0, 96);
    for (int i = 0; i < 2; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("row");
        ListView_InsertItem(list.Handle(), &item);
    }
    RECT first = {}, second = {};
    ListView_GetItemRect(list.Handle(), 0, &first, LVIR_BOUNDS);
    ListView_GetItemRect(list.Handle(), 1, &second, LVIR_BOUNDS);
    EXPECT_EQ(second.top - first.top, 16);
}

TEST_F(ControlKit, StatusPanelsTotalAndTheStretchingPanel) {
    TNvStatusBar& bar = host->MakeChild<TNvStatusBar>();
    const int widths[] = {-1, -32, 64, 86, 150};
    EXPECT_EQ(bar.AddPanels(widths, 4), 333);
    bar.SetBounds(0, 0, 800, TNvStatusBar::Height);
    EXPECT_EQ(bar.PanelCount(), 5);
    const int expected[] = {467, 32, 64, 86, 150};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(bar.PanelWidth(i), expected[i]) << "panel " << i;
    bar.SetBounds(0, 0, 500, TNvStatusBar::Height);
    EXPECT_EQ(bar.PanelWidth(0), 167);
    // A second table adds to the total; a width of 0 adds nothing.
    const int more[] = {0, 20};
    EXPECT_EQ(bar.AddPanels(more, 1), 353);
}

// Counts the pixels of a panel that differ from the button face, as the bar paints itself into a bitmap.
int InkInPanel(TNvStatusBar& bar, int panel) {
    RECT client = bar.ClientRect();
    HDC screen = GetDC(bar.Handle());
    TMemoryDc memory(screen);
    TBitmap bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
    ReleaseDC(bar.Handle(), screen);
    TSelectGuard select(memory.Get(), bitmap.Get());
    SendMessageA(bar.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT);
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += bar.PanelWidth(i);
    int ink = 0;
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int x = left + 4; x < left + bar.PanelWidth(panel) - 4; ++x)
        for (int y = 4; y < client.bottom - 3; ++y)
            ink += GetPixel(memory.Get(), x, y) != face;
    return ink;
}

TEST_F(ControlKit, StatusPanelsDrawTheirTextsAndHandOverDrawnPanels) {
    TNvStatusBar& bar = host->MakeChild<TNvStatusBar>();
    const int widths[] = {-40, 64, 64};
    bar.AddPanels(widths, 2);
    bar.SetBounds(0, 0, 400, TNvStatusBar::Height);
    std::vector<int> drawn;
    bar.OnDrawPanel = [&drawn](TNvStatusBar&, int panel, HDC, const RECT&) { drawn.push_back(panel); };
    bar.SetPanelText(1, "1 / 3");
    bar.SetPanelText(7, "ignored");
    EXPECT_EQ(bar.PanelText(1), "1 / 3");
    EXPECT_EQ(bar.PanelText(7), "");
    EXPECT_GT(InkInPanel(bar, 1), 10) << "a panel with a text";
    EXPECT_EQ(InkInPanel(bar, 2), 0) << "an empty panel";
    EXPECT_EQ(drawn, (std::vector<int>{0, 0})) << "the owner draws panel 0 on each of the two paints";
}

LRESULT CALLBACK CountSetText(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR count) {
    if (message == SB_SETTEXTA || message == SB_SETTEXTW) ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(window, message, wParam, lParam);
}

std::string BarText(HWND bar, int panel) {
    const auto length = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(panel), 0));
    std::string text(length + 1u, '\0');
    const auto copied = LOWORD(
        SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.data())));
    EXPECT_EQ(copied, length);
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::wstring BarTextW(HWND bar, int panel) {
    const auto length = LOWORD(SendMessageW(bar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(panel), 0));
    std::wstring text(length + 1u, L'\0');
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
}

// Other programs read the panels with SB_GETTEXT in either form, the first one also as the window's text;
// the bar answers from its panels, and setting a text sends the control nothing (each such message
// repaints a panel under Wine).
TEST_F(ControlKit, StatusPanelTextsAreReadableAndCostNoMessageToTheControl) {
    TNvStatusBar& bar = host->MakeChild<TNvStatusBar>();
    const int widths[] = {-40, 64, 64};
    bar.AddPanels(widths, 2);
    bar.SetBounds(0, 0, 400, TNvStatusBar::Height);
    int sent = 0;
    SetWindowSubclass(bar.Handle(), CountSetText, 1, reinterpret_cast<DWORD_PTR>(&sent));
    const std::pair<int, const char*> cases[] = {{0, "Button"}, {1, "2 / 3"}, {2, ""},
                                                 {2, "x"},      {1, "3 / 3"}, {0, "\xC3\xA9t\xC3\xA9"}};
    for (const auto& [panel, text] : cases) {
        bar.SetPanelText(panel, text);
        EXPECT_EQ(BarText(bar.Handle(), panel), text) << panel;
    }
    EXPECT_EQ(sent, 0);
    EXPECT_EQ(BarTextW(bar.Handle(), 0), L"\u00E9t\u00E9");
    EXPECT_EQ(BarText(bar.Handle(), 1), "3 / 3");
    char caption[3] = "";
    EXPECT_EQ(GetWindowTextA(bar.Handle(), caption, sizeof caption), 2)
        << "cut to the buffer, whole characters";
    EXPECT_STREQ(caption, "\xC3\xA9");
    RemoveWindowSubclass(bar.Handle(), CountSetText, 1);
}

const TNvMenuEntry FileEntries[] = {
    {11, 0, "&Open", 0, 0}, {0, 0, "-", 0, 0}, {12, ShortCutCtrl | 'S', "&Save", 0, 0}};
const TNvMenuEntry ViewEntries[] = {{21, 0, "&Big", MenuFlagRadio, 0},
                                    {22, 0, "&Small", MenuFlagDisabled, 0}};
const TNvMenuEntry DeepEntries[] = {{31, 0, "Deep", 0, 0}};

TEST_F(ControlKit, FindMenuItemSearchesTwoLevelsOnly) {
    TNvMainMenu menu(*host);
    std::vector<int> clicked;
    TNvMenuClick click = [&clicked](TNvMenuItem& item) { clicked.push_back(item.Entry->Id); };
    menu.AddMenu("&File", FileEntries, 2, click);
    TNvMenuItem& view = menu.AddMenu("&View", ViewEntries, 1, click);
    menu.AddEntries(view.Items[0].get(), DeepEntries, 0, click);
    menu.AddItem(&view, "Tagged", 0, 41, nullptr);

    struct Case {
        uint16_t id;
        const char* caption;
    };
    for (const Case& c : {Case{12, "&Save"}, Case{22, "&Small"}, Case{11, "&Open"}, Case{0, "-"}}) {
        TNvMenuItem* item = menu.FindMenuItem(c.id);
        ASSERT_NE(item, nullptr) << c.id;
        EXPECT_EQ(item->Caption, c.caption);
    }
    EXPECT_EQ(menu.FindMenuItem(31), nullptr) << "third level";
    EXPECT_EQ(menu.FindMenuItem(41), nullptr) << "tags are not entry ids";
    EXPECT_EQ(menu.FindMenuItem(99), nullptr);

    // Clicks arrive as WM_COMMAND at the form and reach the item's handler.
    SendMessageA(host->Handle(), WM_COMMAND, menu.FindMenuItem(12)->CommandId, 0);
    EXPECT_EQ(clicked, std::vector<int>{12});
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoA(view.SubMenu, menu.FindMenuItem(21)->CommandId, FALSE, &info);
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    GetMenuItemInfoA(view.SubMenu, menu.FindMenuItem(22)->CommandId, FALSE, &info);
    EXPECT_TRUE(info.fState & MFS_GRAYED);
}

TEST_F(ControlKit, PopupMenuItemsComeFromTheirTable) {
    std::vector<int> clicked;
    TNvPopupMenu popup(
        *host, [&clicked](TNvMenuItem& item) { clicked.push_back(item.Entry->Id); }, FileEntries, 2);
    EXPECT_EQ(popup.Count(), 3);
    EXPECT_EQ(GetMenuItemCount(popup.Handle()), 3);
    char text[64] = "";
    GetMenuStringA(popup.Handle(), 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Open");
    // Automatic letters in a popup menu too: "Other" finds its O taken and gets its t.
    popup.AddItem(nullptr, "Other", 0, 0, nullptr);
    GetMenuStringA(popup.Handle(), 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "O&ther");
    ASSERT_NE(popup.FindMenuItem(12), nullptr);
    EXPECT_TRUE(popup.RunCommand(popup.FindMenuItem(12)->CommandId));
    EXPECT_EQ(clicked, std::vector<int>{12});
}

// Where a key goes depends on the focused control: its popup menu's shortcuts and its parents' come first,
// then keys its own key handling names, then the form's main menu.
TEST_F(ControlKit, AFocusedControlsShortcutsComeBeforeTheMainMenus) {
    ShowWindow(host->Handle(), SW_SHOWNA);
    std::vector<std::string> ran;
    auto recordAs = [&ran](const std::string& who) {
        return [&ran, who](TNvMenuItem& item) { ran.push_back(who + " " + item.Caption); };
    };
    static const TNvMenuEntry mainEntries[] = {{51, ShortCutCtrl | 'S', "&Save", 0, 0},
                                               {52, ShortCutCtrl | 'R', "&Redraw", 0, 0}};
    static const TNvMenuEntry listEntries[] = {{61, ShortCutCtrl | 'S', "&Visible Only", 0, 0},
                                               {62, ShortCutCtrl | 'Q', "&Off", MenuFlagDisabled, 0}};
    static const TNvMenuEntry panelEntries[] = {{71, ShortCutCtrl | 'S', "&Panel", 0, 0}};
    TNvMainMenu menu(*host);
    menu.AddMenu("&File", mainEntries, 1, recordAs("main"));

    TNvActionListView& withPopup = host->MakeChild<TNvActionListView>();
    withPopup.PopupMenu = std::make_unique<TNvPopupMenu>(withPopup, recordAs("popup"), listEntries, 1);
    TNvActionListView& withKeys = host->MakeChild<TNvActionListView>();
    withKeys.OwnShortCuts = {ShortCutCtrl | 'R'};
    TNvActionListView& plain = host->MakeChild<TNvActionListView>();
    for (TNvActionListView* list : {&withPopup, &withKeys, &plain})
        list->OnKeyDown = [&ran](TNvActionListView&, WORD key, unsigned shift) {
            ran.push_back("list " + ShortCutText(ShortCutOf(key, shift)));
        };
    TNvPanel& panel = host->MakeChild<TNvPanel>();
    panel.PopupMenu = std::make_unique<TNvPopupMenu>(panel, recordAs("panel"), panelEntries, 0);
    TNvActionListView& inPanel = panel.MakeChild<TNvActionListView>();

    struct Case {
        TNvWindow* focus;
        WORD key;
        const char* handled;
    };
    const Case cases[] = {
        {&withPopup, 'S', "popup &Visible Only"}, // the list's own Ctrl+S
        {&plain, 'S', "main &Save"},              // a list without one leaves it to the main menu
        {&withKeys, 'R', "list Ctrl+R"},          // a key the list acts on itself
        {&plain, 'R', "main &Redraw"},
        {&withKeys, 'S', "main &Save"}, // only the keys it names
        {&withPopup, 'R', "main &Redraw"},
        {&inPanel, 'S', "panel &Panel"},  // a parent's popup menu
        {&withPopup, 'Q', "list Ctrl+Q"}, // a disabled item takes no key
    };
    for (const Case& c : cases) {
        ran.clear();
        SetFocus(c.focus->Handle());
        PressKey(c.focus->Handle(), c.key, ssCtrl);
        EXPECT_EQ(ran, std::vector<std::string>{c.handled}) << c.handled;
    }
}

TEST(ShortCuts, TextsShownInMenus) {
    struct Case {
        uint16_t shortCut;
        const char* text;
    };
    const Case cases[] = {{0, ""},
                          {0x70, "F1"},
                          {0x8051, "Alt+Q"},
                          {0x4050, "Ctrl+P"},
                          {ShortCutCtrl | VK_MULTIPLY, "Ctrl+Num *"},
                          {ShortCutCtrl | VK_PRIOR, "Ctrl+PgUp"},
                          {ShortCutCtrl | ShortCutShift | 'C', "Shift+Ctrl+C"}};
    for (const Case& c : cases)
        EXPECT_EQ(ShortCutText(c.shortCut), c.text) << std::hex << c.shortCut;
}

TEST(ImageList, LoadsTheElevenBitmapsWithTransparentCorners) {
    TNvImageList images(16, 16);
    EXPECT_EQ(images.LoadBitmaps(256), 11);
    EXPECT_EQ(images.Count(), 11);
    EXPECT_EQ(images.LoadBitmaps(267), 0);

    HDC screen = GetDC(nullptr);
    TMemoryDc memory(screen);
    TBitmap bitmap(CreateCompatibleBitmap(screen, 16, 16));
    ReleaseDC(nullptr, screen);
    TSelectGuard select(memory.Get(), bitmap.Get());
    RECT all = {0, 0, 16, 16};
    FillRect(memory.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(images.Handle(), 2, memory.Get(), 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(GetPixel(memory.Get(), 0, 0), RGB(255, 255, 255)) << "the corner colour is the mask";
    COLORREF inside = GetPixel(memory.Get(), 8, 8);
    EXPECT_GT(GetBValue(inside), GetRValue(inside)) << "image 2 is blue";
    COLORREF border = GetPixel(memory.Get(), 1, 8);
    EXPECT_LT(GetBValue(border), GetBValue(inside)) << "with a darker border";
}

TEST_F(ControlKit, PageControlRemembersThePreviousPage) {
    TNvPageControl& pages = host->MakeChild<TNvPageControl>();
    pages.SetBounds(0, 0, 500, 300);
    for (const char* caption : {"One", "Two", "Three"})
        pages.AddPage(caption);
    int changes = 0;
    pages.OnChange = [&changes](TNvPageControl&) { ++changes; };
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_EQ(pages.PreviousPageIndex, 0);
    pages.SetActivePageIndex(2);
    EXPECT_EQ(pages.PreviousPageIndex, 0);
    pages.SetActivePageIndex(2);
    EXPECT_EQ(pages.PreviousPageIndex, 0) << "selecting the current page changes nothing";
    auto shown = [&pages](int index) {
        return (GetWindowLongPtrA(pages.Page(index)->Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
    };
    EXPECT_TRUE(shown(2));
    EXPECT_FALSE(shown(0));
    EXPECT_EQ(changes, 0) << "the change handler is for the user's switches";

    // The user clicks the second tab.
    RECT tab = {};
    TabCtrl_GetItemRect(pages.Handle(), 1, &tab);
    LPARAM point = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageA(pages.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(pages.Handle(), WM_LBUTTONUP, 0, point);
    EXPECT_EQ(pages.ActivePageIndex(), 1);
    EXPECT_EQ(pages.PreviousPageIndex, 2);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(shown(1));
    EXPECT_FALSE(shown(2));
}

// Whoever sends the tab messages, the tabs stay the pages.
TEST_F(ControlKit, PageControlTabsCannotBeAddedRemovedOrResizedFromOutside) {
    TNvPageControl& pages = host->MakeChild<TNvPageControl>();
    pages.SetBounds(0, 0, 500, 300);
    for (const char* caption : {"One", "Two"})
        pages.AddPage(caption);
    std::vector<char> zeroes(256);
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>("Foreign");
    EXPECT_EQ(SendMessageA(pages.Handle(), TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)), -1);
    EXPECT_EQ(SendMessageA(pages.Handle(), TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(zeroes.data())), -1);
    EXPECT_FALSE(SendMessageA(pages.Handle(), TCM_DELETEITEM, 0, 0));
    EXPECT_FALSE(SendMessageA(pages.Handle(), TCM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(TabCtrl_GetItemCount(pages.Handle()), 2);
    EXPECT_EQ(pages.PageCount(), 2);
    // Nor can their sizes be changed: a paint of tabs tens of thousands of pixels wide takes seconds.
    RECT before = {}, after = {};
    TabCtrl_GetItemRect(pages.Handle(), 0, &before);
    SendMessageA(pages.Handle(), TCM_SETPADDING, 0, MAKELPARAM(30000, 200));
    SendMessageA(pages.Handle(), TCM_SETMINTABWIDTH, 0, 60000);
    SendMessageA(pages.Handle(), TCM_SETITEMSIZE, 0, MAKELPARAM(60000, 300));
    TabCtrl_GetItemRect(pages.Handle(), 0, &after);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    // The control's own pages still come in, and a switch shows the right page.
    pages.AddPage("Three");
    EXPECT_EQ(TabCtrl_GetItemCount(pages.Handle()), 3);
    pages.SetActivePageIndex(2);
    EXPECT_TRUE(GetWindowLongPtrA(pages.Page(2)->Handle(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(ControlKit, APanelEndsItsPaintAlsoWhenItsPainterThrows) {
    ShowWindow(host->Handle(), SW_SHOWNA);
    TNvPanel& panel = host->MakeChild<TNvPanel>();
    panel.SetBounds(0, 0, 100, 100);
    for (bool throws : {false, true}) {
        HDC painted = nullptr;
        panel.OnPaint = [&painted, throws](TNvPanel&, HDC dc) {
            painted = dc;
            if (throws) throw std::runtime_error("the painter failed");
        };
        RedrawWindow(panel.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ASSERT_NE(painted, nullptr);
        RECT update = {};
        EXPECT_FALSE(GetUpdateRect(panel.Handle(), &update, FALSE));
        // EndPaint gives the device context back to the window's cache, where the next request finds it.
        TWindowDc again(panel.Handle());
        EXPECT_EQ(again.Get(), painted) << (throws ? "after a throwing painter" : "after a normal paint");
    }
}

TEST_F(ControlKit, ThePageControlPaintsThroughABuffer) {
    ShowWindow(host->Handle(), SW_SHOWNA);
    TNvPageControl& pages = host->MakeChild<TNvPageControl>();
    pages.SetBounds(0, 0, 300, 200);
    pages.AddPage("First page");
    pages.AddPage("Second");
    // The background is erased in the buffer with the rest, never on its own on the screen.
    HDC screen = GetDC(nullptr);
    TMemoryDc memory(screen);
    TBitmap bitmap(CreateCompatibleBitmap(screen, 300, 200));
    ReleaseDC(nullptr, screen);
    TSelectGuard select(memory.Get(), bitmap.Get());
    const COLORREF marker = RGB(255, 0, 255);
    TBrush markerBrush(CreateSolidBrush(marker));
    RECT all = {0, 0, 300, 200};
    FillRect(memory.Get(), &all, markerBrush.Get());
    EXPECT_NE(SendMessageA(pages.Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), 0), 0);
    EXPECT_EQ(GetPixel(memory.Get(), 150, 100), marker);
    // The buffered paint shows the tabs: the first tab's caption leaves ink on the screen.
    RedrawWindow(pages.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT tab = {};
    TabCtrl_GetItemRect(pages.Handle(), 0, &tab);
    TWindowDc dc(pages.Handle());
    int ink = 0;
    for (int x = tab.left + 4; x < tab.right - 4; ++x)
        for (int y = tab.top + 3; y < tab.bottom - 2; ++y)
            ink += GetPixel(dc.Get(), x, y) != GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(ink, 10);
}

TEST(Snapping, WithinTheDistanceAnEdgeIsTakenBeyondItNot) {
    const RECT area = {0, 0, 1280, 994};
    struct Case {
        int left, top, distance;
        int expectedLeft, expectedTop;
    };
    const Case cases[] = {
        {10, 300, 16, 0, 300}, {17, 300, 16, 17, 300},
        {-12, -5, 16, 0, 0},   {1280 - 400 + 9, 994 - 300 - 16, 16, 880, 694},
        {10, 10, 0, 10, 10},   {16, 500, 16, 0, 500},
    };
    for (const Case& c : cases) {
        int left = c.left, top = c.top;
        SnapToArea(left, top, 400, 300, area, c.distance);
        EXPECT_EQ(left, c.expectedLeft) << c.left << "," << c.top;
        EXPECT_EQ(top, c.expectedTop) << c.left << "," << c.top;
    }
}

TEST_F(ControlKit, TreeViewRightClickSelectsTheNodeUnderThePointer) {
    TNvTreeView& tree = host->MakeChild<TNvTreeView>();
    tree.SetBounds(0, 0, 200, 200);
    TVINSERTSTRUCTA insert = {};
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>("first");
    HTREEITEM first = TreeView_InsertItem(tree.Handle(), &insert);
    insert.item.pszText = const_cast<char*>("second");
    HTREEITEM second = TreeView_InsertItem(tree.Handle(), &insert);
    RECT rect = {};
    TreeView_GetItemRect(tree.Handle(), second, &rect, TRUE);
    auto rightClick = [&tree](int x, int y) {
        PostMessageA(tree.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(x, y));
        SendMessageA(tree.Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
        PumpMessages();
    };
    TreeView_SelectItem(tree.Handle(), first);
    rightClick((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    EXPECT_EQ(TreeView_GetSelection(tree.Handle()), second);
    rightClick(100, 180);
    EXPECT_EQ(TreeView_GetSelection(tree.Handle()), nullptr) << "empty space clears the selection";
}

// A window destroys its menu bar with itself. The menu object outlives the window, and a menu created
// later can be given the same handle value: the object must never destroy that one.
TEST_F(ControlKit, AMenuBarOutlivingItsWindowLeavesALaterMenuAlone) {
    auto menu = std::make_unique<TNvMainMenu>(*host);
    menu->AddMenu("&File", FileEntries, 2, nullptr);
    const HMENU bar = menu->Handle();
    DestroyWindow(host->Handle());
    HMENU later = nullptr;
    if (!IsMenu(bar)) {
        // Until the value comes round again; the system recycles a freed handle's slot first.
        for (int i = 0; i < 70000 && !later; ++i) {
            HMENU made = CreateMenu();
            if (made == bar)
                later = made;
            else
                DestroyMenu(made);
        }
        ASSERT_NE(later, nullptr) << "the window took the menu bar with it, and its value never came back";
    }
    menu.reset();
    if (later) {
        EXPECT_TRUE(IsMenu(later)) << "a later menu with the bar's old value was destroyed";
        DestroyMenu(later);
    } else {
        EXPECT_FALSE(IsMenu(bar)) << "the menu object destroys the bar it kept";
    }
}

} // namespace

LRESULT CALLBACK CountErases(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR count) {
    if (message == WM_ERASEBKGND) ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(window, message, wParam, lParam);
}

// However a refill ends, a thrown one included, the control draws again, and is repainted only as asked.
TEST_F(ControlKit, ARefillDrawsAgainOnEveryWayOutRepaintedAsAsked) {
    ShowWindow(host->Handle(), SW_SHOWNA);
    TNvPanel& panel = host->MakeChild<TNvPanel>();
    panel.SetBounds(0, 0, 100, 100);
    HWND window = panel.Handle();
    int erases = 0;
    ASSERT_TRUE(SetWindowSubclass(window, CountErases, 1, reinterpret_cast<DWORD_PTR>(&erases)));
    enum TWayOut { EndOfScope, Thrown, ResumedEarly };
    const struct {
        TRedrawOff::TRepaint Repaint;
        TWayOut Way;
    } cases[] = {{TRedrawOff::NoRepaint, EndOfScope}, {TRedrawOff::NoRepaint, Thrown},
                 {TRedrawOff::Repaint, Thrown},       {TRedrawOff::RepaintErased, EndOfScope},
                 {TRedrawOff::RepaintErased, Thrown}, {TRedrawOff::Repaint, ResumedEarly}};
    auto drawing = [window] { return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "repaint " << c.Repaint << ", way out " << c.Way);
        UpdateWindow(window);
        erases = 0;
        try {
            TRedrawOff redraw(window, c.Repaint);
            EXPECT_FALSE(drawing());
            if (c.Way == Thrown) throw std::runtime_error("the refill failed");
            if (c.Way == ResumedEarly) {
                redraw.Resume();
                EXPECT_TRUE(drawing());
                UpdateWindow(window);
            }
        } catch (const std::runtime_error&) {
        }
        EXPECT_TRUE(drawing());
        RECT update = {};
        const bool pending = GetUpdateRect(window, &update, FALSE) != FALSE;
        EXPECT_EQ(pending, c.Repaint != TRedrawOff::NoRepaint && c.Way != ResumedEarly)
            << "a resumed guard does not repaint a second time";
        UpdateWindow(window);
        EXPECT_EQ(erases > 0, c.Repaint == TRedrawOff::RepaintErased);
    }
    RemoveWindowSubclass(window, CountErases, 1);
}
