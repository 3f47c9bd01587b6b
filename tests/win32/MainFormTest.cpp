// The real main window, driven in-process: start-up, settings, keys, system commands, menus, status bar.
#include "DialogAnswerer.h"
#include "ShellTestSupport.h"

#include "app/QrLib.h"
#include "app/WinApiEx.h"
#include "config/EasyConfig.h"
#include "ui/NvActionListView.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override { DeleteFileA(SettingsPath().c_str()); }
    void TearDown() override {
        form.reset();
        DeleteFileA(SettingsPath().c_str());
    }
    TPaneprobeForm& Start(int tabs = 0, const TTabClass* configTab = nullptr) {
        tabClasses = RecordingTabs(tabs);
        form = std::make_unique<TPaneprobeForm>(tabClasses, configTab);
        PumpMessages();
        return *form;
    }
    RECT WindowRect() const {
        RECT rect = {};
        GetWindowRect(form->Handle(), &rect);
        return rect;
    }
    // What the status bar draws, rendered through its own paint path into a bitmap.
    COLORREF Panel0Pixel() {
        HWND bar = form->StatusBar->Handle();
        RECT client = {};
        GetClientRect(bar, &client);
        HDC screen = GetDC(bar);
        TMemoryDc memory(screen);
        TBitmap bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
        ReleaseDC(bar, screen);
        TSelectGuard select(memory.Get(), bitmap.Get());
        SendMessageA(bar, WM_PAINT, reinterpret_cast<WPARAM>(memory.Get()), 0);
        // Inside panel 0, in the inset right of its caption text.
        return GetPixel(memory.Get(), form->StatusBar->PanelWidth(0) - 5, client.bottom / 2);
    }
    std::vector<TTabClass> tabClasses;
    std::unique_ptr<TPaneprobeForm> form;
};

TEST_F(MainWindow, FirstStartIsCentredTracksItselfAndSavesOnlyWhatChanged) {
    TPaneprobeForm& f = Start(2);
    RECT rect = WindowRect();
    EXPECT_EQ(rect.right - rect.left, 720);
    EXPECT_EQ(rect.bottom - rect.top, 533);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 720) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 533) / 2);
    EXPECT_EQ(f.Text(), "Quorvel Paneprobe 16.06.28");
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(f.ScanAtMouse->Value);
    EXPECT_EQ(f.PageControl->ActivePageIndex(), 0);
    ASSERT_EQ(TrackedList->Count(), 1);
    EXPECT_EQ(TrackedList->Current()->Handle, f.Handle());
    EXPECT_EQ(MainWindowHandle, f.Handle());
    EXPECT_EQ(HexPrefix, "0x");
    EXPECT_EQ(f.StatusBar->PanelText(0), "TPaneprobeForm");
    EXPECT_EQ(f.StatusBar->PanelText(1), "");
    EXPECT_EQ(f.StatusBar->PanelText(2), "1 / 1");
    EXPECT_EQ(f.StatusBar->PanelText(3), FormatText("0x%.8x", HandleValue(f.Handle())));
    EXPECT_EQ(f.StatusBar->PanelText(4), FormatText("%d x %d / %d x %d", static_cast<int>(rect.left),
                                                    static_cast<int>(rect.top), 720, 533));
    for (int panel = 0; panel < 5; ++panel) {
        char text[256] = "";
        SendMessageA(f.StatusBar->Handle(), SB_GETTEXTA, static_cast<WPARAM>(panel),
                     reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(text, f.StatusBar->PanelText(panel)) << "what other programs read of panel " << panel;
    }
    EXPECT_FALSE(f.Menu->FindMenuItem(cmdScanAtMouse)->Checked());
    EXPECT_EQ(SharedImageList->Count(), 11);
    EXPECT_EQ(TRecordingTab::Created[0]->Activations, 1);
    EXPECT_EQ(TRecordingTab::Created[1]->Activations, 0);

    form.reset();
    EXPECT_EQ(ConfigStore, nullptr);
    EXPECT_EQ(TrackedList, nullptr);
    EXPECT_EQ(MainWindowHandle, nullptr) << "its handle value may name another window later";
    // Tracking itself switched scanning off; the run-time interval is never stored.
    EXPECT_EQ(SettingsKeys(), std::vector<std::string>{"system.scan_window_at_mouse"});
}

TEST_F(MainWindow, StoredSettingsAreAppliedInDeclarationOrder) {
    WriteSettings("[window]\r\nwidth=600\r\nheight=410\r\nleft=40\r\ntop=30\r\n[tabs]\r\npage_index=7\r\n"
                  "[system]\r\nupdate_interval_ms=50\r\n");
    TPaneprobeForm& f = Start(3);
    RECT rect = WindowRect();
    EXPECT_EQ(rect.left, 40);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right - rect.left, 600);
    EXPECT_EQ(rect.bottom - rect.top, 410);
    EXPECT_EQ(f.UpdateInterval->Value, 50);
    // page_index 7 with three tabs: the last tab is shown and activated.
    EXPECT_EQ(f.PageControl->ActivePageIndex(), 2);
    EXPECT_EQ(TRecordingTab::Created[2]->Activations, 1);
    EXPECT_GE(TRecordingTab::Created[2]->Refreshes, 1);
    EXPECT_EQ(TRecordingTab::Created[0]->Refreshes, 0);

    // Every tab hears every setting once at start-up, in declaration order. Showing the stored tab sets the
    // tab interval, which is heard (nested) before page_index itself; tracking itself then switches scanning
    // off. The message logs' settings come after the main window's own.
    const std::vector<std::string> expected = {"system.stay_on_top",
                                               "system.update_interval_ms",
                                               "system.scan_window_at_mouse",
                                               "tabs.update_interval_ms",
                                               "tabs.page_index",
                                               "tabs.update_interval_ms",
                                               "gui.font_main",
                                               "window.width",
                                               "window.height",
                                               "window.left",
                                               "window.top",
                                               "window.maxed",
                                               "gui.flash_picked_window",
                                               "log.include",
                                               "log.exclude",
                                               "log.scope",
                                               "log.column_widths",
                                               "log.left",
                                               "log.top",
                                               "log.width",
                                               "log.height",
                                               "system.scan_window_at_mouse"};
    EXPECT_EQ(TRecordingTab::Created[1]->ConfigNames, expected);
}

TEST_F(MainWindow, MaximizedStateAndRestoredGeometryComeBack) {
    WriteSettings("[window]\r\nwidth=500\r\nheight=400\r\nleft=60\r\ntop=70\r\nmaxed=true\r\n");
    TPaneprobeForm& f = Start(1);
    EXPECT_TRUE(IsZoomed(f.Handle()));
    ShowWindow(f.Handle(), SW_RESTORE);
    RECT rect = WindowRect();
    EXPECT_EQ(rect.left, 60);
    EXPECT_EQ(rect.top, 70);
    EXPECT_EQ(rect.right - rect.left, 500);
    EXPECT_EQ(rect.bottom - rect.top, 400);
}

TEST_F(MainWindow, FollowingWaitsOutALongIntervalAndRestartsAt33) {
    TPaneprobeForm& f = Start(1);
    TRecordingTab* tab = TRecordingTab::Created[0];
    f.UpdateInterval->SetValue(60000);
    f.ScanAtMouse->SetValue(true);
    SetForegroundWindow(f.Handle());
    const auto spots = TwoSpotsOf(f);
    int before = tab->ListChanges;
    PumpMovingBetween(spots.first, spots.second, 200);
    EXPECT_EQ(tab->ListChanges, before) << "no tick may follow the mouse";
    f.UpdateInterval->SetValue(33);
    PumpMovingBetween(spots.first, spots.second, 300);
    EXPECT_GE(tab->ListChanges, before + 4) << "each tick replaces the tracked window";
    EXPECT_EQ(TrackedList->Count(), 1);
}

TEST_F(MainWindow, StayOnTopSetsAndClearsTheTopMostBand) {
    TPaneprobeForm& f = Start();
    auto topMost = [&f] { return (GetWindowLongPtrA(f.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    f.StayOnTop->SetValue(true);
    EXPECT_TRUE(topMost());
    f.StayOnTop->SetValue(false);
    EXPECT_FALSE(topMost());
}

TEST_F(MainWindow, CtrlDigitsChooseTheTabOnBothDigitRows) {
    TPaneprobeForm& f = Start(9);
    struct Case {
        WORD key;
        unsigned shift;
        bool handled;
        int page;
    };
    const Case cases[] = {
        {'9', ssCtrl, true, 8},  {VK_NUMPAD3, ssCtrl, true, 2},
        {'1', ssCtrl, true, 0},  {'9', ssCtrl | ssShift, false, 0},
        {'5', ssNone, false, 0}, {'5', ssAlt | ssCtrl, false, 0},
    };
    for (const Case& c : cases) {
        WORD key = c.key;
        f.KeyDown(key, c.shift);
        EXPECT_EQ(key == 0, c.handled) << c.key << " with " << c.shift;
        EXPECT_EQ(f.PageControl->ActivePageIndex(), c.page) << c.key << " with " << c.shift;
    }
}

TEST_F(MainWindow, CtrlDigitBeyondTheLastTabIsConsumedAndChangesNothing) {
    TPaneprobeForm& f = Start(2);
    WORD key = '7';
    f.KeyDown(key, ssCtrl);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(f.PageIndex->Value, 0);
}

// A focused edit on a tab page that records the keys it is given.
class TKeyRecorder : public TNvEdit {
  public:
    using TNvEdit::TNvEdit;
    std::vector<WPARAM> Keys;

  protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) Keys.push_back(wParam);
        return TNvEdit::HandleMessage(message, wParam, lParam);
    }
};

TEST_F(MainWindow, HandledKeysNeverReachTheFocusedControl) {
    TPaneprobeForm& f = Start(9);
    TKeyRecorder& edit = f.PageControl->Page(0)->MakeChild<TKeyRecorder>();
    SetFocus(edit.Handle());
    PressKey(edit.Handle(), '4', ssCtrl);
    EXPECT_EQ(f.PageControl->ActivePageIndex(), 3);
    EXPECT_TRUE(edit.Keys.empty());
    PressKey(edit.Handle(), '9', ssCtrl | ssShift);
    EXPECT_EQ(f.PageControl->ActivePageIndex(), 3);
    EXPECT_EQ(edit.Keys, std::vector<WPARAM>{'9'});
    // A menu shortcut, through the accelerators: F5 switches scanning on.
    PressKey(edit.Handle(), VK_F5, ssNone);
    EXPECT_TRUE(f.ScanAtMouse->Value);
    EXPECT_TRUE(f.Menu->FindMenuItem(cmdScanAtMouse)->Checked());
    EXPECT_EQ(edit.Keys.size(), 1u);
}

TEST_F(MainWindow, F2ShowsTheSettingsTabWhenThereIsOne) {
    std::vector<TTabClass> classes = RecordingTabs(4);
    TTabClass settings = TabClassOf<TSettingsLikeTab>();
    classes[2] = settings;
    form = std::make_unique<TPaneprobeForm>(classes, &settings);
    WORD key = VK_F2;
    form->KeyDown(key, ssNone);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(form->PageControl->ActivePageIndex(), 2);
}

TEST_F(MainWindow, F2WithoutASettingsTabIsConsumedAndDoesNothing) {
    TPaneprobeForm& f = Start(3);
    f.PageIndex->SetValue(1);
    WORD key = VK_F2;
    f.KeyDown(key, ssNone);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(f.PageControl->ActivePageIndex(), 1);
    key = VK_F2;
    f.KeyDown(key, ssShift);
    EXPECT_EQ(key, VK_F2);
}

TEST_F(MainWindow, CtrlDSwitchesBackAndForth) {
    TPaneprobeForm& f = Start(5);
    f.PageIndex->SetValue(3);
    for (int expected : {0, 3, 0}) {
        WORD key = 'D';
        f.KeyDown(key, ssCtrl);
        EXPECT_EQ(key, 0);
        EXPECT_EQ(f.PageControl->ActivePageIndex(), expected);
    }
}

TEST_F(MainWindow, AltDigitsSizeTheWindowAlsoFromMaximized) {
    TPaneprobeForm& f = Start();
    struct Case {
        WORD key;
        bool maximizedFirst;
        int width, height;
    };
    const Case cases[] = {
        {'1', false, 540, 399}, {'2', false, 720, 533}, {'3', true, 900, 666}, {'1', true, 540, 399}};
    for (const Case& c : cases) {
        if (c.maximizedFirst) SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_EQ(IsZoomed(f.Handle()) != FALSE, c.maximizedFirst);
        WORD key = c.key;
        f.KeyDown(key, ssAlt);
        EXPECT_EQ(key, 0);
        RECT rect = WindowRect();
        EXPECT_FALSE(IsZoomed(f.Handle()));
        EXPECT_EQ(rect.right - rect.left, c.width) << "Alt+" << static_cast<char>(c.key);
        EXPECT_EQ(rect.bottom - rect.top, c.height) << "Alt+" << static_cast<char>(c.key);
        EXPECT_FALSE(f.Maxed->Value);
    }
}

TEST_F(MainWindow, AltArrowsStepThroughTheTrackedListWithWrapAround) {
    TPaneprobeForm& f = Start();
    HWND windows[] = {f.Handle(), f.StatusBar->Handle(), f.PageControl->Handle()};
    TrackedList->Clear();
    for (HWND window : windows)
        TrackedList->Add(std::make_unique<TWindowDetails>(window));
    TrackedList->SetItemIndex(2);
    struct Case {
        WORD key;
        int index;
    };
    for (const Case& c : {Case{VK_RIGHT, 0}, Case{VK_LEFT, 2}, Case{VK_LEFT, 1}, Case{VK_RIGHT, 2}}) {
        WORD key = c.key;
        f.KeyDown(key, ssAlt);
        EXPECT_EQ(key, 0);
        EXPECT_EQ(TrackedList->ItemIndex(), c.index);
        EXPECT_EQ(f.StatusBar->PanelText(2), FormatText("%d / 3", c.index + 1));
    }
}

TEST_F(MainWindow, KeysQueuedBehindAHandledKeyAreDroppedNotActedOn) {
    TPaneprobeForm& f = Start();
    TrackedList->Clear();
    for (HWND window : {f.Handle(), f.StatusBar->Handle(), f.PageControl->Handle()})
        TrackedList->Add(std::make_unique<TWindowDetails>(window));
    TrackedList->SetItemIndex(0);
    PressKey(f.Handle(), VK_RIGHT, ssAlt, 3);
    EXPECT_EQ(TrackedList->ItemIndex(), 1) << "three queued presses, the first handled, the others dropped";
    MSG left = {};
    EXPECT_FALSE(PeekMessageA(&left, f.Handle(), WM_KEYDOWN, 0x108, PM_NOREMOVE));
}

// The form's "&Commands" menu has Ctrl+S ("Move/Size Window..."); a focused list with a Ctrl+S of its own
// keeps it.
TEST_F(MainWindow, AFocusedListsOwnCtrlSComesBeforeTheCommandsMenu) {
    TPaneprobeForm& f = Start(1);
    static const TNvMenuEntry entries[] = {{1, ShortCutCtrl | 'S', "Enum &Visible Only", 0, 0}};
    int toggled = 0;
    TNvActionListView& own = f.PageControl->Page(0)->MakeChild<TNvActionListView>();
    own.PopupMenu = std::make_unique<TNvPopupMenu>(
        own, [&toggled](TNvMenuItem&) { ++toggled; }, entries, 0);
    TNvActionListView& plain = f.PageControl->Page(0)->MakeChild<TNvActionListView>();
    struct Case {
        TNvActionListView* list;
        int toggles;
        size_t moveSizeDialogs;
    };
    for (const Case& c : {Case{&own, 1, 0}, Case{&plain, 0, 1}}) {
        toggled = 0;
        TDialogAnswerer answerer({{"Move/Size Window", TAnswer::Escape, ""}}, 1500);
        SetFocus(c.list->Handle());
        PressKey(c.list->Handle(), 'S', ssCtrl);
        EXPECT_EQ(answerer.Seen().size(), c.moveSizeDialogs);
        EXPECT_EQ(toggled, c.toggles);
    }
}

TEST_F(MainWindow, MaximizeAndRestoreCommandsRecordTheState) {
    TPaneprobeForm& f = Start();
    struct Case {
        WPARAM command;
        bool maxed;
    };
    // 0xF032 is what a double-click on the title bar sends.
    for (const Case& c : {Case{SC_MAXIMIZE, true}, Case{SC_RESTORE, false}, Case{0xF032, true},
                          Case{SC_RESTORE | 2, false}}) {
        SendMessageA(f.Handle(), WM_SYSCOMMAND, c.command, 0);
        EXPECT_EQ(f.Maxed->Value, c.maxed) << std::hex << c.command;
        EXPECT_EQ(IsZoomed(f.Handle()) != FALSE, c.maxed) << std::hex << c.command;
    }
    SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(f.Maxed->Value) << "minimizing does not touch the setting";
}

TEST_F(MainWindow, RestoringAMinimizedMaximizedWindowKeepsItMaximized) {
    TPaneprobeForm& f = Start();
    SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(f.Maxed->Value);
    SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_EQ(IsZoomed(f.Handle()) != FALSE, f.Maxed->Value);
}

TEST_F(MainWindow, EndOfAMoveRecordsTheRestoredGeometryAndSnaps) {
    TPaneprobeForm& f = Start();
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    struct Case {
        int left, top;
        int expectedLeft, expectedTop;
    };
    const Case cases[] = {
        {area.left + 10, area.top + 100, area.left, area.top + 100},      // jumps to the edge
        {area.left + 17, area.top + 100, area.left + 17, area.top + 100}, // stays
        {area.left + 200, area.top + 16, area.left + 200, area.top},
        {area.right - 640 - 12, area.bottom - 480 - 20, area.right - 640, area.bottom - 480 - 20},
    };
    for (const Case& c : cases) {
        SetWindowPos(f.Handle(), nullptr, c.left, c.top, 640, 480, SWP_NOZORDER);
        SendMessageA(f.Handle(), WM_ENTERSIZEMOVE, 0, 0);
        SendMessageA(f.Handle(), WM_EXITSIZEMOVE, 0, 0);
        RECT rect = WindowRect();
        EXPECT_EQ(rect.left, c.expectedLeft) << c.left;
        EXPECT_EQ(rect.top, c.expectedTop) << c.top;
        EXPECT_EQ(f.Left->Value, c.expectedLeft);
        EXPECT_EQ(f.Top->Value, c.expectedTop);
        EXPECT_EQ(f.Width->Value, 640);
        EXPECT_EQ(f.Height->Value, 480);
    }
    // While maximized the stored geometry stays the restored one.
    SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageA(f.Handle(), WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(f.Width->Value, 640);
    EXPECT_EQ(f.Height->Value, 480);
}

// Moves the work area away from the screen's origin, as a taskbar at the left and the top does, and puts it
// back afterwards.
class TShiftedWorkArea {
  public:
    TShiftedWorkArea(int left, int top) {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved, 0);
        RECT area = {left, top, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0);
    }
    ~TShiftedWorkArea() { SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0); }
    TShiftedWorkArea(const TShiftedWorkArea&) = delete;
    TShiftedWorkArea& operator=(const TShiftedWorkArea&) = delete;

  private:
    RECT saved = {};
};

TEST_F(MainWindow, TheStoredPositionIsOnTheScreenWhereverTheWorkAreaStarts) {
    TShiftedWorkArea shifted(100, 50);
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    ASSERT_EQ(area.left, 100) << "the work area could not be moved";
    TPaneprobeForm& f = Start();
    // Every move ends where it was left, and is stored as such: no drift by the work area's offset.
    for (int move = 0; move < 3; ++move) {
        SetWindowPos(f.Handle(), nullptr, 300 + 10 * move, 200, 640, 480, SWP_NOZORDER);
        SendMessageA(f.Handle(), WM_ENTERSIZEMOVE, 0, 0);
        SendMessageA(f.Handle(), WM_EXITSIZEMOVE, 0, 0);
        RECT rect = WindowRect();
        EXPECT_EQ(rect.left, 300 + 10 * move);
        EXPECT_EQ(rect.top, 200);
        EXPECT_EQ(f.Left->Value, 300 + 10 * move);
        EXPECT_EQ(f.Top->Value, 200);
        EXPECT_EQ(f.Width->Value, 640);
    }
    // Set while maximized, a position becomes the restored one, on the screen.
    SendMessageA(f.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(IsZoomed(f.Handle()));
    f.Left->SetValue(320);
    f.Top->SetValue(240);
    f.Width->SetValue(500);
    ShowWindow(f.Handle(), SW_RESTORE);
    RECT rect = WindowRect();
    EXPECT_EQ(rect.left, 320);
    EXPECT_EQ(rect.top, 240);
    EXPECT_EQ(rect.right - rect.left, 500);
    EXPECT_EQ(rect.bottom - rect.top, 480);
}

// A plain top-level window with one child, for the menu commands.
struct TTestWindows {
    TTestWindows() {
        top = CreateWindowExA(0, "STATIC", "Test top", WS_OVERLAPPED | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                              nullptr, nullptr, nullptr);
        child = CreateWindowExA(0, "BUTTON", "Test child", WS_CHILD | WS_VISIBLE, 5, 5, 80, 20, top, nullptr,
                                nullptr, nullptr);
    }
    ~TTestWindows() {
        if (IsWindow(top)) DestroyWindow(top);
    }
    HWND top, child;
};

TEST_F(MainWindow, WellKnownWindowCommandsTrackAndStopScanning) {
    TPaneprobeForm& f = Start();
    TTestWindows windows;

    f.ScanAtMouse->SetValue(true);
    f.RunMenuCommand(cmdDesktopWindow);
    EXPECT_FALSE(f.ScanAtMouse->Value);
    ASSERT_EQ(TrackedList->Count(), 1);
    EXPECT_EQ(TrackedList->Current()->Handle, GetDesktopWindow());
    EXPECT_STREQ(TrackedList->Current()->ClassName, "#32769");

    ASSERT_TRUE(OpenClipboard(windows.top));
    EmptyClipboard();
    CloseClipboard();
    f.ScanAtMouse->SetValue(true);
    f.RunMenuCommand(cmdClipboardOwner);
    EXPECT_FALSE(f.ScanAtMouse->Value);
    EXPECT_EQ(TrackedList->Current()->Handle, windows.top);

    // Nobody owns the clipboard: scanning goes off and the list stays as it was.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    ASSERT_EQ(GetClipboardOwner(), nullptr);
    TWindowDetails* before = TrackedList->Current();
    f.ScanAtMouse->SetValue(true);
    f.RunMenuCommand(cmdClipboardOwner);
    EXPECT_FALSE(f.ScanAtMouse->Value);
    EXPECT_EQ(TrackedList->Current(), before);
    EXPECT_EQ(TrackedList->Count(), 1);

    // The viewer and the window holding the clipboard open: none here, so nothing changes but scanning.
    for (int command : {cmdClipboardViewer, cmdOpenClipboardWindow}) {
        f.ScanAtMouse->SetValue(true);
        f.RunMenuCommand(command);
        EXPECT_FALSE(f.ScanAtMouse->Value);
        EXPECT_EQ(TrackedList->Current(), before);
    }
}

TEST_F(MainWindow, ObtainParentHandle) {
    TPaneprobeForm& f = Start();
    TTestWindows windows;
    TrackWindow(windows.child, false, true);
    f.RunMenuCommand(cmdObtainParent);
    ASSERT_EQ(TrackedList->Count(), 1);
    EXPECT_EQ(TrackedList->Current()->Handle, windows.top);

    TWindowDetails* top = TrackedList->Current();
    f.RunMenuCommand(cmdObtainParent);
    EXPECT_EQ(TrackedList->Current(), top) << "a top-level window has no parent to go to";

    TrackedList->Clear();
    f.RunMenuCommand(cmdObtainParent);
    EXPECT_EQ(TrackedList->Count(), 0);
    EXPECT_EQ(f.StatusBar->PanelText(2), "n/a");
}

TEST_F(MainWindow, ScanWindowAtMouseTogglesItsCheckMark) {
    TPaneprobeForm& f = Start();
    TNvMenuItem* item = f.Menu->FindMenuItem(cmdScanAtMouse);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Caption, "Scan Window at Mouse");
    for (bool expected : {true, false, true}) {
        // As a click on the menu item delivers it.
        SendMessageA(f.Handle(), WM_COMMAND, item->CommandId, 0);
        EXPECT_EQ(f.ScanAtMouse->Value, expected);
        EXPECT_EQ(item->Checked(), expected);
    }
}

// The menus choose accelerator letters for items that have none of their own.
TEST_F(MainWindow, MenusCarryTheirCaptionsShortcutsAndAutomaticLetters) {
    TPaneprobeForm& f = Start();
    HMENU bar = GetMenu(f.Handle());
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    const char* tops[] = {"&Main", "&Windows", "&Options", "&Commands", "&Tools"};
    for (int i = 0; i < 5; ++i) {
        char text[64] = "";
        GetMenuStringA(bar, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, tops[i]);
    }
    struct Case {
        uint16_t id;
        const char* text;
    };
    for (const Case& c :
         {Case{cmdAbout, "&About...\tF1"}, Case{cmdQuit, "&Quit\tAlt+Q"},
          Case{cmdDesktopWindow, "&GetDesktopWindow()"}, Case{cmdClipboardOwner, "G&etClipboardOwner()"},
          Case{cmdClipboardViewer, "Ge&tClipboardViewer()"},
          Case{cmdOpenClipboardWindow, "Get&OpenClipboardWindow()"},
          Case{cmdObtainParent, "O&btain Parent Handle\tCtrl+P"},
          Case{cmdScanAtMouse, "&Scan Window at Mouse\tF5"},
          Case{cmdLogMessages, "&Log Messages...\tCtrl+L"}}) {
        TNvMenuItem* item = f.Menu->FindMenuItem(c.id);
        ASSERT_NE(item, nullptr);
        char text[64] = "";
        GetMenuStringA(item->ParentMenu, item->CommandId, text, sizeof text, MF_BYCOMMAND);
        EXPECT_STREQ(text, c.text);
    }
    EXPECT_EQ(f.Menu->FindMenuItem(cmdDesktopWindow)->Caption, "GetDesktopWindow()") << "the table's caption";
}

TEST_F(MainWindow, TheMainFontLeavesControlsWithAFontOfTheirOwn) {
    TPaneprobeForm& f = Start(1);
    TNvEdit& plain = f.PageControl->Page(0)->MakeChild<TNvEdit>();
    TNvEdit& own = f.PageControl->Page(0)->MakeChild<TNvEdit>();
    TFont courier(CreateFontA(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Courier New"));
    SendMessageA(own.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(courier.Get()), FALSE);
    for (const char* text : {"Arial, 14", "", "Tahoma, 9; b"}) {
        f.FontMain->SetValue(text);
        HFONT mainFont = f.Font();
        ASSERT_NE(mainFont, nullptr) << text;
        for (TNvWindow* control :
             std::vector<TNvWindow*>{&plain, f.StatusBar, f.PageControl, f.PageControl->Page(0)})
            EXPECT_EQ(control->Font(), mainFont) << text;
        EXPECT_EQ(own.Font(), courier.Get()) << text;
    }
    DestroyWindow(own.Handle());
}

TEST_F(MainWindow, WorksWithoutTabs) {
    TPaneprobeForm& f = Start(0);
    EXPECT_EQ(f.PageControl->PageCount(), 0);
    f.PageIndex->SetValue(4);
    WORD key = 'D';
    f.KeyDown(key, ssCtrl);
    f.RefreshActiveTab();
    f.FastTick();
    EXPECT_EQ(f.StatusBar->PanelText(2), "1 / 1");
}

TEST_F(MainWindow, AScanningTickTellsTheVisibleTabOnceAndTheOtherWhenShown) {
    TPaneprobeForm& f = Start(2);
    f.UpdateInterval->SetValue(60000);
    f.PageIndex->SetValue(0);
    TRecordingTab* visible = TRecordingTab::Created[0];
    TRecordingTab* hidden = TRecordingTab::Created[1];
    // The pointer rests on the form's title bar.
    const POINT title = TwoSpotsOf(f).first;
    SetForegroundWindow(f.Handle());
    ASSERT_TRUE(MovePointerTo(title));
    ASSERT_EQ(WindowFromPoint(title), f.Handle());
    TrackWindow(GetDesktopWindow(), false, true);
    f.ScanAtMouse->SetValue(true);
    for (TRecordingTab* tab : TRecordingTab::Created)
        tab->ListCounts.clear();
    f.FastTick();
    const TWindowDetails* record = TrackedList->Current();
    f.FastTick();
    EXPECT_EQ(visible->ListCounts, std::vector<int>{1}) << "no tab sees the empty moment of the replacement, "
                                                           "and a window that stayed the same is no news";
    EXPECT_EQ(TrackedList->Current(), record) << "the record of the resting window is kept";
    SetWindowTextA(f.Handle(), "Paneprobe renamed");
    f.FastTick();
    EXPECT_EQ(visible->ListCounts, (std::vector<int>{1, 1})) << "a new caption is";
    EXPECT_STREQ(TrackedList->Current()->Caption, "Paneprobe renamed");
    EXPECT_TRUE(hidden->ListCounts.empty()) << "a hidden tab does no work for a tracked change";
    // Anyone else's TrackWindow reaches the visible tab with every change, as the list makes them.
    f.ScanAtMouse->SetValue(false);
    visible->ListCounts.clear();
    TrackWindow(f.Handle(), false, true);
    EXPECT_EQ(visible->ListCounts, (std::vector<int>{0, 1}));
    EXPECT_TRUE(hidden->ListCounts.empty());
    f.PageIndex->SetValue(1);
    EXPECT_EQ(hidden->ListCounts, std::vector<int>{1}) << "shown, it catches up once, with the current list";
    f.PageIndex->SetValue(0);
    f.PageIndex->SetValue(1);
    EXPECT_EQ(hidden->ListCounts, std::vector<int>{1}) << "nothing missed: nothing to catch up";
}

TEST_F(MainWindow, PanelZeroColourShowsScanningTrackingAndVanished) {
    TPaneprobeForm& f = Start();
    f.UpdateInterval->SetValue(60000);
    TTestWindows windows;
    TrackWindow(windows.top, false, true);
    EXPECT_EQ(Panel0Pixel(), PanelTracking);
    f.ScanAtMouse->SetValue(true);
    EXPECT_EQ(Panel0Pixel(), PanelScanning);
    f.ScanAtMouse->SetValue(false);
    DestroyWindow(windows.top);
    f.FastTick(); // re-reads a record whose window has gone
    EXPECT_EQ(Panel0Pixel(), PanelVanished);
    EXPECT_EQ(f.StatusBar->PanelText(3), FormatNonZero(HandleValue(windows.top), "0x%.8x"));
    TrackedList->Clear();
    EXPECT_EQ(Panel0Pixel(), PanelVanished);
    EXPECT_EQ(f.StatusBar->PanelText(0), "n/a");
}

TEST_F(MainWindow, ParentPanelShowsPForAChild) {
    TPaneprobeForm& f = Start();
    TTestWindows windows;
    TrackWindow(windows.child, false, true);
    EXPECT_EQ(f.StatusBar->PanelText(1), "P");
    EXPECT_EQ(f.StatusBar->PanelText(0), "Button");
    // A child's rectangle is given in its parent's client coordinates.
    EXPECT_EQ(f.StatusBar->PanelText(4), "5 x 5 / 80 x 20");
    TrackWindow(windows.top, false, true);
    EXPECT_EQ(f.StatusBar->PanelText(1), "");
}

} // namespace

namespace {

// A list full of rows on the first page, and a focused edit beside it.
struct TWheelScene {
    explicit TWheelScene(TPaneprobeForm& form)
        : list(form.PageControl->Page(0)->MakeChild<TNvListView>()),
          edit(form.PageControl->Page(0)->MakeChild<TNvEdit>()) {
        list.SetBounds(0, 0, 300, 200);
        edit.SetBounds(320, 0, 100, 22);
        const TNvListColumn column = {200, TNvAlignment::Left, "Row"};
        list.AddColumns(&column, 0, 96);
        for (int i = 0; i < 100; ++i) {
            std::string text = "row " + std::to_string(i);
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = &text[0];
            ListView_InsertItem(list.Handle(), &item);
        }
        SetForegroundWindow(form.Handle());
        SetFocus(edit.Handle());
    }
    // A wheel turn as the system delivers it: to the focused window, with the pointer's screen position.
    void Turn(HWND over, int x, int y, int delta) {
        POINT point = {x, y};
        ClientToScreen(over, &point);
        PostMessageA(GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(point.x, point.y));
        PumpMessages();
    }
    TNvListView& list;
    TNvEdit& edit;
};

} // namespace

TEST_F(MainWindow, TheWheelScrollsTheListUnderThePointerNotTheFocusedControl) {
    TPaneprobeForm& f = Start(1);
    TWheelScene scene(f);
    ASSERT_EQ(GetFocus(), scene.edit.Handle());
    ASSERT_EQ(ListView_GetTopIndex(scene.list.Handle()), 0);
    scene.Turn(scene.list.Handle(), 100, 100, -WHEEL_DELTA);
    EXPECT_GT(ListView_GetTopIndex(scene.list.Handle()), 0);
    EXPECT_EQ(GetFocus(), scene.edit.Handle());
}

TEST_F(MainWindow, TheWheelOverTheTabRowScrollsTheTabsWhenTheyDoNotFit) {
    TPaneprobeForm& f = Start(9);
    for (int i = 0; i < 9; ++i)
        f.PageControl->Page(i)->SetCaption("A rather long caption " + std::to_string(i));
    SetWindowPos(f.Handle(), nullptr, 0, 0, 500, 300, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    HWND scroller = f.PageControl->Scroller();
    ASSERT_NE(scroller, nullptr) << "nine long captions do not fit in 500 pixels";
    RECT tab = {};
    TabCtrl_GetItemRect(f.PageControl->Handle(), 0, &tab);
    TWheelScene scene(f);
    struct Case {
        int delta;
        int position;
    };
    // Down scrolls right; a turn never goes beyond the first tab.
    for (const Case& c : {Case{-2 * WHEEL_DELTA, 2}, Case{WHEEL_DELTA, 1}, Case{3 * WHEEL_DELTA, 0}}) {
        scene.Turn(f.PageControl->Handle(), tab.left + 5, (tab.top + tab.bottom) / 2, c.delta);
        EXPECT_EQ(static_cast<int>(SendMessageA(scroller, UDM_GETPOS32, 0, 0)), c.position) << c.delta;
    }
}
