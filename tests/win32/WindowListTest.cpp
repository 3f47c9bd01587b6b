// The tracked-window list, its records, TrackWindow, and the tab framework.
#include "ShellTestSupport.h"
#include "TargetProcess.h"
#include "Watchdog.h"

#include "config/EasyConfig.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

namespace {

HWND Window(int n) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1000 + n));
}

// A list that counts its notifications.
struct TCountingList {
    TCountingList() {
        list.OnChange = [this](TWindowList& changed) {
            EXPECT_EQ(&changed, &list);
            ++notifications;
        };
    }
    void Fill(int count) {
        for (int i = 0; i < count; ++i)
            list.Add(std::make_unique<TWindowDetails>(Window(i)));
    }
    TWindowList list;
    int notifications = 0;
};

TEST(WindowList, ANewListIsEmptyAtIndexZero) {
    TWindowList list;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ItemIndex(), 0);
    EXPECT_EQ(list.Current(), nullptr);
    EXPECT_EQ(list.Get(-1), nullptr);
}

TEST(WindowList, EachChangeNotifiesOnce) {
    TCountingList counted;
    TWindowList& list = counted.list;
    struct Step {
        const char* what;
        std::function<void()> act;
        int notifications;
    };
    const Step steps[] = {
        {"add", [&] { EXPECT_EQ(list.Add(std::make_unique<TWindowDetails>(Window(0))), 0); }, 1},
        {"add", [&] { EXPECT_EQ(list.Add(std::make_unique<TWindowDetails>(Window(1))), 1); }, 1},
        {"same index", [&] { list.SetItemIndex(0); }, 0},
        {"new index", [&] { list.SetItemIndex(1); }, 1},
        {"index out of range", [&] { list.SetItemIndex(5); }, 1},
        {"delete", [&] { list.Delete(0); }, 1},
        {"clear", [&] { list.Clear(); }, 1},
    };
    for (const Step& step : steps) {
        int before = counted.notifications;
        step.act();
        EXPECT_EQ(counted.notifications - before, step.notifications) << step.what;
    }
    EXPECT_EQ(list.ItemIndex(), 0) << "clearing resets the index";
}

TEST(WindowList, TheArrayGrowsByDoubling) {
    TCountingList counted;
    const int capacities[] = {2, 2, 4, 4, 8};
    for (int expected : capacities) {
        counted.Fill(1);
        EXPECT_EQ(counted.list.Capacity(), expected) << "after " << counted.list.Count() << " records";
    }
    EXPECT_EQ(counted.list.Get(4)->Handle, Window(0));
}

TEST(WindowList, DeletingMovesTheFollowingRecordsDown) {
    TCountingList counted;
    TWindowList& list = counted.list;
    counted.Fill(3);
    list.SetItemIndex(1);
    TWindowDetails* third = list.Get(2);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Current(), third) << "the record that moved into the current position";

    list.Delete(1);
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_EQ(list.Current(), nullptr) << "the current record was the last one";
    list.Delete(5);
    EXPECT_EQ(list.Count(), 1) << "an index out of range deletes nothing";
}

TEST(WindowList, TheListenerSeesTheEmptyListWhenTheListGoes) {
    int notifications = 0, lastCount = -1;
    {
        TWindowList list;
        list.Add(std::make_unique<TWindowDetails>(Window(0)));
        list.OnChange = [&](TWindowList& l) {
            ++notifications;
            lastCount = l.Count();
        };
    }
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(lastCount, 0);
}

// TrackWindow on a list and a settings store of the test's own.
class TrackingWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        ConfigStore = &store;
        TrackedList = &counted.list;
        scan = &TConfigVarBool::Get(&store, "system", "scan_window_at_mouse", true);
        window = CreateWindowExA(0, "STATIC", "Tracked one", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr,
                                 nullptr, nullptr);
        other = CreateWindowExA(0, "BUTTON", "Tracked two", WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr,
                                nullptr, nullptr);
    }
    void TearDown() override {
        ConfigStore = nullptr;
        TrackedList = nullptr;
        DestroyWindow(window);
        DestroyWindow(other);
    }
    TEasyConfigIni store{"unused.ini"};
    TCountingList counted;
    TConfigVarBool* scan = nullptr;
    HWND window = nullptr, other = nullptr;
};

TEST_F(TrackingWindows, TheLastTrackedWindowIsTheOnlyOne) {
    TrackWindow(window, false, false);
    TrackWindow(other, false, false);
    ASSERT_EQ(counted.list.Count(), 1);
    EXPECT_EQ(counted.list.Current()->Handle, other);
    EXPECT_STREQ(counted.list.Current()->ClassName, "Button");
    EXPECT_STREQ(counted.list.Current()->Caption, "Tracked two");
    EXPECT_TRUE(scan->Value) << "keeping scanning";
    EXPECT_EQ(counted.notifications, 4) << "a clear and an add each";
}

TEST_F(TrackingWindows, ReplacingThreeRecordsLeavesOneAtIndexZero) {
    counted.Fill(3);
    counted.list.SetItemIndex(2);
    TrackWindow(window, false, true);
    EXPECT_EQ(counted.list.Count(), 1);
    EXPECT_EQ(counted.list.ItemIndex(), 0);
    EXPECT_EQ(counted.list.Current()->Handle, window);
    EXPECT_FALSE(scan->Value);
    EXPECT_TRUE(scan->Modified);
}

TEST_F(TrackingWindows, AppendingKeepsTheOthers) {
    TrackWindow(window, false, false);
    TrackWindow(other, true, false);
    EXPECT_EQ(counted.list.Count(), 2);
    EXPECT_EQ(counted.list.Current()->Handle, window);
}

TEST(WindowDetails, ARecordReadsTheWindowAndClears) {
    HWND parent = CreateWindowExA(0, "STATIC", "Parent", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    HWND child = CreateWindowExA(0, "EDIT", "typed\r\ntext", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 50,
                                 20, parent, nullptr, nullptr, nullptr);
    TWindowDetails record(child);
    EXPECT_EQ(record.Parent, nullptr) << "nothing is read before Refresh";
    record.Refresh();
    EXPECT_EQ(record.Parent, parent);
    EXPECT_EQ(record.ThreadId, GetCurrentThreadId());
    EXPECT_EQ(record.ProcessId, GetCurrentProcessId());
    EXPECT_TRUE(record.Style & WS_CHILD);
    EXPECT_TRUE(record.Style & WS_VISIBLE);
    EXPECT_STREQ(record.ClassName, "Edit");
    EXPECT_STREQ(record.Caption, "typed\r\ntext");

    DestroyWindow(parent);
    record.Refresh();
    EXPECT_EQ(record.Parent, nullptr) << "a vanished window reads as zeros";
    EXPECT_EQ(record.Style, 0u);
    record.SetHandle(parent);
    EXPECT_EQ(record.Handle, parent);
    EXPECT_EQ(record.ThreadId, 0u);
    EXPECT_STREQ(record.ClassName, "");
    EXPECT_STREQ(record.Caption, "");
}

TEST(WindowDetails, ACaptionOnlyTheWindowKnowsIsAskedFor) {
    TTargetProcess target("details");
    ASSERT_NE(target.MainWindow(), nullptr);
    TWindowDetails keeper(target.Child(TTargetProcess::KeeperId));
    keeper.Refresh();
    EXPECT_STREQ(keeper.Caption, "Text kept by the control");
    EXPECT_STREQ(keeper.ClassName, "PaneprobeTextKeeper");
    EXPECT_EQ(keeper.ProcessId, target.ProcessId());
    EXPECT_EQ(keeper.Parent, target.MainWindow());

    TWindowDetails main(target.MainWindow());
    main.Refresh();
    EXPECT_STREQ(main.Caption, "Paneprobe Target details");
}

TEST(WindowDetails, AHungWindowCostsAtMostTheTimeout) {
    TTargetProcess target("hung-details", true);
    ASSERT_NE(target.MainWindow(), nullptr);
    ASSERT_TRUE(target.Hang());
    TWindowDetails keeper(target.Child(TTargetProcess::KeeperId));
    DWORD start = GetTickCount();
    keeper.Refresh();
    DWORD elapsed = GetTickCount() - start;
    EXPECT_STREQ(keeper.Caption, "");
    EXPECT_STREQ(keeper.ClassName, "PaneprobeTextKeeper");
    EXPECT_LT(elapsed, 1000u) << "a 500 ms timeout plus the other reads";
}

// Sets how long the target's text-keeping control takes over each WM_GETTEXT; returns once it has handled
// everything sent to it before.
bool SetSlowText(HWND keeper, DWORD milliseconds) {
    DWORD_PTR unused = 0;
    return SendMessageTimeoutA(keeper, WM_APP + 1, milliseconds, 0, SMTO_NORMAL, 15000, &unused) != 0;
}

TEST(WindowDetails, AWindowThatDidNotAnswerIsAskedAgainOnlyOnceItAnswers) {
    TTargetProcess target("silent-details");
    ASSERT_NE(target.MainWindow(), nullptr);
    const HWND keeperWindow = target.Child(TTargetProcess::KeeperId);
    // Every WM_GETTEXT the control begins to handle.
    auto reads = [&] { return reinterpret_cast<UINT_PTR>(GetPropA(keeperWindow, "PaneprobeTextReads")); };
    TWindowDetails keeper(keeperWindow);
    keeper.Refresh();
    ASSERT_STREQ(keeper.Caption, "Text kept by the control");
    EXPECT_FALSE(AwaitsAnswer(keeperWindow));
    const UINT_PTR before = reads();

    // The control now takes longer than a refresh waits: a refresh that asked it again would find it free
    // after each answer it gave too late, and each of those questions would be counted.
    ASSERT_TRUE(SetSlowText(keeperWindow, 700));
    for (int tick = 0; tick < 6; ++tick) {
        keeper.Refresh();
        EXPECT_STREQ(keeper.Caption, "Text kept by the control") << "the record keeps its last caption";
        EXPECT_STREQ(keeper.ClassName, "PaneprobeTextKeeper");
        EXPECT_TRUE(AwaitsAnswer(keeperWindow)) << "not asked again until it answers";
        TWindowDetails scanned(keeperWindow); // a scanning tick makes a new record every time
        scanned.Refresh();
        EXPECT_STREQ(scanned.Caption, "");
    }
    ASSERT_TRUE(SetSlowText(keeperWindow, 0));
    EXPECT_EQ(reads(), before + 1) << "one question while it was slow, not one per refresh";

    // Once its answer to the cheap question has come back, the window is asked for its text again.
    for (int attempt = 0; attempt < 100 && AwaitsAnswer(keeperWindow); ++attempt)
        PumpMessages(20);
    EXPECT_FALSE(AwaitsAnswer(keeperWindow));
    std::strcpy(keeper.Caption, "stale");
    keeper.Refresh();
    EXPECT_STREQ(keeper.Caption, "Text kept by the control");
    EXPECT_EQ(reads(), before + 2);
}

TEST(WindowDetails, AWindowThatWentAwayWhileSilentIsForgotten) {
    HWND window = nullptr;
    {
        TTargetProcess target("silent-gone", true);
        ASSERT_NE(target.MainWindow(), nullptr);
        window = target.Child(TTargetProcess::KeeperId);
        ASSERT_TRUE(target.Hang());
        TWindowDetails keeper(window);
        keeper.Refresh();
        EXPECT_TRUE(AwaitsAnswer(window));
    } // the target process ends without ever answering
    EXPECT_FALSE(AwaitsAnswer(window));
}

class TOtherTab : public TPaneprobeTab {
  public:
    using TPaneprobeTab::TPaneprobeTab;
    int Changes = 0;
    void TrackedListChanged() override { ++Changes; }
};

TEST(TabManager, FindsTabsByClassAndBroadcastsToAll) {
    TPaneprobeTabManager manager;
    TPaneprobeTab& first = manager.AddTab(TabClassOf<TOtherTab>(), nullptr);
    TPaneprobeTab& second = manager.AddTab(TabClassOf<TOtherTab>(), nullptr);
    EXPECT_EQ(manager.Count(), 2);
    EXPECT_EQ(manager.TabAt(1), &second);
    EXPECT_EQ(manager.FindTab(TabClassOf<TPaneprobeTab>()), &first) << "the base class matches every tab";
    EXPECT_EQ(manager.FindTab(TabClassOf<TOtherTab>()), &first);
    EXPECT_EQ(manager.FindTab(TabClassOf<TSettingsLikeTab>()), nullptr);
    manager.BroadcastTrackedListChanged();
    EXPECT_EQ(static_cast<TOtherTab&>(first).Changes, 1);
    EXPECT_EQ(static_cast<TOtherTab&>(second).Changes, 1);
    manager.Clear();
    EXPECT_EQ(manager.Count(), 0);
}

TEST(TabManager, ACaptionWithoutAPageIsOnlyStored) {
    TPaneprobeTab tab(nullptr);
    tab.SetCaption("Tracked (3)");
    EXPECT_EQ(tab.Caption, "Tracked (3)");
}

TEST(TabManager, ActivatingResetsTheTabRefreshInterval) {
    TEasyConfigIni store("unused.ini");
    ConfigStore = &store;
    TConfigVarInt& interval = TConfigVarInt::Get(&store, "tabs", "update_interval_ms", 2500);
    interval.SetValue(16);
    TPaneprobeTab tab(nullptr);
    tab.Activate();
    EXPECT_EQ(interval.Value, 2500);
    ConfigStore = nullptr;
}

// A window that answers its text slowly but in time is asked again only once it has answered and about a
// second has passed; meanwhile every record of it, a scanning tick's new one too, shows its last answer.
TEST(WindowDetails, ASlowlyAnsweringWindowCostsATickAboutWhatAQuickOneDoes) {
    TTargetProcess target("slow-details");
    ASSERT_NE(target.MainWindow(), nullptr);
    const HWND keeperWindow = target.Child(TTargetProcess::KeeperId);
    auto reads = [&] { return reinterpret_cast<UINT_PTR>(GetPropA(keeperWindow, "PaneprobeTextReads")); };
    // Should the ticks wait for the control after all, it is made quick again so that the test ends.
    TWatchdog watchdog(20000, [&] { PostMessageA(keeperWindow, WM_APP + 1, 0, 0); });
    auto ticks = [&] {
        auto start = std::chrono::steady_clock::now();
        for (int tick = 0; tick < 10; ++tick) {
            TWindowDetails scanned(keeperWindow);
            scanned.Refresh();
            EXPECT_STREQ(scanned.Caption, "Text kept by the control");
        }
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    const double bare = ticks();
    ASSERT_TRUE(SetSlowText(keeperWindow, 200));
    TWindowDetails first(keeperWindow);
    first.Refresh(); // waits for the slow answer once
    ASSERT_STREQ(first.Caption, "Text kept by the control");
    const UINT_PTR asked = reads();
    const double slow = ticks();
    EXPECT_LT(slow, 4 * bare + 100) << "ten quick ticks took " << bare << " ms";
    EXPECT_EQ(reads(), asked) << "not asked again within the second";

    PumpMessages(1100); // its answer to the cheap question arrives, and the second passes
    TWindowDetails later(keeperWindow);
    later.Refresh();
    EXPECT_EQ(reads(), asked + 1) << "asked again once the second has passed";
    EXPECT_STREQ(later.Caption, "Text kept by the control");
    ASSERT_TRUE(SetSlowText(keeperWindow, 0));
    EXPECT_FALSE(watchdog.Fired());
}

// A window of this thread answers the cheap question before the send returns: it is still let go.
LRESULT CALLBACK SlowEmptyTextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_GETTEXT) return DefWindowProcA(window, message, wParam, lParam);
    Sleep(80);
    if (wParam > 0) reinterpret_cast<char*>(lParam)[0] = '\0';
    return 0;
}

TEST(WindowDetails, ASlowWindowOfThisThreadIsAskedAgainAfterTheSecond) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = SlowEmptyTextProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PaneprobeSlowEmptyText";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    TWindowDetails record(window);
    record.Refresh();
    EXPECT_TRUE(AwaitsAnswer(window)) << "held back after its slow answer";
    PumpMessages(1100);
    EXPECT_FALSE(AwaitsAnswer(window));
    DestroyWindow(window);
}

} // namespace
