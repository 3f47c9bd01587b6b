// The Tracked tab and the "&Commands" menu inside a real main window, on windows of the target program.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "app/WinApiEx.h"
#include "tabs/TabWindows.h"
#include "tabs/WndFuncs.h"

#include <functional>
#include <memory>

namespace {

void AddTracked(HWND handle) {
    auto record = std::make_unique<TWindowDetails>(handle);
    record->Refresh();
    TrackedList->Add(std::move(record));
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* chars = static_cast<const char*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::string Hex8(HWND handle) {
    return FormatText("0x%.8x", HandleValue(handle));
}

int RowImage(TNvActionListView& list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ListView_GetItem(list.Handle(), &item);
    return item.iImage;
}

int RowOfHandle(TNvActionListView& list, HWND handle) {
    for (int row = 0; row < list.RowCount(); ++row)
        if (list.CellText(row, 1) == Hex8(handle)) return row;
    return -1;
}

class TrackedTab : public FormTest {
  protected:
    TTargetProcess target{"tracked"};
    HWND hidden = nullptr;

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        hidden = CreateWindowExA(0, "STATIC", "hidden", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
    }
    void TearDown() override {
        if (hidden) DestroyWindow(hidden);
        FormTest::TearDown();
    }
    // Three windows: the target's main window (current), its probe, and a hidden window of this process.
    void TrackThree() {
        TrackWindow(target.MainWindow(), false, true);
        AddTracked(target.Probe());
        AddTracked(hidden);
    }
};

TEST_F(TrackedTab, ListsEveryTrackedWindowSortedByClass) {
    SetWindowTextA(target.MainWindow(), "First line\r\nSecond line");
    TrackThree();
    TWindowsTab& tab = Tab<TWindowsTab>();
    TNvActionListView& list = *tab.ListView;
    ASSERT_EQ(list.RowCount(), 3);
    EXPECT_EQ(tab.Caption, "Tracked (3)");
    EXPECT_EQ(list.CellText(0, 0), "PaneprobeTargetMain");
    EXPECT_EQ(list.CellText(1, 0), "PaneprobeTargetProbe");
    EXPECT_EQ(list.CellText(2, 0), "Static");

    EXPECT_EQ(list.CellText(0, 1), Hex8(target.MainWindow()));
    EXPECT_EQ(list.CellText(0, 2), "First lineSecond line") << "one line in the list";
    EXPECT_EQ(list.CellText(0, 3), "") << "no parent: an empty cell";
    EXPECT_EQ(list.CellText(0, 4), std::to_string(target.ProcessId()));
    DWORD threadId = GetWindowThreadProcessId(target.MainWindow(), nullptr);
    EXPECT_EQ(list.CellText(0, 5), std::to_string(threadId));
    EXPECT_EQ(list.CellText(0, 6),
              FormatText("0x%.8x", static_cast<uint32_t>(GetWindowLongA(target.MainWindow(), GWL_STYLE))));
    EXPECT_EQ(RowImage(list, 0), 2) << "visible: blue";
    EXPECT_EQ(RowImage(list, 2), 9) << "hidden: red";
    EXPECT_EQ(static_cast<int>(list.RowData(2)), 2) << "a row carries its record's position";
    EXPECT_EQ(list.HeaderFormat(0), 0) << "no sort mark";
}

TEST_F(TrackedTab, RowsFollowRefreshedRecordsWithoutARefill) {
    TrackThree();
    TWindowsTab& tab = Tab<TWindowsTab>();
    TNvActionListView& list = *tab.ListView;
    int probeRow = RowOfHandle(list, target.Probe());
    ASSERT_GE(probeRow, 0);
    EXPECT_EQ(RowImage(list, probeRow), 2) << "visible";
    // Same number of windows, new texts and style: the rows must show them after the next change.
    SetWindowTextA(target.Probe(), "Renamed probe");
    ShowWindow(target.Probe(), SW_HIDE);
    for (int i = 0; i < TrackedList->Count(); ++i)
        TrackedList->Get(i)->Refresh();
    TrackedList->SetItemIndex(2);
    ASSERT_EQ(list.RowCount(), 3);
    EXPECT_EQ(RowOfHandle(list, target.Probe()), probeRow);
    EXPECT_EQ(list.CellText(probeRow, 2), "Renamed probe");
    EXPECT_EQ(RowImage(list, probeRow), 9) << "hidden";
    EXPECT_EQ(list.CellText(probeRow, 6),
              FormatNonZero(static_cast<uint32_t>(GetWindowLongA(target.Probe(), GWL_STYLE)), "0x%.8x"));
    EXPECT_EQ(static_cast<int>(list.RowData(probeRow)), 1) << "the row still names the probe's record";
    ShowWindow(target.Probe(), SW_SHOWNA);
}

TEST_F(TrackedTab, ManyRowsSortByClassName) {
    TrackThree();
    for (int id : {TTargetProcess::ButtonId, TTargetProcess::EditId, TTargetProcess::KeeperId})
        AddTracked(target.Child(id));
    AddTracked(target.Scroller());
    AddTracked(target.Dialog());
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    ASSERT_EQ(list.RowCount(), 8);
    for (int row = 1; row < list.RowCount(); ++row)
        EXPECT_LE(lstrcmpA(list.CellText(row - 1, 0).c_str(), list.CellText(row, 0).c_str()), 0) << row;
}

TEST_F(TrackedTab, FocusStaysAtItsPositionAfterARebuild) {
    TrackThree();
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    list.SelectRow(2);
    TrackedList->SetItemIndex(1); // any change rebuilds the list
    EXPECT_EQ(list.FocusedIndex(), 2);
    EXPECT_EQ(list.SelectedIndex(), 2);
    TrackedList->Delete(2);
    TrackedList->Delete(1);
    EXPECT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.FocusedIndex(), 0);
    EXPECT_EQ(Tab<TWindowsTab>().Caption, "Tracked (1)");
}

// The focused row is scrolled fully into view after every rebuild, also when no row has changed.
TEST_F(TrackedTab, EveryRebuildScrollsTheFocusedRowIntoView) {
    // More rows than the list shows at once, added quietly: the tab hears once, about all of them.
    TrackWindow(target.MainWindow(), false, true);
    auto listener = std::move(TrackedList->OnChange);
    TrackedList->OnChange = nullptr;
    for (int i = 0; i < 60; ++i)
        AddTracked(i % 2 ? target.Probe() : hidden);
    TrackedList->OnChange = std::move(listener);
    TrackedList->SetItemIndex(1);
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    ASSERT_EQ(list.RowCount(), 61);
    const HWND view = list.Handle();
    ASSERT_LT(ListView_GetCountPerPage(view), 61) << "the rows must not all fit";
    auto focusedRowInView = [&] {
        int focused = list.FocusedIndex();
        int top = ListView_GetTopIndex(view);
        return focused >= top && focused < top + ListView_GetCountPerPage(view);
    };
    struct Case {
        const char* name;
        std::function<void()> change;
    } cases[] = {
        {"rows unchanged", [] { TrackedList->SetItemIndex(TrackedList->ItemIndex() == 0 ? 1 : 0); }},
        {"a row changed", [&] { AddTracked(hidden); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list.SelectRow(0);
        ASSERT_TRUE(focusedRowInView());
        ListView_Scroll(view, 0, 2000); // the user scrolls the focused row out of view
        ASSERT_FALSE(focusedRowInView());
        c.change();
        EXPECT_EQ(list.FocusedIndex(), 0);
        EXPECT_TRUE(focusedRowInView());
    }
}

TEST_F(TrackedTab, EnterAndDoubleClickMakeARowCurrent) {
    TrackThree();
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    int probeRow = RowOfHandle(list, target.Probe());
    list.SelectRow(probeRow);
    SendMessageA(list.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(TrackedList->Current()->Handle, target.Probe());

    int hiddenRow = RowOfHandle(list, hidden);
    list.SelectRow(hiddenRow);
    RECT place = {};
    ListView_GetItemRect(list.Handle(), hiddenRow, &place, LVIR_LABEL);
    LPARAM point = MAKELPARAM(place.left + 4, (place.top + place.bottom) / 2);
    SendMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list.Handle(), WM_LBUTTONUP, 0, point);
    SendMessageA(list.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageA(list.Handle(), WM_LBUTTONUP, 0, point);
    EXPECT_EQ(TrackedList->Current()->Handle, hidden);

    // With a modifier Enter is not the tab's key.
    list.SelectRow(RowOfHandle(list, target.MainWindow()));
    HoldKeys({VK_CONTROL});
    SendMessageA(list.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    HoldKeys({});
    EXPECT_EQ(TrackedList->Current()->Handle, hidden);
}

TEST_F(TrackedTab, DeleteDropsTheSelectedRecord) {
    TrackThree();
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    TrackedList->SetItemIndex(2);
    list.SelectRow(RowOfHandle(list, hidden));
    SendMessageA(list.Handle(), WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_EQ(TrackedList->Count(), 2);
    EXPECT_EQ(list.RowCount(), 2);
    EXPECT_EQ(RowOfHandle(list, hidden), -1);
    EXPECT_EQ(TrackedList->Current(), nullptr)
        << "the last record was current: none is until the user picks one";
}

TEST_F(TrackedTab, CopyClassNameAndCaption) {
    SetWindowTextA(target.MainWindow(), "First line\r\nSecond line");
    TrackThree();
    TWindowsTab& tab = Tab<TWindowsTab>();
    TNvActionListView& list = *tab.ListView;
    list.SelectRow(RowOfHandle(list, target.MainWindow()));
    TNvPopupMenu& popup = *list.PopupMenu;
    ASSERT_TRUE(popup.RunCommand(popup.FindMenuItem(cmdCopyClassName)->CommandId));
    EXPECT_EQ(ClipboardText(), "PaneprobeTargetMain");
    ASSERT_TRUE(popup.RunCommand(popup.FindMenuItem(cmdCopyCaption)->CommandId));
    EXPECT_EQ(ClipboardText(), "First line\r\nSecond line") << "line breaks kept";
}

std::string MenuText(HMENU menu, int position) {
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
    return (info.fType & MFT_SEPARATOR) ? "-" : text;
}

// With automatic accelerator letters: "Set Style..." finds every one of its letters taken.
TEST_F(TrackedTab, CommandsMenuHoldsTheTwentyCommandsInOrder) {
    const char* expected[] = {
        "&Enable\tCtrl+E",
        "&Visible\tCtrl+W",
        "-",
        "&Restore\tCtrl+Num *",
        "&Minimize\tCtrl+Num -",
        "M&aximize\tCtrl+Num +",
        "-",
        "&Bring to Top\tCtrl+PgUp",
        "&Send to Back\tCtrl+PgDn",
        "&Top Most",
        "-",
        "Ma&ke Viewable\tCtrl+G",
        "Set &Window Text...\tCtrl+T",
        "M&ove/Size Window...\tCtrl+S",
        "Re&draw Window\tCtrl+R",
        "-",
        "&Horizontal Scrollbar",
        "Vert&ical Scrollbar",
        "-",
        "Draw &Frame (n/a)\tCtrl+F",
        "I&nvert Colors\tCtrl+I",
        "-",
        "Destro&y Window...\tCtrl+Q",
        "End Dia&log...",
        "-",
        "Set Style...\tAlt+S",
        "Set E&xtended Style...\tShift+Alt+S",
    };
    HMENU menu = form->CommandsMenu->SubMenu;
    ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(std::size(expected)));
    for (int i = 0; i < static_cast<int>(std::size(expected)); ++i)
        EXPECT_EQ(MenuText(menu, i), expected[i]) << i;
}

TNvMenuItem& CommandItem(TPaneprobeForm& form, int row) {
    for (auto& item : form.CommandsMenu->Items)
        if (item->Tag == row) return *item;
    throw std::runtime_error("no such command");
}

TEST_F(TrackedTab, CheckMarksAreRefreshedWhenTheMenuOpensForALiveWindow) {
    TrackWindow(target.Probe(), false, true);
    TNvMenuItem& topMost = CommandItem(*form, WndTopMost);
    TNvMenuItem& enable = CommandItem(*form, WndEnable);
    TNvMenuItem& restore = CommandItem(*form, WndRestore);
    restore.SetChecked(true);
    form->RunMenuCommand(0); // harmless: no such id
    ASSERT_TRUE(form->Menu->RunCommand(topMost.CommandId));
    SettleWindowCalls({TrackedList->Current()->Handle});
    EXPECT_FALSE(topMost.Checked()) << "not before the menu opens again";
    SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(form->CommandsMenu->SubMenu), 3);
    EXPECT_TRUE(topMost.Checked());
    EXPECT_TRUE(enable.Checked());
    EXPECT_FALSE(restore.Checked()) << "a command without a check mark is cleared";

    ASSERT_TRUE(form->Menu->RunCommand(topMost.CommandId));
    SettleWindowCalls({TrackedList->Current()->Handle});
    SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(form->CommandsMenu->SubMenu), 3);
    EXPECT_FALSE(topMost.Checked());

    // A window that is gone leaves the marks as they were.
    HWND doomed = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                                  nullptr, nullptr);
    TrackWindow(doomed, false, true);
    DestroyWindow(doomed);
    SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(form->CommandsMenu->SubMenu), 3);
    EXPECT_FALSE(topMost.Checked());
    EXPECT_TRUE(enable.Checked());
}

TEST_F(TrackedTab, ShiftRunsACommandOnEveryTrackedWindow) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    TrackWindow(target.MainWindow(), false, true);
    AddTracked(target.Probe());
    AddTracked(button);
    TNvMenuItem& enable = CommandItem(*form, WndEnable);

    ASSERT_TRUE(form->Menu->RunCommand(enable.CommandId));
    SettleWindowCalls({target.MainWindow(), target.Probe()});
    EXPECT_FALSE(IsWindowEnabled(target.MainWindow()));
    EXPECT_TRUE(IsWindowEnabled(target.Probe())) << "without Shift only the current window";
    EnableWindow(target.MainWindow(), TRUE);

    HoldKeys({VK_SHIFT});
    ASSERT_TRUE(form->Menu->RunCommand(enable.CommandId));
    HoldKeys({});
    SettleWindowCalls({target.MainWindow(), target.Probe(), button});
    EXPECT_FALSE(IsWindowEnabled(target.MainWindow()));
    EXPECT_FALSE(IsWindowEnabled(target.Probe()));
    EXPECT_FALSE(IsWindowEnabled(button));
}

TEST_F(TrackedTab, ShiftAsksOnceForEveryWindow) {
    HWND edit = target.Child(TTargetProcess::EditId);
    TrackWindow(target.MainWindow(), false, true);
    AddTracked(target.Probe());
    AddTracked(edit);
    TDialogAnswerer answerer({{"PaneprobeTargetMain", TAnswer::TypeAndOk, "one"},
                              {"PaneprobeTargetProbe", TAnswer::TypeAndOk, "two"},
                              {"Edit", TAnswer::TypeAndOk, "three"}});
    HoldKeys({VK_SHIFT});
    ASSERT_TRUE(form->Menu->RunCommand(CommandItem(*form, WndSetText).CommandId));
    HoldKeys({});
    EXPECT_EQ(answerer.Seen().size(), 3u);
    SettleWindowCalls({target.MainWindow(), target.Probe(), edit});
    char text[64] = {};
    GetWindowTextA(target.MainWindow(), text, sizeof text);
    EXPECT_STREQ(text, "one");
    GetWindowTextA(target.Probe(), text, sizeof text);
    EXPECT_STREQ(text, "two");
    SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "three");
}

TEST_F(TrackedTab, ShortcutKeysRunCommands) {
    TrackWindow(target.MainWindow(), false, true);
    HoldKeys({VK_CONTROL});
    PostMessageA(form->Handle(), WM_KEYDOWN, 'E', 0);
    PumpMessages(100);
    HoldKeys({});
    SettleWindowCalls({target.MainWindow()});
    EXPECT_FALSE(IsWindowEnabled(target.MainWindow())) << "Ctrl+E: Enable";
}

TEST_F(TrackedTab, ACommandWorksOnItsCopyWhileScanningReplacesTheRecords) {
    HWND probe = target.Probe();
    HWND main = target.MainWindow();
    RECT mainRect = {};
    GetWindowRect(main, &mainRect);
    SetCursorPos(mainRect.left + 200, mainRect.top + 150);
    TrackWindow(probe, false, true);
    LONG mainStyle = GetWindowLongA(main, GWL_STYLE);
    int changesWhileOpen = 0;
    TrackedList->OnChange = [&, inner = TrackedList->OnChange](TWindowList& list) {
        ++changesWhileOpen;
        inner(list);
    };
    form->ScanAtMouse->SetValue(true);
    // The dialog stays open for many ticks of the fast timer while the pointer moves between the target's
    // window and its probe, so that each tick replaces the tracked record.
    RECT probeRect = {};
    GetWindowRect(probe, &probeRect);
    const POINT spots[] = {{mainRect.left + 200, mainRect.top + 150},
                           {(probeRect.left + probeRect.right) / 2, (probeRect.top + probeRect.bottom) / 2}};
    TDialogAnswerer answerer({{"PaneprobeTargetProbe", TAnswer::TypeAndOk, "0x10CF0000", [&spots] {
                                   for (int step = 0; step < 16; ++step) {
                                       SetCursorPos(spots[step % 2].x, spots[step % 2].y);
                                       Sleep(25);
                                   }
                               }}});
    RunWindowCommand(WndSetStyle, *TrackedList, false);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    form->ScanAtMouse->SetValue(false);
    SettleWindowCalls({probe});
    EXPECT_GT(changesWhileOpen, 4) << "the list was replaced while the dialog was open";
    ASSERT_NE(TrackedList->Current(), nullptr);
    EXPECT_NE(TrackedList->Current()->Handle, probe);
    EXPECT_EQ(GetWindowLongA(probe, GWL_STYLE), 0x10CF0000 | WS_CLIPSIBLINGS)
        << "the window the command began with";
    EXPECT_EQ(GetWindowLongA(main, GWL_STYLE), mainStyle) << "not the window now tracked";
}

// The dialogs are owned by the target window, which the platform activates when they close.
TEST_F(TrackedTab, FocusReturnsToTheListAfterACommandsDialog) {
    TrackWindow(target.MainWindow(), false, true);
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    struct Case {
        int row;
        const char* caption;
        TAnswer answer;
    };
    const Case cases[] = {{WndSetText, "PaneprobeTargetMain", TAnswer::Escape},
                          {WndMoveSize, "Move/Size Window", TAnswer::Escape},
                          {WndDestroy, "Destroy Window?", TAnswer::No}};
    for (const Case& c : cases) {
        SetForegroundWindow(form->Handle());
        SetFocus(list.Handle());
        ASSERT_EQ(GetFocus(), list.Handle());
        TDialogAnswerer answerer({{c.caption, c.answer, ""}});
        ASSERT_TRUE(form->Menu->RunCommand(CommandItem(*form, c.row).CommandId));
        EXPECT_EQ(answerer.Seen().size(), 1u) << c.caption;
        PumpMessages(50);
        EXPECT_EQ(GetFocus(), list.Handle()) << c.caption;
        EXPECT_EQ(GetForegroundWindow(), form->Handle()) << c.caption;
    }
}

} // namespace
