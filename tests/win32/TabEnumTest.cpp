// The Enum tab inside a real main window, on windows of the target program and of this process.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "Watchdog.h"
#include "WorkerWait.h"
#include "app/WinApiEx.h"
#include "tabs/TabEnum.h"

#include <algorithm>
#include <set>

namespace {

std::string Hex8(HWND handle) {
    return FormatText("0x%.8x", HandleValue(handle));
}

int RowOfHandle(TNvActionListView& list, HWND handle) {
    for (int row = 0; row < list.RowCount(); ++row)
        if (list.CellText(row, 1) == Hex8(handle)) return row;
    return -1;
}

int RowImage(TNvActionListView& list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    ListView_GetItem(list.Handle(), &item);
    return item.iImage;
}

void SelectRows(TNvActionListView& list, const std::vector<int>& rows) {
    ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (int row : rows)
        ListView_SetItemState(list.Handle(), row, LVIS_SELECTED, LVIS_SELECTED);
}

// Pumps until the tab's handle scan has been shown, for at most a minute.
bool WaitForScan(TEnumTab& tab) {
    for (DWORD started = GetTickCount(); tab.Scanning() && GetTickCount() - started < 60000;)
        PumpMessages(20);
    return !tab.Scanning();
}

class EnumTab : public FormTest {
  protected:
    TTargetProcess target{"enum"};
    HWND tree = nullptr, hidden = nullptr, lines = nullptr;

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        tree = FindWindowA("PaneprobeTargetTree", "Paneprobe Target enum tree");
        hidden = FindWindowA("PaneprobeTargetHidden", "Paneprobe Target enum hidden");
        lines = FindWindowA("PaneprobeTargetLines", nullptr);
        ASSERT_NE(tree, nullptr);
        ASSERT_NE(hidden, nullptr);
        ASSERT_NE(lines, nullptr);
    }
    TEnumTab& Enum() { return Tab<TEnumTab>(); }
    TNvActionListView& List() { return *Enum().ListView; }
    // Waits for the worker's result, except for the full handle scan, which the tests follow themselves.
    void Run(int mode, const std::string& text = "") {
        Start(mode, text);
        if (mode != emAllHandles) Delivered();
    }
    void Start(int mode, const std::string& text = "") {
        Enum().SetMode(mode);
        Enum().SetFindText(text);
        Enum().Enumerate();
    }
    void Delivered() {
        ASSERT_TRUE(WaitForWorker([this] { return Enum().Gathering(); }));
    }
};

TEST_F(EnumTab, TopLevelWindowsAreListedAtStartWithTheirCells) {
    TEnumTab& tab = Enum();
    TNvActionListView& list = List();
    EXPECT_EQ(tab.Mode(), emTopLevel);
    Run(emTopLevel);
    EXPECT_EQ(tab.Caption, FormatText("Enum (%d)", list.RowCount()));
    EXPECT_EQ(tab.Windows.Count(), list.RowCount());
    int row = RowOfHandle(list, target.MainWindow());
    ASSERT_GE(row, 0);
    EXPECT_EQ(list.CellText(row, 0), "PaneprobeTargetMain");
    EXPECT_EQ(list.CellText(row, 2), "Paneprobe Target enum");
    EXPECT_EQ(list.CellText(row, 3), "") << "a top-level window has no parent";
    EXPECT_EQ(list.CellText(row, 4), std::to_string(target.ProcessId()));
    EXPECT_EQ(list.CellText(row, 5), std::to_string(GetWindowThreadProcessId(target.MainWindow(), nullptr)));
    EXPECT_EQ(list.CellText(row, 6),
              FormatText("0x%.8x", static_cast<uint32_t>(GetWindowLongA(target.MainWindow(), GWL_STYLE))));
    EXPECT_EQ(RowImage(list, row), 2);
    int linesRow = RowOfHandle(list, lines);
    ASSERT_GE(linesRow, 0);
    EXPECT_EQ(list.CellText(linesRow, 2), "Paneprobe Target enumsecond line") << "line breaks removed";
    int hiddenRow = RowOfHandle(list, hidden);
    ASSERT_GE(hiddenRow, 0);
    EXPECT_EQ(RowImage(list, hiddenRow), 9);
    // Rows start sorted by class name, ASCII letters folded.
    for (int r = 1; r < list.RowCount(); ++r)
        EXPECT_LE(CompareFoldedText(list.CellText(r - 1, 0), list.CellText(r, 0)), 0) << r;
}

TEST_F(EnumTab, ModesThatNeedATrackedWindowGiveNothingWithoutOne) {
    for (int mode : {emCurrentChildren, emParentChildren, emThreadWindows}) {
        TrackedList->Clear();
        Run(mode);
        EXPECT_EQ(List().RowCount(), 0) << mode;
        EXPECT_EQ(Enum().Caption, "Enum (0)") << mode;
    }
    // A tracked window that is gone.
    HWND gone =
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, form->Handle(), nullptr, nullptr, nullptr);
    TrackWindow(gone, false, true);
    DestroyWindow(gone);
    Run(emCurrentChildren);
    EXPECT_EQ(List().RowCount(), 0);
}

TEST_F(EnumTab, ChildParentAndThreadModesFollowTheTrackedRecord) {
    HWND a = GetDlgItem(tree, 2), c = GetDlgItem(a, 3);
    ASSERT_NE(c, nullptr);
    TrackWindow(tree, false, true);
    Run(emCurrentChildren);
    EXPECT_EQ(List().RowCount(), 5) << "every descendant, not only the children";
    TrackWindow(c, false, true);
    Run(emParentChildren);
    EXPECT_EQ(List().RowCount(), 3) << "the descendants of A";
    EXPECT_GE(RowOfHandle(List(), c), 0);
    Run(emThreadWindows);
    std::set<HWND> listed;
    for (int row = 0; row < List().RowCount(); ++row)
        listed.insert(Enum().Windows.Get(static_cast<int>(List().RowData(row)))->Handle);
    for (HWND window : {target.MainWindow(), target.Probe(), tree, hidden, lines})
        EXPECT_EQ(listed.count(window), 1u) << Hex8(window);
    TrackWindow(target.MainWindow(), false, true);
    Run(emDesktopChildren);
    EXPECT_GE(RowOfHandle(List(), target.Child(TTargetProcess::KeeperId)), 0)
        << "children of the desktop, deep";
}

TEST_F(EnumTab, FilterKeepsWindowsWhoseClassOrCaptionHoldsItIgnoringCase) {
    struct Case {
        const char* filter;
        HWND expected;
        int rows;
    };
    const Case cases[] = {
        {"paneprobetargethidden", hidden, 1}, // lower case finds the class in capitals
        {"ENUMSECOND", nullptr, 0},           // the raw caption has its line break
        {"enum\r\nsecond", lines, 1},         // the caption as the window holds it
        {"no window has this text", nullptr, 0},
    };
    for (const Case& c : cases) {
        Run(emTopLevel, c.filter);
        EXPECT_EQ(List().RowCount(), c.rows) << c.filter;
        if (c.expected) {
            EXPECT_GE(RowOfHandle(List(), c.expected), 0) << c.filter;
        }
    }
}

TEST_F(EnumTab, FindByHandleClassOrTitleIgnoresTheFilters) {
    form->TabManager->FindTab(TabClassOf<TEnumTab>());
    Enum().VisibleOnly->SetValue(true);
    uint32_t value = HandleValue(hidden);
    for (const std::string& text :
         {FormatText("0x%x", value), FormatText("$%x", value), FormatText("%d", value),
          std::string("PaneprobeTargetHidden"), std::string("Paneprobe Target enum hidden")}) {
        Run(emFind, text);
        ASSERT_EQ(List().RowCount(), 1) << text;
        EXPECT_EQ(List().CellText(0, 1), Hex8(hidden)) << text;
    }
    // A text that is both the class and the title of a window lists it twice.
    WNDCLASSA twinClass = {};
    twinClass.lpfnWndProc = DefWindowProcA;
    twinClass.lpszClassName = "PaneprobeSameName";
    RegisterClassA(&twinClass);
    HWND same = CreateWindowExA(0, "PaneprobeSameName", "PaneprobeSameName", WS_POPUP, 0, 0, 5, 5, nullptr,
                                nullptr, nullptr, nullptr);
    Run(emFind, "PaneprobeSameName");
    EXPECT_EQ(List().RowCount(), 2);
    DestroyWindow(same);
    // Texts that name nothing: no number, no window, no crash.
    for (const std::string& text :
         {std::string("12abc"), std::string("0x"), std::string("$"), std::string("-"),
          std::string(32000, 'w'), std::string("Paneprobe\r\nTarget"), std::string()}) {
        Run(emFind, text);
        EXPECT_EQ(List().RowCount(), 0) << text.substr(0, 16);
        EXPECT_EQ(Enum().Caption, "Enum (0)");
    }
    Enum().VisibleOnly->SetValue(false);
}

TEST_F(EnumTab, CtrlSInTheListTogglesVisibleOnlyWhichIsStored) {
    Run(emTopLevel);
    TNvMenuItem* item = List().PopupMenu->FindMenuItem(cmdEnumVisibleOnly);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->Checked());
    ASSERT_GE(RowOfHandle(List(), hidden), 0);
    SetFocus(List().Handle());
    // A regression that lets the main menu's Ctrl+S win opens "Move/Size Window": answer it, then fail.
    TDialogAnswerer answerer({{"Move/Size Window", TAnswer::Escape, "", nullptr}}, 1500);
    PressKey(List().Handle(), 'S', ssCtrl);
    EXPECT_TRUE(answerer.Seen().empty()) << "Ctrl+S reached the main menu";
    EXPECT_TRUE(Enum().VisibleOnly->Value);
    EXPECT_TRUE(item->Checked());
    Delivered();
    EXPECT_EQ(RowOfHandle(List(), hidden), -1) << "enumerated again without the hidden window";
    form.reset();
    std::vector<std::string> keys = SettingsKeys();
    EXPECT_NE(std::find(keys.begin(), keys.end(), "tabs.enum.show_visible_only"), keys.end());
}

TEST_F(EnumTab, PopupKeysSelectAllMonitorAndClearTheFilter) {
    Run(emTopLevel, "PaneprobeTarget");
    TNvActionListView& list = List();
    ASSERT_GE(list.RowCount(), 5);
    SetFocus(list.Handle());
    PressKey(list.Handle(), 'A', ssCtrl);
    EXPECT_EQ(ListView_GetSelectedCount(list.Handle()), static_cast<UINT>(list.RowCount()));
    SelectRows(list, {0, 1, 2});
    PressKey(list.Handle(), VK_RETURN, ssNone);
    ASSERT_EQ(TrackedList->Count(), 3);
    EXPECT_EQ(TrackedList->ItemIndex(), 0);
    EXPECT_EQ(TrackedList->Current()->Handle, Enum().Windows.Get(static_cast<int>(list.RowData(0)))->Handle);
    EXPECT_FALSE(form->ScanAtMouse->Value);
    // With Shift the selected windows join those already tracked; the current one stays.
    TrackedList->SetItemIndex(1);
    HWND current = TrackedList->Current()->Handle;
    SelectRows(list, {3, 4});
    HoldKeys({VK_SHIFT});
    Enum().RunPopupCommand(cmdEnumMonitor);
    HoldKeys({});
    EXPECT_EQ(TrackedList->Count(), 5);
    EXPECT_EQ(TrackedList->Current()->Handle, current);

    PressKey(list.Handle(), VK_ESCAPE, ssNone);
    EXPECT_EQ(Enum().FindText(), "");
    Delivered();
    EXPECT_GT(list.RowCount(), 5) << "enumerated again without the filter";
}

TEST_F(EnumTab, DoubleClickTracksTheRowsWindow) {
    Run(emTopLevel, "PaneprobeTargetTree");
    TNvActionListView& list = List();
    ASSERT_EQ(list.RowCount(), 1);
    form->ScanAtMouse->SetValue(true);
    list.SelectRow(0);
    RECT place = {};
    ListView_GetItemRect(list.Handle(), 0, &place, LVIR_LABEL);
    LPARAM point = MAKELPARAM(place.left + 4, (place.top + place.bottom) / 2);
    SendMessageA(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(list.Handle(), WM_LBUTTONUP, 0, point);
    SendMessageA(list.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    SendMessageA(list.Handle(), WM_LBUTTONUP, 0, point);
    ASSERT_EQ(TrackedList->Count(), 1);
    EXPECT_EQ(TrackedList->Current()->Handle, tree);
    EXPECT_FALSE(form->ScanAtMouse->Value);
}

TEST_F(EnumTab, ColumnClicksSortAndMarkTheColumn) {
    Run(emTopLevel, "PaneprobeTarget");
    TNvActionListView& list = List();
    ASSERT_GE(list.RowCount(), 4);
    EXPECT_EQ(list.HeaderFormat(0), HDF_SORTUP);
    auto handleAt = [&list](int row) { return std::stoul(list.CellText(row, 1), nullptr, 16); };
    list.ClickColumn(ecHandle);
    EXPECT_EQ(list.HeaderFormat(ecHandle), HDF_SORTUP);
    EXPECT_EQ(list.HeaderFormat(0), 0);
    for (int row = 1; row < list.RowCount(); ++row)
        EXPECT_LT(handleAt(row - 1), handleAt(row));
    list.ClickColumn(ecHandle);
    EXPECT_EQ(list.HeaderFormat(ecHandle), HDF_SORTDOWN);
    for (int row = 1; row < list.RowCount(); ++row)
        EXPECT_GT(handleAt(row - 1), handleAt(row));
    // A new enumeration keeps the chosen order, also one whose worker put its rows in the order before.
    Enum().Enumerate();
    Delivered();
    for (int row = 1; row < list.RowCount(); ++row)
        EXPECT_GT(handleAt(row - 1), handleAt(row));
    Enum().Enumerate();
    list.ClickColumn(ecHandle);
    EXPECT_TRUE(Enum().Gatherer.Running());
    Delivered();
    EXPECT_EQ(list.HeaderFormat(ecHandle), HDF_SORTUP);
    for (int row = 1; row < list.RowCount(); ++row)
        EXPECT_LT(handleAt(row - 1), handleAt(row));
    list.ClickColumn(ecPid); // many equal values: still a complete sort
    for (int row = 1; row < list.RowCount(); ++row)
        EXPECT_LE(std::stoul(list.CellText(row - 1, 4)), std::stoul(list.CellText(row, 4)));
}

TEST_F(EnumTab, ChoosingTheLastModeScansEveryHandleAtOnce) {
    TEnumTab& tab = Enum();
    int last = static_cast<int>(SendMessageA(tab.ModeBox->Handle(), CB_GETCOUNT, 0, 0)) - 1;
    ASSERT_EQ(last, emAllHandles);
    char caption[64] = "";
    SendMessageA(tab.ModeBox->Handle(), CB_GETLBTEXT, static_cast<WPARAM>(last),
                 reinterpret_cast<LPARAM>(caption));
    EXPECT_STREQ(caption, "Handles <= 0xFFFFFFF");
    SendMessageA(tab.ModeBox->Handle(), CB_SETCURSEL, static_cast<WPARAM>(last), 0);
    const int rowsBefore = List().RowCount();
    SendMessageA(tab.Panels.TopPanel.Handle(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(tab.ModeBox->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(tab.ModeBox->Handle()));
    // The scan runs on its own thread: the window goes on answering, the list shows the last enumeration.
    EXPECT_TRUE(tab.Scanning());
    EXPECT_EQ(List().RowCount(), rowsBefore);
    ASSERT_TRUE(WaitForScan(tab)) << "the scan did not end within a minute";
    EXPECT_TRUE(tab.LastScan.Fast);
    EXPECT_FALSE(tab.LastScan.Cancelled);
    EXPECT_LE(tab.LastScan.Probes, 70000u);
    EXPECT_EQ(tab.Caption, FormatText("Enum (%d)", List().RowCount()));
    EXPECT_GE(RowOfHandle(List(), target.MainWindow()), 0) << "the full handle";
    HWND slot = reinterpret_cast<HWND>(static_cast<uintptr_t>(HandleValue(target.MainWindow()) & 0xFFFF));
    EXPECT_GE(RowOfHandle(List(), slot), 0) << "the same window by its slot alone";
    EXPECT_GE(RowOfHandle(List(), form->Handle()), 0);
}

// A scan whose mode is left before it ends is dropped, and a tab that goes away during a scan ends it.
TEST_F(EnumTab, AScanLeftBeforeItEndsChangesNothing) {
    TEnumTab& tab = Enum();
    Run(emAllHandles);
    EXPECT_TRUE(tab.Scanning());
    Run(emFind, "PaneprobeTargetTree");
    EXPECT_FALSE(tab.Scanning()) << "the other mode's enumeration cancels the scan";
    PumpMessages(200);
    ASSERT_EQ(List().RowCount(), 1) << "the find result stays";
    EXPECT_EQ(List().CellText(0, 1), Hex8(tree));
    // A stray word that a scan has finished, when none has, changes nothing either.
    SendMessageA(tab.Panels.Body->Handle(), WM_APP + 2, 0, 0);
    EXPECT_EQ(List().RowCount(), 1);
    // The whole window goes while a scan runs: no wait for it, and nothing arrives afterwards.
    Run(emAllHandles);
    EXPECT_TRUE(tab.Scanning());
    form.reset();
    PumpMessages(200);
}

// The first three modes gather on a worker: a newer request drops the older result, and a window that goes
// away while one runs neither waits for it nor hears of it.
TEST_F(EnumTab, AGatheringOvertakenOrOrphanedChangesNothing) {
    TEnumTab& tab = Enum();
    Start(emTopLevel);
    EXPECT_TRUE(tab.Gathering());
    Run(emFind, "PaneprobeTargetTree");
    EXPECT_FALSE(tab.Gathering()) << "the other mode's enumeration drops the gathering";
    PumpMessages(300);
    ASSERT_EQ(List().RowCount(), 1) << "the find result stays";
    EXPECT_EQ(List().CellText(0, 1), Hex8(tree));
    // A stale word, for a request that was overtaken, is dropped too.
    Start(emDesktopChildren);
    const WPARAM stale = tab.Gatherer.Serial() - 1;
    SendMessageA(tab.Panels.Body->Handle(), WM_APP + 3, stale, 0);
    EXPECT_TRUE(tab.Gathering());
    EXPECT_EQ(List().RowCount(), 1);
    Delivered();
    EXPECT_GE(RowOfHandle(List(), target.MainWindow()), 0);
    EXPECT_GT(List().RowCount(), 1);
    Start(emDesktopChildren);
    form.reset();
    PumpMessages(300);
}

TEST_F(EnumTab, EnterInTheFindBoxEnumerates) {
    TEnumTab& tab = Enum();
    tab.SetMode(emFind);
    tab.SetFindText("PaneprobeTargetTree");
    SendMessageA(tab.FindBox->EditHandle(), WM_KEYDOWN, VK_RETURN, 0);
    Delivered(); // a slow list may take more than one share to empty
    ASSERT_EQ(List().RowCount(), 1);
    EXPECT_EQ(List().CellText(0, 1), Hex8(tree));
    // The fixed entries stay three: typed texts are not added.
    EXPECT_EQ(SendMessageA(tab.FindBox->Handle(), CB_GETCOUNT, 0, 0), 3);
}

TEST_F(EnumTab, AHungProgramCostsTheTextTimeOutOncePerEnumeration) {
    TTargetProcess hung("enumhung", true);
    ASSERT_NE(hung.MainWindow(), nullptr);
    TrackWindow(hung.MainWindow(), false, true);
    hung.Hang();
    Sleep(100);
    const int rowsBefore = List().RowCount();
    {
        // A request that waited for the hung program for ever would end only when it is gone.
        TWatchdog watchdog(10000, [hungId = hung.ProcessId()] { EndProcessById(hungId); });
        Start(emCurrentChildren);
        // The captions are asked on the worker: the window goes on answering, showing the last result.
        EXPECT_TRUE(Enum().Gathering());
        EXPECT_EQ(List().RowCount(), rowsBefore);
        Delivered();
        ASSERT_FALSE(watchdog.Fired()) << "the enumeration waited for the hung program";
    }
    // Both controls with empty titles stay listed; the second is not asked once the first went unanswered.
    EXPECT_EQ(List().RowCount(), 3);
    int keeper = RowOfHandle(List(), hung.Child(TTargetProcess::KeeperId));
    ASSERT_GE(keeper, 0);
    EXPECT_EQ(List().CellText(keeper, 2), "");
}

} // namespace
