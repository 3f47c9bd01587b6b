// The large desktop: Enum in its first three modes, Branch from the desktop, a Processes refresh and the
// tick, each against the bare enumeration in the same run, at a quarter and at the full size, with the
// longest time the user-interface thread was busy at once.
#include "ScaleBench.h"

#include "BenchClock.h"
#include "BenchTimers.h"
#include "PagePaintBench.h"

#include "app/QrLib.h"
#include "config/EasyConfig.h"
#include "processes/TabProcesses.h"
#include "tabs/TabBranch.h"
#include "tabs/TabEnum.h"
#include "tests/target/TargetScale.h"
#include "tests/win32/TargetProcess.h"
#include "ui/WinHandles.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

const int ChildrenPerWindow = 10;
const DWORD ReadyLimitMs = 120000;

// How long it took in all, and the longest stretch the user-interface thread spent without returning to
// its message loop.
struct TTimed {
    double Total = 0;
    double LongestStall = 0;
    std::string LongestWhat; // the message that stalled longest, and its window's class
};

std::string MessageWhat(const MSG& message) {
    char className[64] = "";
    if (message.hwnd) GetClassNameA(message.hwnd, className, sizeof className);
    return FormatText("message 0x%04x to %s", message.message, message.hwnd ? className : "the thread");
}

// Runs start, then handles messages one at a time until busy is false; each handled message is one stretch.
TTimed TimeUntilIdle(const std::function<void()>& start, const std::function<bool()>& busy) {
    TTimed timed;
    const double begin = Seconds();
    start();
    timed.LongestStall = Seconds() - begin;
    for (DWORD started = GetTickCount(); GetTickCount() - started < ReadyLimitMs;) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            const double before = Seconds();
            DispatchMessageA(&message);
            if (Seconds() - before > timed.LongestStall) {
                timed.LongestStall = Seconds() - before;
                timed.LongestWhat = MessageWhat(message);
            }
            continue;
        }
        if (!busy()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    timed.Total = Seconds() - begin;
    return timed;
}

// The lower total of two runs, a quieter system's figure; but the longer stall, since the first run may
// have had more to change (rows added) and the user feels the worst.
TTimed BestOfTwo(const std::function<void()>& start, const std::function<bool()>& busy) {
    TTimed first = TimeUntilIdle(start, busy), second = TimeUntilIdle(start, busy);
    TTimed best = first.Total <= second.Total ? first : second;
    const TTimed& stalled = first.LongestStall >= second.LongestStall ? first : second;
    best.LongestStall = stalled.LongestStall;
    best.LongestWhat = stalled.LongestWhat;
    return best;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The bare enumeration: the platform's list and, per window, the reads one list row needs.
size_t BareEnumeration(bool allWindows) {
    std::vector<HWND> windows;
    if (allWindows)
        EnumChildWindows(GetDesktopWindow(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    else
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND window : windows) {
        DWORD processId = 0;
        char className[260];
        wchar_t caption[260];
        volatile HWND parent = GetParent(window);
        volatile DWORD thread = GetWindowThreadProcessId(window, &processId);
        volatile LONG style = GetWindowLongA(window, GWL_STYLE);
        GetClassNameA(window, className, sizeof className);
        InternalGetWindowText(window, caption, 260);
        (void)parent, (void)thread, (void)style;
    }
    return windows.size();
}

int CountProcesses() {
    int count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        ++count;
    CloseHandle(snapshot);
    return count;
}

struct TSizeFigures {
    size_t TopLevel = 0, AllWindows = 0;
    int ProcessCount = 0;
    TTimed BareTop, BareAll, Enum[3], Branch, Processes, Tick;
    std::vector<std::string> PagePaints;
};

void PrintRow(const char* what, const TTimed& timed, size_t windows, const TTimed& bare) {
    std::printf("  %-30s %9.1f ms %8.2f us/window %7.2fx bare   longest stall %8.1f ms%s%s\n", what,
                timed.Total * 1e3, timed.Total * 1e6 / static_cast<double>(std::max<size_t>(windows, 1)),
                timed.Total / std::max(bare.Total, 1e-9), timed.LongestStall * 1e3,
                timed.LongestWhat.empty() ? " (starting)" : ", ", timed.LongestWhat.c_str());
}

// The tick over the scale target's main window, following the mouse; Total is per tick.
TTimed TimeTicks(TPaneprobeForm& form, HWND over) {
    RECT rect = {};
    SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    GetWindowRect(over, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    form.ScanAtMouse->SetValue(true);
    const int ticks = 200;
    TTimed tick;
    const double begin = Seconds();
    for (int i = 0; i < ticks; ++i) {
        const double start = Seconds();
        form.FastTick();
        tick.LongestStall = std::max(tick.LongestStall, Seconds() - start);
    }
    tick.Total = (Seconds() - begin) / ticks;
    form.ScanAtMouse->SetValue(false);
    return tick;
}

void ShowPage(TPaneprobeForm& form, TPaneprobeTab& tab) {
    form.PageIndex->SetValue(tab.Sheet->PageIndex());
    HoldFormTimers(form);
}

bool MeasureSize(TPaneprobeForm& form, int topLevel, int processes, TSizeFigures& figures) {
    auto* enumTab = static_cast<TEnumTab*>(form.TabManager->FindTab(TabClassOf<TEnumTab>()));
    auto* branch = static_cast<TBranchTab*>(form.TabManager->FindTab(TabClassOf<TBranchTab>()));
    auto* processTab = static_cast<TProcessesTab*>(form.TabManager->FindTab(TabClassOf<TProcessesTab>()));
    if (!enumTab || !branch || !processTab) return false;
    // The target and its copies end with this process, also when it ends early.
    TTargetProcess target(FormatText("scale%d scale windows=%d children=%d processes=%d parent=%lu", topLevel,
                                     topLevel, ChildrenPerWindow, processes,
                                     static_cast<unsigned long>(GetCurrentProcessId())));
    // The main window comes last, after tens of thousands of others: it may take longer than a test's wait.
    const std::string caption = FormatText("Paneprobe Target scale%d", topLevel);
    HWND main = target.MainWindow();
    for (DWORD started = GetTickCount();
         !main && target.Running() && GetTickCount() - started < ReadyLimitMs;) {
        Sleep(100);
        main = FindWindowA("PaneprobeTargetMain", caption.c_str());
    }
    if (!main) {
        std::printf("  the scale target did not start\n");
        return false;
    }
    // Each copy says when it has started up: measuring while they start would measure their start-up.
    TKernelHandle ready(CreateSemaphoreA(nullptr, 0, 100000, ScaleReadyName(target.ProcessId()).c_str()));
    for (int copy = 0; ready && copy < processes; ++copy)
        if (WaitForSingleObject(ready.Get(), ReadyLimitMs) != WAIT_OBJECT_0) break;
    Sleep(1000);
    figures.ProcessCount = CountProcesses();
    auto idle = [] { return false; };
    figures.BareTop = BestOfTwo([&figures] { figures.TopLevel = BareEnumeration(false); }, idle);
    figures.BareAll = BestOfTwo([&figures] { figures.AllWindows = BareEnumeration(true); }, idle);

    ShowPage(form, *enumTab);
    // "Children of Current Window" with the desktop tracked: every window of the desktop.
    TrackWindow(GetDesktopWindow(), false, true);
    enumTab->SetFindText("");
    for (int mode = emTopLevel; mode <= emCurrentChildren; ++mode) {
        enumTab->SetMode(mode);
        figures.Enum[mode] =
            BestOfTwo([enumTab] { enumTab->Enumerate(); }, [enumTab] { return enumTab->Gathering(); });
    }
    ShowPage(form, *branch);
    branch->SetStartMode(bsDesktop);
    figures.Branch = BestOfTwo([branch] { branch->RebuildTree(); }, [branch] { return branch->Building(); });
    ShowPage(form, *processTab);
    figures.Processes = BestOfTwo([processTab] { processTab->ReloadProcesses(); },
                                  [processTab] { return processTab->Gathering(); });
    if (topLevel >= 2000) { // the Enum list still holds every window of the desktop
        ShowPage(form, *enumTab);
        figures.PagePaints.push_back(PagePaint("Enum list", enumTab->ListView->Handle(), TPageKind::List));
        ShowPage(form, *processTab);
        figures.PagePaints.push_back(
            PagePaint("Processes list (drawn by the tab)", processTab->ListView->Handle(), TPageKind::List));
        figures.PagePaints.push_back(
            PagePaint("tab control (nine tabs)", form.PageControl->Handle(), TPageKind::Tabs));
    }
    figures.Tick = TimeTicks(form, main);
    // Emptied again, so that the next size starts from the same lists.
    TrackWindow(form.Handle(), false, true);
    enumTab->SetMode(emFind);
    enumTab->SetFindText("0");
    enumTab->Enumerate();
    branch->SetStartMode(bsCurrent);
    branch->RebuildTree();
    return true;
}

void PrintSize(const char* title, const TSizeFigures& f) {
    std::printf("\n%s: %zu top-level windows, %zu windows in all, %d processes running\n", title, f.TopLevel,
                f.AllWindows, f.ProcessCount);
    PrintRow("bare enumeration, top level", f.BareTop, f.TopLevel, f.BareTop);
    PrintRow("bare enumeration, all windows", f.BareAll, f.AllWindows, f.BareAll);
    PrintRow("Enum 0, top-level windows", f.Enum[0], f.TopLevel, f.BareTop);
    PrintRow("Enum 1, children of desktop", f.Enum[1], f.AllWindows, f.BareAll);
    PrintRow("Enum 2, children of current", f.Enum[2], f.AllWindows, f.BareAll);
    PrintRow("Branch from the desktop", f.Branch, f.AllWindows, f.BareAll);
    PrintRow("Processes refresh (per window)", f.Processes, f.TopLevel, f.BareTop);
    std::printf("  %-30s %9.1f us per tick, longest tick %.1f ms\n", "tick, following the mouse",
                f.Tick.Total * 1e6, f.Tick.LongestStall * 1e3);
    if (f.PagePaints.empty()) return;
    std::printf("  %s\n", PagePaintTitle());
    for (const std::string& line : f.PagePaints)
        std::printf("    %s\n", line.c_str());
}

double PerWindow(const TTimed& timed, size_t windows) {
    return timed.Total / static_cast<double>(std::max<size_t>(windows, 1));
}

void PrintGrowth(const TSizeFigures& small, const TSizeFigures& full) {
    std::printf("\nGrowth from a quarter to the full size, cost per window (1.00 = in proportion):\n");
    struct TGrowthRow {
        const char* What;
        const TTimed& Small;
        const TTimed& Full;
        bool All; // per window of the whole desktop, else per top-level window
    };
    const TGrowthRow rows[] = {{"bare enumeration, top level", small.BareTop, full.BareTop, false},
                               {"bare enumeration, all windows", small.BareAll, full.BareAll, true},
                               {"Enum 0", small.Enum[0], full.Enum[0], false},
                               {"Enum 1", small.Enum[1], full.Enum[1], true},
                               {"Enum 2", small.Enum[2], full.Enum[2], true},
                               {"Branch from the desktop", small.Branch, full.Branch, true},
                               {"Processes refresh", small.Processes, full.Processes, false}};
    for (const TGrowthRow& row : rows) {
        const double before = PerWindow(row.Small, row.All ? small.AllWindows : small.TopLevel);
        const double after = PerWindow(row.Full, row.All ? full.AllWindows : full.TopLevel);
        std::printf("  %-30s %.2f\n", row.What, after / std::max(before, 1e-12));
    }
    std::printf("  %-30s %.2f (per tick)\n", "tick", full.Tick.Total / std::max(small.Tick.Total, 1e-12));
}

} // namespace

void RunScaleBench(TPaneprobeForm& form) {
    std::printf("\nLarge desktop (%d children per top-level window, idle processes of the target):\n",
                ChildrenPerWindow);
    TSizeFigures small, full;
    if (!MeasureSize(form, 500, 50, small)) return;
    PrintSize("A quarter", small);
    if (!MeasureSize(form, 2000, 200, full)) return;
    PrintSize("Full size", full);
    PrintGrowth(small, full);
}
