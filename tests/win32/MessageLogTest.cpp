// The message log on real windows: another process's messages with their kinds and results, filters,
// pause, clear, CSV, a target that ends or hangs, an overflowing ring, its own windows, and the menu command.
#include "FormFixture.h"
#include "ShellTestSupport.h"
#include "TargetProcess.h"
#include "Watchdog.h"
#include "app/QrLib.h"
#include "messages/CsvFile.h"
#include "msglog/MessageLogs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const UINT BurstRequest = WM_APP + 2; // the target sends itself WM_USER + 3 this many times
const UINT BurstMessage = WM_USER + 3;

bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 5000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        PumpMessages(10);
    }
    return true;
}

// Waits until the target has handled everything sent and posted to it before.
void Settle(HWND window) {
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &unused);
}

bool RunsUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

std::string ShownNames(const TMessageLogForm& log) {
    std::string names;
    for (size_t i = 0; i < log.Rows.ShownCount(); ++i)
        names += log.CellText(i, lcolKind) + " " + log.CellText(i, lcolMessage) + "; ";
    return names;
}

class MessageLog : public ::testing::Test {
  protected:
    TTargetProcess target{"msglog"};
    TMessageLogs logs{nullptr};
    // A regression that leaves the target unanswering ends it, so that the test fails instead of hanging.
    TWatchdog watchdog{60000, [this] { target.Kill(); }};

    TMessageLogForm& OpenLog(HWND window, uint32_t capacity = TLogChannel::DefaultCapacity) {
        TMessageLogForm& log = logs.Open(window, capacity);
        EXPECT_TRUE(log.Channel && log.Channel->Ok()) << log.StateText();
        EXPECT_TRUE(PumpUntil([&] { return log.Channel && log.Channel->Attached(); }))
            << "the target took the ring";
        return log;
    }
    // Shown rows with this message and kind, in order.
    static std::vector<TLogRecord> RowsOf(const TMessageLogForm& log, UINT message, uint8_t kind) {
        std::vector<TLogRecord> found;
        for (size_t i = 0; i < log.Rows.ShownCount(); ++i) {
            TLogRecord row = log.Rows.Shown(i);
            if (row.Message == message && row.Kind == kind) found.push_back(row);
        }
        return found;
    }
    static bool Has(const TMessageLogForm& log, UINT message, uint8_t kind) {
        return !RowsOf(log, message, kind).empty();
    }
    void SetTitle(const char* text) {
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(target.MainWindow(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                                        SMTO_NORMAL, 5000, &result));
    }
};

TEST_F(MessageLog, SentReturnedPostedAndMouseMessagesArriveInOrderWithTheirKinds) {
    ASSERT_TRUE(target.MainWindow());
    TMessageLogForm& log = OpenLog(target.MainWindow());
    SetTitle("Logged title");
    PostMessageA(target.MainWindow(), WM_USER + 1, 7, 9);
    log.SetBounds(700, 600, 500, 300); // out of the way of the pointer
    RECT rect = {};
    GetWindowRect(target.MainWindow(), &rect);
    POINT inside = {rect.left + 300, rect.bottom - 40};
    ASSERT_EQ(GetAncestor(WindowFromPoint(inside), GA_ROOT), target.MainWindow());
    for (int step = 0; step < 3; ++step) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = (inside.x + step * 5) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = inside.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
        PumpMessages(30);
    }
    Settle(target.MainWindow());
    ASSERT_TRUE(PumpUntil([&] {
        return Has(log, WM_MOUSEMOVE, lkPosted) && Has(log, WM_USER + 1, lkPosted);
    })) << log.CountsText();

    auto sent = RowsOf(log, WM_SETTEXT, lkSent), returned = RowsOf(log, WM_SETTEXT, lkReturned);
    auto posted = RowsOf(log, WM_USER + 1, lkPosted), moves = RowsOf(log, WM_MOUSEMOVE, lkPosted);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(returned.size(), 1u);
    ASSERT_EQ(posted.size(), 1u) << "a posted message is recorded once, however often it was peeked at";
    // Wine 8 hands the hooks of a message from another thread neither its text nor its result, and the hook
    // module copies nothing there (the same message within one thread carries both: the self-log test
    // checks them); Windows hands over both.
    if (RunsUnderWine()) {
        EXPECT_EQ(LogDetails(sent[0]), "");
    } else {
        EXPECT_EQ(LogDetails(sent[0]), "\"Logged title\"");
        EXPECT_EQ(returned[0].Result, 1u);
    }
    EXPECT_EQ(posted[0].WParam, 7u);
    EXPECT_EQ(posted[0].LParam, 9u);
    EXPECT_LT(sent[0].Sequence, returned[0].Sequence);
    EXPECT_LT(returned[0].Sequence, posted[0].Sequence);
    EXPECT_LT(posted[0].Sequence, moves[0].Sequence);
    EXPECT_EQ(moves[0].Window, reinterpret_cast<UINT_PTR>(target.MainWindow()));
    for (size_t i = 1; i < log.Rows.ShownCount(); ++i)
        EXPECT_LT(log.Rows.Shown(i - 1).Sequence, log.Rows.Shown(i).Sequence);
    // The list shows the rows through its own cells; it takes new rows in a few times a second.
    ASSERT_TRUE(PumpUntil([&] {
        return ListView_GetItemCount(log.List->Handle()) == static_cast<int>(log.Rows.ShownCount());
    }));
    size_t last = log.Rows.ShownCount() - 1;
    EXPECT_EQ(log.List->ItemText(static_cast<int>(last), lcolNumber), log.CellText(last, lcolNumber));
}

TEST_F(MessageLog, FiltersPauseClearAndTheSavedCsv) {
    TMessageLogForm& log = OpenLog(target.MainWindow());
    SetTitle("first");
    PostMessageA(target.MainWindow(), WM_USER + 1, 1, 2);
    Settle(target.MainWindow());
    ASSERT_TRUE(PumpUntil([&] { return Has(log, WM_USER + 1, lkPosted); }));
    size_t recorded = log.Rows.RecordedCount();

    const struct {
        const char* Include;
        const char* Exclude;
        std::vector<std::string> Names;
    } cases[] = {{"SETTEXT", "", {"WM_SETTEXT", "WM_SETTEXT"}},
                 {"^WM_USER", "", {"WM_USER+1"}},
                 {"SETTEXT USER\\+1", "SET", {"WM_USER+1"}}};
    for (const auto& c : cases) {
        log.IncludeEdit->SetText(c.Include); // typing into the boxes applies the filters at once
        log.ExcludeEdit->SetText(c.Exclude);
        std::vector<std::string> names;
        for (size_t i = 0; i < log.Rows.ShownCount(); ++i)
            names.push_back(log.CellText(i, lcolMessage));
        EXPECT_EQ(names, c.Names) << c.Include << " / " << c.Exclude;
        EXPECT_EQ(log.Rows.RecordedCount(), recorded) << "a filter hides rows, it keeps them";
    }
    log.IncludeEdit->SetText("[bad");
    EXPECT_EQ(log.Rows.ShownCount(), 1u) << "a bad pattern keeps the filter in force";
    EXPECT_NE(log.StateText().find("not valid"), std::string::npos);

    log.IncludeEdit->SetText("SETTEXT");
    log.ExcludeEdit->SetText("");
    std::string path = TestProgramFolder() + "msglog-test.csv";
    ASSERT_TRUE(log.SaveCsv(path));
    TCsvFile csv(',', '\0');
    ASSERT_TRUE(csv.LoadFromFile(path));
    DeleteFileA(path.c_str());
    EXPECT_EQ(csv.Header, TStrArray(LogColumnCaptions, LogColumnCaptions + LogColumnCount));
    ASSERT_EQ(csv.RowCount(), 2);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < lcolDetails; ++column)
            EXPECT_EQ(csv.GetCell(row, column), log.CellText(static_cast<size_t>(row), column))
                << row << "," << column;
    EXPECT_EQ(csv.GetCell(0, lcolKind), "S");
    EXPECT_EQ(csv.GetCell(1, lcolKind), "R");
    // Ctrl+C copies the selected rows as the other lists do: the captions, then the rows' cells.
    ListView_SetItemState(log.List->Handle(), 1, LVIS_SELECTED, LVIS_SELECTED);
    std::string copied = log.List->SelectedRowsText();
    EXPECT_EQ(copied.substr(0, copied.find("\r\n")),
              "#\tTime\tKind\tHandle\tMessage\twParam\tlParam\tResult\tDetails");
    EXPECT_NE(copied.find("\t" + log.CellText(1, lcolTime) + "\tR\t"), std::string::npos) << copied;

    log.PauseButton->OnClick(*log.PauseButton);
    ASSERT_TRUE(log.Paused());
    SetTitle("while paused");
    Settle(target.MainWindow());
    PumpMessages(100);
    EXPECT_EQ(log.Rows.ShownCount(), 2u) << "nothing is recorded while paused";
    log.PauseButton->OnClick(*log.PauseButton);
    SetTitle("resumed");
    ASSERT_TRUE(PumpUntil([&] { return log.Rows.ShownCount() == 4; })) << "recording goes on after Resume";

    log.ClearButton->OnClick(*log.ClearButton);
    EXPECT_EQ(log.Rows.RecordedCount(), 0u);
    EXPECT_EQ(ListView_GetItemCount(log.List->Handle()), 0);
    EXPECT_EQ(log.CountsText(), "Recorded 0, shown 0, dropped 0");
    // The status line shows the counts in a panel with room for them, as drawn on the screen.
    PumpMessages(20);
    EXPECT_EQ(log.StatusBar->PanelText(0), log.CountsText());
    EXPECT_GE(log.StatusBar->PanelWidth(0), 200) << "a panel of no width shows nothing";
}

TEST_F(MessageLog, AnOverflowingRingCountsEveryDroppedMessageExactly) {
    const uint32_t capacity = 1024;
    TMessageLogForm& log = OpenLog(target.MainWindow(), capacity);
    log.DrainOnTimer = false;
    log.Drain();
    log.Clear();
    // 2000 sends make 4000 records, far more than the ring holds while nothing drains it.
    SendMessageTimeoutA(target.MainWindow(), BurstRequest, 2000, 0, SMTO_NORMAL, 10000, nullptr);
    log.Drain();
    // A message the target handles while the drain frees the ring (a repaint, a timer) may follow the
    // burst's kept records; it is numbered after the drops like any other.
    ASSERT_GE(log.Rows.RecordedCount(), capacity);
    uint32_t dropped = log.Channel->Dropped();
    EXPECT_GE(dropped, 4000u - capacity);
    uint64_t first = log.Rows.Shown(0).Sequence;
    for (size_t i = 0; i < capacity; ++i)
        ASSERT_EQ(log.Rows.Shown(i).Sequence, first + i) << "the ring keeps the oldest and drops the newest";
    // The next record's number counts every message in between: each drop was counted, none twice.
    SetTitle("after the burst");
    log.Drain();
    ASSERT_GT(log.Rows.RecordedCount(), capacity);
    EXPECT_EQ(log.Rows.Shown(capacity).Sequence, first + capacity + dropped);
    EXPECT_NE(log.CountsText().find(FormatText("dropped %u", dropped)), std::string::npos);
}

// A flood waits in the ring: each drain takes a bounded share and tells the list its count once, and the
// following ticks take the rest without losing or reordering a row.
TEST_F(MessageLog, ADrainTakesABoundedShareOfAFloodAndTheNextDrainsTheRest) {
    TMessageLogForm& log = OpenLog(target.MainWindow(), 8192);
    log.DrainOnTimer = false;
    log.Drain();
    log.Clear();
    SendMessageTimeoutA(target.MainWindow(), BurstRequest, 2000, 0, SMTO_NORMAL, 10000, nullptr);
    ASSERT_GE(log.Channel->Waiting(), 4000u);
    log.DrainBudget = 1500;
    log.Drain();
    EXPECT_EQ(log.Rows.RecordedCount(), 1500u);
    EXPECT_EQ(ListView_GetItemCount(log.List->Handle()), 1500);
    EXPECT_GE(log.Channel->Waiting(), 2500u) << "the rest waits for the next tick";
    for (int tick = 0; tick < 10 && log.Channel->Waiting() > 0; ++tick)
        log.Drain();
    ASSERT_EQ(log.Channel->Waiting(), 0u);
    ASSERT_GE(log.Rows.RecordedCount(), 4000u);
    EXPECT_EQ(log.Channel->Dropped(), 0u);
    for (size_t i = 1; i < log.Rows.RecordedCount(); ++i)
        ASSERT_EQ(log.Rows.Shown(i).Sequence, log.Rows.Shown(i - 1).Sequence + 1) << i;
    HWND list = log.List->Handle();
    int count = ListView_GetItemCount(list);
    EXPECT_EQ(count, static_cast<int>(log.Rows.ShownCount()));
    EXPECT_GE(ListView_GetTopIndex(list) + ListView_GetCountPerPage(list), count)
        << "the newest row is in view";
}

// When a list is told its count: timed inside the list, since a busy test thread may see a change late.
// Leaves the list as it was when the test ends, even by a failed assertion, as the list outlives the times.
class TCountTimes {
  public:
    explicit TCountTimes(HWND list) : list(list) {
        installed = SetWindowSubclass(list, Proc, 1, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    }
    ~TCountTimes() {
        if (installed) RemoveWindowSubclass(list, Proc, 1);
    }
    TCountTimes(const TCountTimes&) = delete;
    TCountTimes& operator=(const TCountTimes&) = delete;
    bool Installed() const { return installed; }
    std::vector<DWORD> Times;

  private:
    HWND list;
    bool installed = false;
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR self) {
        if (message == LVM_SETITEMCOUNT)
            reinterpret_cast<TCountTimes*>(self)->Times.push_back(GetTickCount());
        return DefSubclassProc(window, message, wParam, lParam);
    }
};

// On its timer the log sets the list's count a few times a second at most, however many records arrive, and
// scrolls to the newest row in a dispatch of its own; a user who scrolled up stays where he is.
TEST_F(MessageLog, TheTimerShowsAFloodAFewTimesASecondAndFollowsTheNewestRow) {
    TMessageLogForm& log = OpenLog(target.MainWindow(), 65536);
    HWND list = log.List->Handle();
    TCountTimes counts(list);
    ASSERT_TRUE(counts.Installed());
    const std::vector<DWORD>& shown = counts.Times;
    // Small bursts, often: under Wine the hooking thread serves each burst's hook calls in one pump, and the
    // drain ticks between bursts would show every one of them without the interval.
    const int bursts = 40, sends = 50;
    for (int burst = 0; burst < bursts; ++burst) {
        PostMessageA(target.MainWindow(), BurstRequest, sends, 0);
        PumpMessages(15);
    }
    ASSERT_TRUE(PumpUntil([&] {
        return log.Channel->Waiting() == 0 &&
               ListView_GetItemCount(list) == static_cast<int>(log.Rows.ShownCount());
    }));
    EXPECT_GE(log.Rows.RecordedCount(), 2u * bursts * sends);
    ASSERT_GE(shown.size(), 2u) << "the flood is shown as it comes, not only at its end";
    DWORD shortest = shown[1] - shown[0];
    for (size_t i = 2; i < shown.size(); ++i)
        shortest = std::min(shortest, shown[i] - shown[i - 1]);
    EXPECT_GE(shortest, TMessageLogForm::ShowIntervalMs - 10) << shown.size() << " changes";
    int count = ListView_GetItemCount(list);
    EXPECT_GE(ListView_GetTopIndex(list) + ListView_GetCountPerPage(list), count)
        << "the newest row is in view";

    ListView_EnsureVisible(list, 0, FALSE);
    PostMessageA(target.MainWindow(), BurstRequest, 300, 0);
    ASSERT_TRUE(PumpUntil([&] { return ListView_GetItemCount(list) > count; }));
    PumpMessages(50);
    EXPECT_EQ(ListView_GetTopIndex(list), 0) << "the older rows the user reads stay in view";
}

TEST_F(MessageLog, AnEndedTargetKeepsItsRowsAndTheLogSaysSo) {
    TMessageLogForm& log = OpenLog(target.MainWindow());
    SetTitle("last words");
    ASSERT_TRUE(PumpUntil([&] { return Has(log, WM_SETTEXT, lkReturned); }));
    size_t recorded = log.Rows.RecordedCount();
    ASSERT_TRUE(target.Kill());
    ASSERT_TRUE(PumpUntil([&] { return log.TargetEnded(); }));
    EXPECT_NE(log.StateText().find("ended"), std::string::npos);
    EXPECT_GE(log.Rows.RecordedCount(), recorded);
    EXPECT_TRUE(Has(log, WM_SETTEXT, lkReturned));
}

// The hooks belong to the process that set them: when it dies they go, and the target goes on answering.
TEST_F(MessageLog, TheTargetOutlivesAKilledHookingProcess) {
    THelperHooks helper(OwnBits());
    TLogChannel channel(helper, target.MainWindow(), lsWindow);
    ASSERT_TRUE(channel.Ok()) << channel.Error();
    ASSERT_TRUE(helper.Running());
    ASSERT_TRUE(PumpUntil([&] { return channel.Attached(); })) << channel.HookError();
    std::vector<TLogRecord> records;
    SetTitle("hooked");
    ASSERT_TRUE(PumpUntil([&] { return channel.Drain(records) > 0 || !records.empty(); }));
    ASSERT_TRUE(TerminateProcess(helper.Process(), 9));
    ASSERT_EQ(WaitForSingleObject(helper.Process(), 5000), WAIT_OBJECT_0);
    PumpMessages(100);
    SetTitle("after the helper");
    char title[64] = {};
    GetWindowTextA(target.MainWindow(), title, sizeof title);
    EXPECT_STREQ(title, "after the helper") << "the target still answers";
    // Wine 8 keeps a killed process's hooks on the target's thread, so records may still come: the writer
    // never waits, so they cost the target nothing.
    EXPECT_TRUE(target.Running());
}

// One Paneprobe logs a program of each bitness at once: its own hooks for one, the helper for the other.
TEST_F(MessageLog, ProgramsOfBothBitnessesAreLoggedAtOnce) {
    BOOL wow = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow);
    if (OwnBits() == 32 && !wow)
        GTEST_SKIP() << "This prefix runs 32-bit programs only: a 64-bit Wine prefix on a machine that runs "
                        "32-bit code is needed to log both bitnesses at once.";
    // The platform's notepad of the other bitness: "sysnative" reaches the 64-bit one from a 32-bit program.
    std::string program =
        OwnBits() == 32 ? "c:\\windows\\sysnative\\notepad.exe" : "c:\\windows\\syswow64\\notepad.exe";
    std::vector<char> commandLine(program.begin(), program.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        GTEST_SKIP() << "The other bitness's programs do not run here (" << program << ").";
    TKernelHandle notepad(info.hProcess), notepadThread(info.hThread);
    TWatchdog notepadDog(60000, [&notepad] { TerminateProcess(notepad.Get(), 9); });
    WaitForInputIdle(notepad.Get(), 10000);
    if (WaitForSingleObject(notepad.Get(), 0) == WAIT_OBJECT_0)
        GTEST_SKIP() << "The other bitness's programs do not run here: " << program << " ended at once.";
    HWND other = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        other = FindWindowA("Notepad", nullptr);
        DWORD owner = 0;
        return other && GetWindowThreadProcessId(other, &owner) && owner == info.dwProcessId;
    }));
    TMessageLogForm& own = OpenLog(target.MainWindow());
    TMessageLogForm& foreign = OpenLog(other);
    EXPECT_EQ(foreign.Channel->Bits(), 96 - OwnBits());
    SetTitle("own bitness");
    DWORD_PTR result = 0;
    SendMessageTimeoutA(other, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("other bitness"), SMTO_NORMAL, 5000,
                        &result);
    EXPECT_TRUE(PumpUntil([&] {
        // Under WOW64 Wine 8 the 32-bit notepad's return of a message from another process is not always
        // reported to its hook, so the other bitness is checked by the sent message.
        return Has(own, WM_SETTEXT, lkReturned) && Has(foreign, WM_SETTEXT, lkSent);
    })) << ShownNames(own)
        << " / " << ShownNames(foreign) << " " << foreign.StateText();
    TerminateProcess(notepad.Get(), 0);
}

TEST(MessageLogHang, AHungTargetMakesNothingWaitAndIsLoggedOnceItAnswers) {
    TTargetProcess target("msglog", true);
    TWatchdog watchdog(60000, [&target] { target.Kill(); });
    TMessageLogs logs(nullptr);
    ASSERT_TRUE(target.Hang());
    TMessageLogForm& log = logs.Open(target.MainWindow());
    ASSERT_TRUE(log.Channel->Ok()) << log.StateText();
    PumpMessages(200);
    EXPECT_FALSE(log.Channel->Attached()) << "a hung thread cannot take the ring";
    ASSERT_TRUE(target.Release());
    EXPECT_TRUE(PumpUntil([&] { return log.Channel->Attached(); }));
}

// A log of this thread's every window records the other windows but never its own, which would feed it.
TEST(MessageLogSelf, ALogOfItsOwnThreadLeavesItsOwnWindowsOut) {
    TMessageLogs logs(nullptr);
    TNvForm other;
    ShowWindow(other.Handle(), SW_SHOWNA);
    TMessageLogForm& log = logs.Open(other.Handle());
    log.SetScope(lsThread);
    ASSERT_TRUE(PumpUntil([&] { return log.Channel->Attached(); }));
    LRESULT result = SendMessageA(other.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("seen"));
    log.SetText("not seen");
    SetWindowPos(log.Handle(), nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages(150);
    bool otherSeen = false;
    for (size_t i = 0; i < log.Rows.ShownCount(); ++i) {
        HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(log.Rows.Shown(i).Window));
        if (!window) continue;
        ASSERT_NE(GetAncestor(window, GA_ROOT), log.Handle()) << log.CellText(i, lcolMessage);
        otherSeen = otherSeen || window == other.Handle();
    }
    EXPECT_TRUE(otherSeen);
    // A sent message with its text, and its result once it returned.
    log.IncludeEdit->SetText("^WM_SETTEXT$");
    ASSERT_EQ(log.Rows.ShownCount(), 2u);
    EXPECT_EQ(log.CellText(0, lcolKind), "S");
    EXPECT_EQ(log.CellText(0, lcolDetails), "\"seen\"");
    EXPECT_EQ(log.CellText(1, lcolKind), "R");
    EXPECT_EQ(log.Rows.Shown(1).Result, static_cast<uint64_t>(result));
    EXPECT_EQ(log.CellText(1, lcolResult), "0x00000001");
}

TEST_F(FormTest, TheToolsMenusCommandOpensALogOnTheTrackedWindow) {
    PressKey(form->Handle(), 'L', ssCtrl);
    ASSERT_EQ(form->Logs->Count(), 1);
    EXPECT_EQ(form->Logs->Log(0)->TargetWindow(), TrackedList->Current()->Handle);
    form->RunMenuCommand(cmdLogMessages);
    EXPECT_EQ(form->Logs->Count(), 2) << "several logs may be open at once";
    DestroyWindow(form->Logs->Log(0)->Handle());
    EXPECT_EQ(form->Logs->Count(), 1);
}

} // namespace
