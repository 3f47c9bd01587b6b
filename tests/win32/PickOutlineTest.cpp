// The picked window shown on screen: a blinking, click-through frame after an explicit pick, and none
// while scanning follows the mouse or with the setting off.
#include "FormFixture.h"
#include "WorkerWait.h"
#include "app/PickOutline.h"
#include "app/WinApiEx.h"
#include "processes/TabProcesses.h"
#include "tabs/TabBranch.h"
#include "tabs/TabEnum.h"
#include "tabs/TabWindows.h"

#include <functional>
#include <memory>

namespace {

void AddTracked(HWND handle) {
    auto record = std::make_unique<TWindowDetails>(handle);
    record->Refresh();
    TrackedList->Add(std::move(record));
}

RECT RectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

RECT Inflated(RECT rect, int by) {
    InflateRect(&rect, by, by);
    return rect;
}

::testing::AssertionResult SameRect(const RECT& a, const RECT& b) {
    if (EqualRect(&a, &b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << a.left << "," << a.top << ")-(" << a.right << "," << a.bottom << ") is not (" << b.left
           << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

struct TBlinkRecord {
    int ShownPhases = 0;
    bool Gone = false;
};

// Runs the message loop until the outline has gone, at most for the watchdog's time, counting how often it
// came into view.
TBlinkRecord WatchOutline(HWND outline, DWORD watchdogMs = 4000) {
    TBlinkRecord record;
    bool wasShown = false;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < watchdogMs) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
            const bool shown = IsWindow(outline) && IsWindowVisible(outline);
            if (shown && !wasShown) ++record.ShownPhases;
            wasShown = shown;
        }
        if (!IsWindow(outline)) {
            record.Gone = true;
            break;
        }
        Sleep(5);
    }
    return record;
}

class PickOutline : public FormTest {
  protected:
    TTargetProcess target{"outline"};
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
    }
    TNvActionListView& List() { return *Tab<TWindowsTab>().ListView; }
    int RowOf(HWND handle) {
        for (int row = 0; row < List().RowCount(); ++row)
            if (List().CellText(row, 1) == FormatText("0x%.8x", HandleValue(handle))) return row;
        return -1;
    }
    // Enter on the window's row of the Tracked list.
    void PickInTrackedList(HWND handle) {
        List().SelectRow(RowOf(handle));
        SendMessageA(List().Handle(), WM_KEYDOWN, VK_RETURN, 0);
    }
};

TEST_F(PickOutline, APickInTheTrackedListFramesTheWindowBlinksThreeTimesAndGoes) {
    TrackWindow(target.MainWindow(), false, true);
    AddTracked(target.Probe());
    ASSERT_EQ(PickOutlineWindow(), nullptr);
    PickInTrackedList(target.Probe());
    ASSERT_EQ(TrackedList->Current()->Handle, target.Probe());
    HWND outline = PickOutlineWindow();
    ASSERT_NE(outline, nullptr);

    EXPECT_TRUE(SameRect(RectOf(outline), Inflated(RectOf(target.Probe()), TPickOutline::FrameWidth)));
    EXPECT_TRUE(IsWindowVisible(outline));
    const LONG exStyle = GetWindowLongA(outline, GWL_EXSTYLE);
    for (LONG bit :
         std::initializer_list<LONG>{WS_EX_LAYERED, WS_EX_TRANSPARENT, WS_EX_TOPMOST, WS_EX_NOACTIVATE})
        EXPECT_TRUE(exStyle & bit) << std::hex << bit;
    EXPECT_EQ(GetWindowThreadProcessId(outline, nullptr), GetCurrentThreadId()) << "a window of our own";
    EXPECT_NE(GetForegroundWindow(), outline) << "never activated";

    // The mouse goes through the frame to the window underneath.
    const RECT frame = RectOf(outline);
    const POINT onFrame = {frame.left + TPickOutline::FrameWidth / 2, (frame.top + frame.bottom) / 2};
    EXPECT_NE(WindowFromPoint(onFrame), outline);
    const POINT inside = {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
    EXPECT_NE(WindowFromPoint(inside), outline);

    const TBlinkRecord blinks = WatchOutline(outline);
    EXPECT_TRUE(blinks.Gone) << "the outline removes itself";
    EXPECT_EQ(blinks.ShownPhases, TPickOutline::Blinks) << "in view three times in all";
    EXPECT_EQ(PickOutlineWindow(), nullptr);
}

TEST_F(PickOutline, TheWindowsMenuOutlinesItsPick) {
    TrackWindow(target.Child(TTargetProcess::ButtonId), false, true);
    form->RunMenuCommand(cmdObtainParent);
    ASSERT_EQ(TrackedList->Current()->Handle, target.MainWindow());
    ASSERT_NE(PickOutlineWindow(), nullptr);
    EXPECT_TRUE(SameRect(RectOf(PickOutlineWindow()),
                         Inflated(RectOf(target.MainWindow()), TPickOutline::FrameWidth)));

    // The desktop fills the screen: its frame lies just inside the screen's edges, and replaces the last one.
    HWND previous = PickOutlineWindow();
    form->RunMenuCommand(cmdDesktopWindow);
    ASSERT_NE(PickOutlineWindow(), nullptr);
    EXPECT_FALSE(IsWindow(previous)) << "one outline at a time";
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(SameRect(RectOf(PickOutlineWindow()), screen));
    EXPECT_TRUE(WatchOutline(PickOutlineWindow()).Gone);
}

TEST_F(PickOutline, NoneWhileScanningFollowsTheMouse) {
    TrackWindow(target.MainWindow(), false, true);
    AddTracked(target.Probe());
    RECT probe = RectOf(target.Probe());
    SetCursorPos((probe.left + probe.right) / 2, (probe.top + probe.bottom) / 2);
    form->ScanAtMouse->SetValue(true);
    for (int tick = 0; tick < 5; ++tick)
        form->FastTick();
    EXPECT_EQ(PickOutlineWindow(), nullptr) << "following the mouse is no pick";
    FlashPickedWindow(target.Probe());
    EXPECT_EQ(PickOutlineWindow(), nullptr);
    TrackedList->SetItemIndex(0);
    Tab<TWindowsTab>().MakeSelectedCurrent();
    EXPECT_EQ(PickOutlineWindow(), nullptr) << "a list pick while scanning";
    form->ScanAtMouse->SetValue(false);
    FlashPickedWindow(target.Probe());
    EXPECT_NE(PickOutlineWindow(), nullptr);
}

TEST_F(PickOutline, TheSettingSwitchesItOff) {
    TrackWindow(target.Child(TTargetProcess::ButtonId), false, true);
    AddTracked(target.Probe());
    form->FlashPicked->SetValue(false);
    form->RunMenuCommand(cmdObtainParent);
    EXPECT_EQ(TrackedList->Current()->Handle, target.MainWindow()) << "the pick itself still happens";
    EXPECT_EQ(PickOutlineWindow(), nullptr);
    TrackWindow(target.MainWindow(), false, true);
    AddTracked(target.Probe());
    PickInTrackedList(target.Probe());
    EXPECT_EQ(TrackedList->Current()->Handle, target.Probe());
    EXPECT_EQ(PickOutlineWindow(), nullptr);

    form->FlashPicked->SetValue(true);
    PickInTrackedList(target.MainWindow());
    EXPECT_NE(PickOutlineWindow(), nullptr);
}

TEST_F(PickOutline, NothingToOutlineForAHiddenOrVanishedWindow) {
    HWND hidden =
        CreateWindowExA(0, "STATIC", "hidden", WS_POPUP, 10, 10, 50, 50, nullptr, nullptr, nullptr, nullptr);
    FlashPickedWindow(hidden);
    EXPECT_EQ(PickOutlineWindow(), nullptr);
    DestroyWindow(hidden);
    FlashPickedWindow(hidden);
    EXPECT_EQ(PickOutlineWindow(), nullptr);
    FlashPickedWindow(nullptr);
    EXPECT_EQ(PickOutlineWindow(), nullptr);
}

// The rectangle the outline takes for a window: the window's own grown by the frame, kept on the screen.
RECT ExpectedOutline(HWND window) {
    RECT grown = Inflated(RectOf(window), TPickOutline::FrameWidth);
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT shown = {};
    IntersectRect(&shown, &grown, &screen);
    return shown;
}

int RowOfHandle(TNvActionListView& list, HWND handle) {
    for (int row = 0; row < list.RowCount(); ++row)
        if (list.CellText(row, 1) == FormatText("0x%.8x", HandleValue(handle))) return row;
    return -1;
}

void DoubleClickNotify(HWND control) {
    NMHDR click = {control, static_cast<UINT_PTR>(GetDlgCtrlID(control)), NM_DBLCLK};
    SendMessageA(GetParent(control), WM_NOTIFY, click.idFrom, reinterpret_cast<LPARAM>(&click));
}

// Every explicit pick of the Enum, Branch and Processes tabs outlines the window it made the tracked one,
// even when scanning followed the mouse before (the pick stops it first).
TEST_F(PickOutline, PicksInTheEnumBranchAndProcessesTabsOutlineThePickedWindow) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    TEnumTab& enumTab = Tab<TEnumTab>();
    auto enumRow = [&]() {
        TrackWindow(target.MainWindow(), false, true);
        enumTab.SetMode(emCurrentChildren);
        enumTab.SetFindText("");
        enumTab.Enumerate();
        EXPECT_TRUE(WaitForWorker([&enumTab] { return enumTab.Gathering(); }));
        TNvActionListView& list = *enumTab.ListView;
        ListView_SetItemState(list.Handle(), -1, 0, LVIS_SELECTED);
        list.SelectRow(RowOfHandle(list, button));
        return list.Handle();
    };
    TBranchTab& branch = Tab<TBranchTab>();
    auto branchLeaf = [&]() {
        TrackWindow(button, false, true);
        branch.SetStartMode(bsCurrent);
        if (!RebuildAndWait(branch)) return HTREEITEM(nullptr);
        HWND tree = branch.Tree->Handle();
        HTREEITEM node = TreeView_GetRoot(tree); // the button itself, which has no children
        if (reinterpret_cast<HWND>(branch.Tree->NodeData(node)) != button) node = nullptr;
        TreeView_SelectItem(tree, node);
        return node;
    };
    auto branchDoubleClick = [&]() {
        HWND tree = branch.Tree->Handle();
        RECT rect = {};
        TreeView_GetItemRect(tree, branchLeaf(), &rect, TRUE);
        LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        SendMessageA(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
        SendMessageA(tree, WM_LBUTTONUP, 0, point);
    };
    TProcessesTab& processes = Tab<TProcessesTab>();
    auto processRow = [&]() {
        form->PageIndex->SetValue(processes.Sheet->PageIndex());
        PumpMessages(20);
        TrackWindow(form->Handle(), false, true);
        int row = -1;
        for (size_t i = 0; i < processes.Rows().size(); ++i)
            if (processes.Rows()[i].ProcessId == target.ProcessId()) row = static_cast<int>(i);
        processes.ListView->SelectRow(row);
        return processes.ListView->Handle();
    };
    const struct {
        const char* Pick;
        std::function<void()> Run;
        bool OfTargetProcess; // the window is the process's, not a known one
    } picks[] = {
        {"Enum double-click", [&] { DoubleClickNotify(enumRow()); }, false},
        {"Enum Enter", [&] { PressKey(enumRow(), VK_RETURN, ssNone); }, false},
        {"Enum Monitor Selected", [&] { enumRow(), enumTab.RunPopupCommand(cmdEnumMonitor); }, false},
        {"Branch double-click", branchDoubleClick, false},
        {"Branch Enter", [&] { branchLeaf(), PressKey(branch.Tree->Handle(), VK_RETURN, ssNone); }, false},
        {"Branch popup", [&] { branchLeaf(), branch.RunPopupCommand(cmdBranchMonitor); }, false},
        {"Processes double-click", [&] { DoubleClickNotify(processRow()); }, true},
        {"Processes Enter", [&] { PressKey(processRow(), VK_RETURN, ssNone); }, true},
    };
    HWND previous = nullptr;
    for (const auto& pick : picks) {
        SCOPED_TRACE(pick.Pick);
        form->ScanAtMouse->SetValue(true);
        pick.Run();
        EXPECT_FALSE(form->ScanAtMouse->Value);
        ASSERT_NE(TrackedList->Current(), nullptr);
        HWND picked = TrackedList->Current()->Handle;
        if (pick.OfTargetProcess) {
            DWORD process = 0;
            GetWindowThreadProcessId(picked, &process);
            EXPECT_EQ(process, target.ProcessId());
        } else {
            EXPECT_EQ(picked, button);
        }
        HWND outline = PickOutlineWindow();
        ASSERT_NE(outline, nullptr);
        EXPECT_NE(outline, previous) << "a new outline for each pick";
        EXPECT_FALSE(previous && IsWindow(previous)) << "one outline at a time";
        EXPECT_TRUE(SameRect(RectOf(outline), ExpectedOutline(picked)));
        previous = outline;
    }
    EXPECT_TRUE(WatchOutline(previous).Gone);
}

// Refilling the lists while scanning follows the mouse is no pick.
TEST_F(PickOutline, NoneWhenTheTabsRefillWhileScanning) {
    TrackWindow(target.MainWindow(), false, true);
    form->ScanAtMouse->SetValue(true);
    Tab<TEnumTab>().SetMode(emCurrentChildren);
    Tab<TEnumTab>().Enumerate();
    Tab<TBranchTab>().RebuildTree();
    Tab<TProcessesTab>().ReloadProcesses();
    for (int tick = 0; tick < 5; ++tick)
        form->FastTick();
    PumpMessages(20);
    EXPECT_EQ(PickOutlineWindow(), nullptr);
    EXPECT_TRUE(form->ScanAtMouse->Value);
}

} // namespace
