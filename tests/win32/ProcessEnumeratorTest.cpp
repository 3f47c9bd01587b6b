// The process enumerator against the real system: the test program, the target program and its child.
#include "TargetProcess.h"
#include "Watchdog.h"
#include "processes/ProcessEnumerator.h"

#include <gtest/gtest.h>

namespace {

uint64_t FileTimeNow() {
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// The child that a "spawn" target starts, found by its main window once shown (while it is being created
// the child's other windows rank above it as its process's window); waits at most five seconds.
HWND WaitForWindow(const std::string& caption) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        HWND window = FindWindowA("PaneprobeTargetMain", caption.c_str());
        if (window && IsWindowVisible(window)) return window;
        Sleep(25);
    }
    return nullptr;
}

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

TEST(ProcessEnumerator, SnapshotListsRunningProcessesWithTheirFacts) {
    TTargetProcess target("enumfacts");
    ASSERT_NE(target.MainWindow(), nullptr);
    TProcessEnumerator enumerator;
    enumerator.Snapshot();
    ASSERT_GT(enumerator.Count(), 2);
    const TProcess* own = enumerator.FindById(GetCurrentProcessId());
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->ExeFile, "paneprobe_win_tests.exe");
    EXPECT_GE(own->ThreadCount, 1u);
    const TProcess* listed = enumerator.FindById(target.ProcessId());
    ASSERT_NE(listed, nullptr);
    EXPECT_EQ(listed->ExeFile, "PaneprobeTarget.exe");
    EXPECT_EQ(listed->ParentProcessId, GetCurrentProcessId());
    EXPECT_EQ(listed->Window, 0u) << "windows come from FindWindows";
    EXPECT_EQ(listed->CreationTime, 0u) << "times come from ReadTimes";

    enumerator.FindWindows();
    enumerator.BuildTree();
    const TProcess* child = enumerator.FindById(target.ProcessId());
    ASSERT_NE(child, nullptr);
    // The target's main window is created last, so it is the topmost of three windows that score 6.
    EXPECT_EQ(child->Window, reinterpret_cast<uintptr_t>(target.MainWindow()));
    EXPECT_EQ(TProcessEnumerator::WindowScore(target.MainWindow()), 6);
    EXPECT_EQ(child->Parent, enumerator.FindById(GetCurrentProcessId()));
    EXPECT_EQ(child->Depth, own->Depth + 1);

    TProcess copy = *child;
    enumerator.ReadTimes(copy);
    EXPECT_NE(copy.CreationTime, 0u);
    EXPECT_LE(copy.CreationTime, FileTimeNow());
    EXPECT_EQ(copy.ExitTime, 0u) << "still running";
    std::string path = enumerator.ImagePath(copy);
    EXPECT_EQ(path, TestProgramFolder() + "PaneprobeTarget.exe");
}

TEST(ProcessEnumerator, ProcessesThatCannotBeAskedGiveNothing) {
    TProcessEnumerator enumerator;
    TProcess idle;
    EXPECT_EQ(enumerator.ImagePath(idle), "") << "process 0";
    TProcess gone;
    gone.ProcessId = 0xFFFFFFF0; // no process has it
    enumerator.ReadTimes(gone);
    EXPECT_EQ(gone.CreationTime, 0u);
    EXPECT_EQ(enumerator.ImagePath(gone), "");
}

TEST(ProcessEnumerator, WindowScoresOfWindowsOfThisProcess) {
    HWND best = CreateWindowExA(0, "STATIC", "titled", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 50, 40,
                                nullptr, nullptr, nullptr, nullptr);
    HWND owned = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, best, nullptr, nullptr, nullptr);
    ASSERT_NE(best, nullptr);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(TProcessEnumerator::WindowScore(best), 6);
    EXPECT_EQ(TProcessEnumerator::WindowScore(owned), 0) << "untitled, owned, empty, border-less, hidden";
    TProcessEnumerator enumerator;
    enumerator.Snapshot();
    enumerator.FindWindows();
    TProcess* own = enumerator.FindById(GetCurrentProcessId());
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own->Window, reinterpret_cast<uintptr_t>(owned)) << "a window of score 0 is never chosen";
    EXPECT_EQ(TProcessEnumerator::WindowScore(reinterpret_cast<HWND>(own->Window)), 6);
    DestroyWindow(owned);
    DestroyWindow(best);
}

TEST(ProcessEnumerator, AProcessStartedAfterTheSnapshotLendsNothingToItsIdentifier) {
    TTargetProcess target("enumlater");
    ASSERT_NE(target.MainWindow(), nullptr);
    TProcessEnumerator enumerator;
    enumerator.SnapshotTime = FileTimeNow() - 10ULL * 60 * 10000000; // ten minutes ago
    TProcess listed;
    listed.ProcessId = target.ProcessId();
    listed.Window = reinterpret_cast<uintptr_t>(target.MainWindow());
    enumerator.ReadTimes(listed);
    EXPECT_EQ(listed.CreationTime, 0u) << "the running process is not the one the snapshot listed";
    EXPECT_EQ(listed.Window, 0u) << "nor is its window";
    EXPECT_EQ(enumerator.ImagePath(listed), "");

    enumerator.SnapshotTime = FileTimeNow();
    listed.Window = reinterpret_cast<uintptr_t>(target.MainWindow());
    enumerator.ReadTimes(listed);
    EXPECT_NE(listed.CreationTime, 0u) << "listed after it started: its own values";
    EXPECT_NE(enumerator.ImagePath(listed), "");
}

TEST(ProcessEnumerator, MissingToolHelpGivesAnEmptyList) {
    const TToolHelp none = LoadToolHelp(GetModuleHandleA("user32.dll"));
    EXPECT_EQ(none.CreateSnapshot, nullptr);
    TProcessEnumerator enumerator(&none);
    enumerator.Snapshot();
    EXPECT_EQ(enumerator.Count(), 0);

    const TToolHelp kernel = LoadToolHelp(GetModuleHandleA("kernel32.dll"));
    ASSERT_NE(kernel.CreateSnapshot, nullptr);
    EXPECT_NE(kernel.First, nullptr);
    EXPECT_NE(kernel.Next, nullptr);
    TProcessEnumerator real(&kernel);
    real.Snapshot();
    EXPECT_NE(real.FindById(GetCurrentProcessId()), nullptr);
}

TEST(ProcessEnumerator, AChildProcessSitsUnderItsParent) {
    TTargetProcess parent("enumkin spawn");
    ASSERT_NE(parent.MainWindow(), nullptr);
    HWND childWindow = WaitForWindow("Paneprobe Target enumkin-child");
    ASSERT_NE(childWindow, nullptr) << "the child did not start";
    DWORD childId = ProcessOf(childWindow);
    // The child's other windows score as well as its main one, and whether the main one comes up above them
    // depends on activation across programs: raised, it is the child's topmost and so its window.
    ASSERT_TRUE(SetWindowPos(childWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    TProcessEnumerator enumerator;
    enumerator.Snapshot();
    enumerator.FindWindows();
    enumerator.BuildTree();
    int parentAt = -1, childAt = -1;
    for (int i = 0; i < enumerator.Count(); ++i) {
        if (enumerator.Item(i).ProcessId == parent.ProcessId()) parentAt = i;
        if (enumerator.Item(i).ProcessId == childId) childAt = i;
    }
    EndProcessById(childId);
    ASSERT_GE(parentAt, 0);
    ASSERT_GE(childAt, 0);
    EXPECT_EQ(childAt, parentAt + 1) << "directly behind its parent";
    EXPECT_EQ(enumerator.Item(childAt).Depth, enumerator.Item(parentAt).Depth + 1);
    EXPECT_EQ(enumerator.Item(childAt).Window, reinterpret_cast<uintptr_t>(childWindow));
}

} // namespace
