// The Processes tab inside a real main window, with target processes that the tests start and end.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "Watchdog.h"
#include "WorkerWait.h"
#include "app/WinApiEx.h"
#include "processes/ProcessRows.h"
#include "processes/TabProcesses.h"

#include <atomic>
#include <memory>
#include <set>
#include <thread>

namespace {

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

bool IsRunning(DWORD processId) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return false;
    bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

// Moves every window of a target out of the way, so that the list's pixels can be read on the screen.
void MoveAside(TTargetProcess& target) {
    for (HWND window : {target.MainWindow(), target.Probe(), target.Dialog()})
        if (window) SetWindowPos(window, HWND_BOTTOM, 1100, 900, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

class ProcessesTab : public FormTest {
  protected:
    TProcessesTab& ProcTab() { return Tab<TProcessesTab>(); }
    TProcessListView& List() { return *ProcTab().ListView; }

    void ShowTab() {
        form->PageIndex->SetValue(ProcTab().Sheet->PageIndex());
        PumpMessages(20);
        Delivered();
    }
    // Waits for the reload that the worker gathers.
    void Delivered() {
        ASSERT_TRUE(WaitForWorker([this] { return ProcTab().Gathering(); }));
    }
    void Reload() {
        ProcTab().ReloadProcesses();
        Delivered();
    }
    // A reload of which only the worker's result is handled, not what it posts or invalidates in turn.
    bool ReloadHandlingOnlyTheResult() {
        ProcTab().ReloadProcesses();
        MSG message = {};
        for (DWORD started = GetTickCount(); GetTickCount() - started < 30000; Sleep(5))
            if (PeekMessageA(&message, List().Handle(), WM_APP + 7, WM_APP + 7, PM_REMOVE)) {
                DispatchMessageA(&message); // an older request's word is dropped by the tab
                if (message.wParam == ProcTab().Gatherer.Serial()) return true;
            }
        return false;
    }
    int RowOf(DWORD processId) {
        const auto& rows = ProcTab().Rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].ProcessId == processId) return static_cast<int>(i);
        return -1;
    }
    // The colour at a point of a cell, as the list has drawn it on the screen.
    COLORREF PixelOf(int row, int column, int dx, int dy) {
        ListView_EnsureVisible(List().Handle(), row, FALSE);
        RedrawWindow(List().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT cell = {};
        ListView_GetSubItemRect(List().Handle(), row, column, LVIR_BOUNDS, &cell);
        TWindowDc dc(List().Handle());
        return GetPixel(dc.Get(), cell.left + dx, cell.top + dy);
    }
    // Whether any pixel of a cell is clearly red (the text of a root's P-PID and Parent).
    bool HasRedText(int row, int column) {
        ListView_EnsureVisible(List().Handle(), row, FALSE);
        RedrawWindow(List().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT cell = {};
        ListView_GetSubItemRect(List().Handle(), row, column, LVIR_BOUNDS, &cell);
        TWindowDc dc(List().Handle());
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x) {
                COLORREF c = GetPixel(dc.Get(), x, y);
                if (c != CLR_INVALID && GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90)
                    return true;
            }
        return false;
    }
    void SetUp() override {
        FormTest::SetUp();
        SetWindowPos(form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
};

TEST_F(ProcessesTab, ListsEveryProcessWithItsColumns) {
    TTargetProcess target("proclist");
    ASSERT_NE(target.MainWindow(), nullptr);
    EXPECT_EQ(List().RowCount(), 0) << "empty until the tab is first shown";
    ShowTab();
    EXPECT_EQ(form->TabInterval->Value, 1500);
    TProcessesTab& tab = ProcTab();
    ASSERT_GT(List().RowCount(), 2);
    EXPECT_EQ(tab.Caption, FormatText("Processes (%d)", List().RowCount()));
    EXPECT_EQ(List().ColumnCount(), 10);
    EXPECT_FALSE(List().ColumnClick()) << "columns do not sort";
    for (int column = 0; column < 10; ++column)
        EXPECT_EQ(List().HeaderFormat(column), 0) << "no sort mark";

    int row = RowOf(target.ProcessId());
    ASSERT_GE(row, 0);
    int own = RowOf(GetCurrentProcessId());
    ASSERT_GE(own, 0);
    EXPECT_EQ(List().CellText(row, 0), "PaneprobeTarget.exe");
    EXPECT_EQ(List().CellText(row, 1), std::to_string(target.ProcessId()));
    EXPECT_EQ(List().CellText(row, 2), std::to_string(GetCurrentProcessId()));
    EXPECT_EQ(List().CellText(row, 3), "paneprobe_win_tests.exe");
    EXPECT_NE(List().CellText(row, 4), "") << "its age";
    EXPECT_NE(List().CellText(row, 5), "");
    EXPECT_EQ(List().CellText(row, 7), FormatText("0x%x", HandleValue(target.MainWindow())));
    EXPECT_EQ(List().CellText(row, 8), "Paneprobe Target proclist");
    EXPECT_EQ(List().CellText(row, 9), TestProgramFolder() + "PaneprobeTarget.exe");
    EXPECT_EQ(tab.Rows()[static_cast<size_t>(row)].Depth, tab.Rows()[static_cast<size_t>(own)].Depth + 1);
    EXPECT_GT(row, own) << "under its parent";
}

TEST_F(ProcessesTab, ANewProcessIsPaleGreenForEightSeconds) {
    TTargetProcess target("procyoung");
    ASSERT_NE(target.MainWindow(), nullptr);
    MoveAside(target);
    ShowTab();
    int row = RowOf(target.ProcessId());
    ASSERT_GE(row, 0);
    List().SelectRow(-1);
    ASSERT_LT(ProcTab().Rows()[static_cast<size_t>(row)].Age, YoungProcessMs);
    EXPECT_EQ(PixelOf(row, 1, 1, 1), YoungCellColour);
    EXPECT_EQ(PixelOf(row, 2, 1, 1), YoungCellColour);
    int own = RowOf(GetCurrentProcessId());
    ASSERT_GE(own, 0);
    if (ProcTab().Rows()[static_cast<size_t>(own)].Age >= YoungProcessMs) {
        EXPECT_EQ(PixelOf(own, 1, 1, 1), OddCellColour) << "odd columns light grey";
        EXPECT_EQ(PixelOf(own, 2, 1, 1), ListView_GetBkColor(List().Handle())) << "even columns plain";
    }
    // Watchdog: at most 15 s for the process to pass eight seconds.
    DWORD start = GetTickCount();
    while (ProcTab().Rows()[static_cast<size_t>(RowOf(target.ProcessId()))].Age < YoungProcessMs &&
           GetTickCount() - start < 15000) {
        PumpMessages(500);
        Reload();
        ASSERT_GE(RowOf(target.ProcessId()), 0);
    }
    row = RowOf(target.ProcessId());
    ASSERT_GE(ProcTab().Rows()[static_cast<size_t>(row)].Age, YoungProcessMs);
    List().SelectRow(-1);
    EXPECT_EQ(PixelOf(row, 1, 1, 1), OddCellColour);
    EXPECT_EQ(PixelOf(row, 2, 1, 1), ListView_GetBkColor(List().Handle()));
}

TEST_F(ProcessesTab, RootsShowTheirParentColumnsInRed) {
    TTargetProcess target("procred");
    ASSERT_NE(target.MainWindow(), nullptr);
    MoveAside(target);
    ShowTab();
    List().SelectRow(-1);
    const auto& rows = ProcTab().Rows();
    int root = -1;
    for (size_t i = 0; i < rows.size() && root < 0; ++i)
        if (rows[i].Root) root = static_cast<int>(i);
    ASSERT_GE(root, 0);
    int child = RowOf(target.ProcessId());
    ASSERT_GE(child, 0);
    ASSERT_FALSE(rows[static_cast<size_t>(child)].Root);
    EXPECT_TRUE(HasRedText(root, 2));
    EXPECT_FALSE(HasRedText(child, 2));
    EXPECT_FALSE(HasRedText(child, 3));
    EXPECT_FALSE(HasRedText(root, 1)) << "only P-PID and Parent";
}

TEST_F(ProcessesTab, AChildProcessIsIndentedUnderItsParent) {
    TTargetProcess parent("prockin spawn");
    ASSERT_NE(parent.MainWindow(), nullptr);
    HWND childWindow = nullptr;
    for (int attempt = 0; attempt < 200 && !childWindow; ++attempt) {
        childWindow = FindWindowA("PaneprobeTargetMain", "Paneprobe Target prockin-child");
        if (!childWindow) Sleep(25);
    }
    ASSERT_NE(childWindow, nullptr) << "the child did not start";
    DWORD childId = ProcessOf(childWindow);
    ShowTab();
    int parentRow = RowOf(parent.ProcessId()), childRow = RowOf(childId);
    EndProcessById(childId);
    ASSERT_GE(parentRow, 0);
    ASSERT_GE(childRow, 0);
    const auto& rows = ProcTab().Rows();
    EXPECT_EQ(childRow, parentRow + 1);
    EXPECT_EQ(rows[static_cast<size_t>(childRow)].Depth, rows[static_cast<size_t>(parentRow)].Depth + 1);
    EXPECT_EQ(List().CellText(childRow, 3), "PaneprobeTarget.exe");
}

TEST_F(ProcessesTab, SelectionFollowsItsProcessAndScrollStays) {
    TTargetProcess first("procfirst");
    ASSERT_NE(first.MainWindow(), nullptr);
    ShowTab();
    int row = RowOf(first.ProcessId());
    ASSERT_GE(row, 0);
    List().SelectRow(row);
    // A later child of the same parent is listed ahead of it, so the selected row moves down.
    TTargetProcess second("procsecond");
    ASSERT_NE(second.MainWindow(), nullptr);
    Reload();
    int moved = RowOf(first.ProcessId());
    EXPECT_EQ(moved, row + 1);
    EXPECT_EQ(List().SelectedIndex(), moved);
    EXPECT_EQ(List().FocusedIndex(), moved);

    // A short list scrolled down keeps its top row across reloads.
    form->Maxed->SetValue(false);
    form->Height->SetValue(220);
    PumpMessages(20);
    ListView_Scroll(List().Handle(), 0, 3 * List().ItemHeight);
    int top = ListView_GetTopIndex(List().Handle());
    ASSERT_GT(top, 0) << "the list must be able to scroll for this check";
    Reload();
    EXPECT_EQ(ListView_GetTopIndex(List().Handle()), top);
}

TEST_F(ProcessesTab, EnterAndDoubleClickTrackTheProcessWindow) {
    TTargetProcess target("proctrack");
    ASSERT_NE(target.MainWindow(), nullptr);
    ShowTab();
    int row = RowOf(target.ProcessId());
    ASSERT_GE(row, 0);
    List().SelectRow(row);
    form->ScanAtMouse->SetValue(true);
    HoldKeys({VK_SHIFT});
    SendMessageA(List().Handle(), WM_KEYDOWN, VK_RETURN, 0);
    HoldKeys({});
    EXPECT_NE(TrackedList->Current()->Handle, target.MainWindow()) << "not with Shift";
    SendMessageA(List().Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(TrackedList->Current()->Handle, target.MainWindow());
    EXPECT_FALSE(form->ScanAtMouse->Value) << "tracking stops following the mouse";

    TrackWindow(form->Handle(), false, true);
    NMHDR click = {List().Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(List().Handle())), NM_DBLCLK};
    SendMessageA(GetParent(List().Handle()), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(TrackedList->Current()->Handle, target.MainWindow());

    // A process without a window tracks nothing.
    int windowless = -1;
    for (size_t i = 0; i < ProcTab().Rows().size() && windowless < 0; ++i)
        if (!ProcTab().Rows()[i].Window) windowless = static_cast<int>(i);
    if (windowless >= 0) {
        List().SelectRow(windowless);
        SendMessageA(List().Handle(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(TrackedList->Current()->Handle, target.MainWindow());
    }
}

TEST_F(ProcessesTab, DeleteAnsweredOkEndsTheProcess) {
    TTargetProcess older("procolder");
    TTargetProcess doomed("procdoomed");
    ASSERT_NE(doomed.MainWindow(), nullptr);
    ShowTab();
    int row = RowOf(doomed.ProcessId());
    ASSERT_GE(row, 0);
    List().SelectRow(row);
    TDialogAnswerer answerer({{"Paneprobe", TAnswer::Ok, "", nullptr}});
    SendMessageA(List().Handle(), WM_KEYDOWN, VK_DELETE, 0);
    Delivered();
    const auto& seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Prompt,
              "Are you certain you wish to terminate the process?\r\n\r\n\"PaneprobeTarget.exe\"");
    EXPECT_FALSE(IsRunning(doomed.ProcessId()));
    EXPECT_EQ(RowOf(doomed.ProcessId()), -1) << "the row went with the process";
    EXPECT_EQ(List().SelectedIndex(), row) << "the row at the same position";
    EXPECT_TRUE(IsRunning(older.ProcessId()));
}

TEST_F(ProcessesTab, DeleteAnsweredCancelEndsNothing) {
    TTargetProcess target("prockept");
    ASSERT_NE(target.MainWindow(), nullptr);
    ShowTab();
    form->TabInterval->SetValue(60000); // no reload while the question is open
    int row = RowOf(target.ProcessId());
    ASSERT_GE(row, 0);
    List().SelectRow(row);
    std::vector<std::string> before;
    for (int i = 0; i < List().RowCount(); ++i)
        before.push_back(List().CellText(i, 1));
    TDialogAnswerer answerer({{"Paneprobe", TAnswer::Escape, "", nullptr}});
    SendMessageA(List().Handle(), WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_TRUE(IsRunning(target.ProcessId()));
    std::vector<std::string> after;
    for (int i = 0; i < List().RowCount(); ++i)
        after.push_back(List().CellText(i, 1));
    EXPECT_EQ(after, before);
    EXPECT_EQ(List().SelectedIndex(), row);
}

TEST_F(ProcessesTab, ControlRReloadsButNotWithShiftOrAlt) {
    ShowTab();
    form->TabInterval->SetValue(60000);
    TTargetProcess target("procreload");
    ASSERT_NE(target.MainWindow(), nullptr);
    ASSERT_EQ(RowOf(target.ProcessId()), -1);
    HoldKeys({VK_CONTROL, VK_SHIFT});
    SendMessageA(List().Handle(), WM_KEYDOWN, 'R', 0);
    HoldKeys({VK_CONTROL, VK_MENU});
    SendMessageA(List().Handle(), WM_KEYDOWN, 'R', 0);
    HoldKeys({});
    Delivered();
    EXPECT_EQ(RowOf(target.ProcessId()), -1);
    HoldKeys({VK_CONTROL});
    SendMessageA(List().Handle(), WM_KEYDOWN, 'R', 0);
    HoldKeys({});
    Delivered();
    EXPECT_GE(RowOf(target.ProcessId()), 0);
}

// As the keyboard delivers it, through the main window's key routing: the focused list's own Ctrl+R
// comes before the "&Commands" menu's.
TEST_F(ProcessesTab, ControlRInTheFocusedListReloadsBeforeTheMenuShortcut) {
    ShowTab();
    form->TabInterval->SetValue(60000);
    SetFocus(List().Handle());
    TTargetProcess target("prockey");
    ASSERT_NE(target.MainWindow(), nullptr);
    ASSERT_EQ(RowOf(target.ProcessId()), -1);
    PressKey(List().Handle(), 'R', ssCtrl);
    Delivered();
    EXPECT_GE(RowOf(target.ProcessId()), 0);
}

TEST_F(ProcessesTab, IconsAreKeptPerPathAndDroppedWithTheirProcesses) {
    ShowTab();
    TProcessesTab& tab = ProcTab();
    auto distinctIcons = [&tab] {
        std::set<int> icons;
        for (const auto& row : tab.Rows()) {
            EXPECT_GE(row.Icon, 0) << row.ExeFile;
            EXPECT_LT(row.Icon, tab.IconCount()) << row.ExeFile;
            icons.insert(row.Icon);
        }
        return icons.size();
    };
    int extracted = tab.IconsExtracted;
    Reload();
    Reload();
    EXPECT_EQ(tab.IconsExtracted, extracted) << "no path is read from disk again";
    EXPECT_EQ(static_cast<size_t>(tab.IconCount()), distinctIcons()) << "no image without a row";
    {
        TTargetProcess target("procicon");
        ASSERT_NE(target.MainWindow(), nullptr);
        Reload();
        EXPECT_EQ(static_cast<size_t>(tab.IconCount()), distinctIcons());
    }
    Reload();
    EXPECT_EQ(static_cast<size_t>(tab.IconCount()), distinctIcons());
}

// An icon source that waits at a gate the test opens, as a file on an unreachable share would keep the
// worker waiting; it counts the calls that have reached it and those that have returned.
struct TGatedIcons {
    TKernelHandle Gate{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::shared_ptr<std::atomic<int>> Entered = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> Returned = std::make_shared<std::atomic<int>>(0);
    TProcessesTab::TIconSource Source() {
        HANDLE gate = Gate.Get();
        auto entered = Entered, returned = Returned;
        return [gate, entered, returned](const std::string&) -> HICON {
            ++*entered;
            WaitForSingleObject(gate, 30000);
            ++*returned;
            return nullptr;
        };
    }
    // Waits, at most a few seconds, until the worker stands at the gate.
    bool Reached() {
        for (DWORD started = GetTickCount(); *Entered == 0 && GetTickCount() - started < 5000;)
            Sleep(10);
        return *Entered > 0;
    }
    // Opens the gate and waits, at most a few seconds, until the worker has passed it.
    void Open() {
        SetEvent(Gate.Get());
        for (DWORD started = GetTickCount(); *Returned == 0 && GetTickCount() - started < 5000;)
            Sleep(10);
    }
};

// The tab's first reload reads every path's icon: a slow source keeps only the worker waiting.
TEST_F(ProcessesTab, ASlowIconSourceDoesNotStopTheWindow) {
    TTargetProcess target("procslow");
    ASSERT_NE(target.MainWindow(), nullptr);
    TGatedIcons icons;
    ProcTab().IconSource = icons.Source();
    {
        TWatchdog watchdog(10000, [&icons] { SetEvent(icons.Gate.Get()); });
        ProcTab().ReloadProcesses();
        EXPECT_TRUE(ProcTab().Gatherer.Running());
        EXPECT_EQ(List().RowCount(), 0) << "the previous result until the new one arrives";
        // The window answers another thread while the worker waits.
        DWORD_PTR answer = 0;
        std::thread asker([this, &answer] {
            SendMessageTimeoutA(List().Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
        });
        PumpMessages(200);
        asker.join();
        EXPECT_EQ(*icons.Returned, 0) << "the worker still waits at the gate";
        ASSERT_FALSE(watchdog.Fired()) << "the reload waited for the icon source";
        icons.Open();
    }
    Delivered();
    int row = RowOf(target.ProcessId());
    ASSERT_GE(row, 0);
    EXPECT_EQ(List().CellText(row, 8), "Paneprobe Target procslow") << "captions read on the worker";
    EXPECT_EQ(List().CellText(row, 9), TestProgramFolder() + "PaneprobeTarget.exe");
    EXPECT_GE(ProcTab().Rows()[static_cast<size_t>(row)].Icon, 0)
        << "the stock icon where the file gave none";
}

// A reload asked for later drops the result of one still running.
TEST_F(ProcessesTab, AnOvertakenReloadIsDropped) {
    TGatedIcons icons;
    ProcTab().IconSource = icons.Source();
    ProcTab().ReloadProcesses();
    ASSERT_TRUE(icons.Reached());
    ProcTab().IconSource = [](const std::string&) -> HICON { return nullptr; };
    Reload();
    const int extracted = ProcTab().IconsExtracted;
    const auto rows = ProcTab().Rows();
    ASSERT_GT(extracted, 0);
    icons.Open();
    ASSERT_GT(*icons.Returned, 0);
    PumpMessages(300);
    EXPECT_EQ(ProcTab().IconsExtracted, extracted) << "the older result was dropped";
    EXPECT_EQ(ProcTab().Rows().size(), rows.size());
}

// Closing the window while a worker waits neither waits for it nor hears of it.
TEST_F(ProcessesTab, ClosingWhileAReloadWaitsIsClean) {
    TGatedIcons icons;
    ProcTab().IconSource = icons.Source();
    ProcTab().ReloadProcesses();
    ASSERT_TRUE(icons.Reached());
    {
        TWatchdog watchdog(10000, [&icons] { SetEvent(icons.Gate.Get()); });
        form.reset();
        ASSERT_FALSE(watchdog.Fired()) << "closing waited for the worker";
    }
    icons.Open();
    EXPECT_GT(*icons.Returned, 0);
    PumpMessages(300);
}

// A reload repaints only the cells whose text changed and the rows whose look changed: the region the list
// is to paint lies within them. A reload that adds or removes rows repaints the list, so it is tried again.
TEST_F(ProcessesTab, AReloadRepaintsOnlyWhatChanged) {
    TTargetProcess target("proccells");
    ASSERT_NE(target.MainWindow(), nullptr);
    MoveAside(target);
    ShowTab();
    HWND list = List().Handle();
    bool compared = false;
    for (int attempt = 0; attempt < 10 && !compared; ++attempt) { // the watchdog: ten reloads at most
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        ASSERT_FALSE(GetUpdateRect(list, nullptr, FALSE));
        const auto before = ProcTab().Rows();
        PumpMessages(1100); // ages move on
        // Only the result is handled: the region stays as the reload left it.
        ASSERT_TRUE(ReloadHandlingOnlyTheResult()) << "no result within 30 s";
        const auto& after = ProcTab().Rows();
        if (after.size() != before.size()) continue;
        TGdiObject<HRGN> expected(CreateRectRgn(0, 0, 0, 0));
        for (size_t i = 0; i < after.size(); ++i) {
            const bool wholeRow = after[i].Icon != before[i].Icon || after[i].Depth != before[i].Depth ||
                                  after[i].Root != before[i].Root || after[i].ExeFile != before[i].ExeFile ||
                                  after[i].Data != before[i].Data ||
                                  IsYoungProcess(after[i].Age) != IsYoungProcess(before[i].Age);
            for (size_t c = 0; c < after[i].Cells.size(); ++c) {
                RECT cell = {};
                if (!wholeRow && after[i].Cells[c] == before[i].Cells[c]) continue;
                ListView_GetSubItemRect(list, static_cast<int>(i), wholeRow ? 0 : static_cast<int>(c + 1),
                                        LVIR_BOUNDS, &cell);
                TGdiObject<HRGN> part(CreateRectRgnIndirect(&cell));
                CombineRgn(expected.Get(), expected.Get(), part.Get(), RGN_OR);
            }
        }
        TGdiObject<HRGN> update(CreateRectRgn(0, 0, 0, 0));
        GetUpdateRgn(list, update.Get(), FALSE);
        TGdiObject<HRGN> outside(CreateRectRgn(0, 0, 0, 0));
        EXPECT_EQ(CombineRgn(outside.Get(), update.Get(), expected.Get(), RGN_DIFF), NULLREGION)
            << "painted beyond the changed cells";
        compared = true;
    }
    EXPECT_TRUE(compared) << "every reload changed the number of processes";
    const int row = RowOf(target.ProcessId());
    ASSERT_GE(row, 0);
    EXPECT_EQ(List().CellText(row, 1), std::to_string(target.ProcessId()))
        << "the list asks the tab for its cells";
}

// Rows are added and removed a share at a time, the window answering between shares: here a share is one
// row. The list ends with exactly the rows of the newest result, also when one arrives while filling.
TEST_F(ProcessesTab, RowsAreFilledInAShareAtATime) {
    TTargetProcess target("procshares");
    ASSERT_NE(target.MainWindow(), nullptr);
    ProcTab().FillShareSeconds = 0;
    form->PageIndex->SetValue(ProcTab().Sheet->PageIndex());
    ProcTab().Gatherer.Abandon(); // the showing's own reload: this test delivers its own
    ASSERT_TRUE(ReloadHandlingOnlyTheResult());
    const size_t count = ProcTab().Rows().size();
    ASSERT_GT(count, 2u);
    EXPECT_EQ(List().RowCount(), 0) << "the shares come in dispatches of their own";
    EXPECT_TRUE(ProcTab().Filling());
    MSG share = {};
    ASSERT_TRUE(PeekMessageA(&share, List().Handle(), WM_APP + 8, WM_APP + 8, PM_REMOVE));
    DispatchMessageA(&share);
    EXPECT_EQ(List().RowCount(), 1) << "one share, one row";
    EXPECT_EQ(ProcTab().Caption, FormatText("Processes (%d)", static_cast<int>(count)));
    // A result arriving meanwhile: the kept rows are rewritten, and the fill goes on to its count.
    ASSERT_TRUE(target.Kill());
    ASSERT_TRUE(ReloadHandlingOnlyTheResult());
    EXPECT_TRUE(ProcTab().Filling());
    ASSERT_TRUE(WaitForWorker([this] { return ProcTab().Gathering(); }));
    const auto& rows = ProcTab().Rows();
    ASSERT_EQ(List().RowCount(), static_cast<int>(rows.size()));
    EXPECT_LT(RowOf(target.ProcessId()), 0) << "the ended process is gone";
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(List().CellText(static_cast<int>(i), 0), rows[i].ExeFile) << i;
        EXPECT_EQ(List().CellText(static_cast<int>(i), 1), std::to_string(rows[i].ProcessId)) << i;
        EXPECT_EQ(List().RowData(static_cast<int>(i)), rows[i].Data) << i;
    }
}

} // namespace
