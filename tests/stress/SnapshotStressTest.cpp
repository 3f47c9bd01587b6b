// Snapshots of windows that come and go: the churn program's windows are saved and compared over and over,
// each differences window opened and closed, while Paneprobe's objects and handles must stay steady.
#include "StressSupport.h"

#include "ShellTestSupport.h"
#include "snapshot/Snapshots.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>

namespace {

struct TCounts {
    long long Gdi = 0, User = 0, Handles = 0, Windows = 0, PrivateBytes = 0;
};

const long long MemoryGrowthBound = 4 * 1024 * 1024;

BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
    ++*reinterpret_cast<long long*>(context);
    EnumChildWindows(window, CountWindow, context);
    return TRUE;
}

TCounts Counts() {
    TCounts counts;
    HANDLE self = GetCurrentProcess();
    counts.Gdi = GetGuiResources(self, GR_GDIOBJECTS);
    counts.User = GetGuiResources(self, GR_USEROBJECTS);
    DWORD handles = 0;
    if (GetProcessHandleCount(self, &handles)) counts.Handles = handles;
    // Wine counts no objects and handles: the windows of this thread and the private memory count there.
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&counts.Windows));
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        counts.PrivateBytes =
            static_cast<long long>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
    return counts;
}

TCounts Peak(const std::vector<TCounts>& samples, size_t first, size_t last) {
    TCounts peak;
    for (size_t i = first; i < last && i < samples.size(); ++i) {
        peak.Gdi = std::max(peak.Gdi, samples[i].Gdi);
        peak.User = std::max(peak.User, samples[i].User);
        peak.Handles = std::max(peak.Handles, samples[i].Handles);
        peak.Windows = std::max(peak.Windows, samples[i].Windows);
        peak.PrivateBytes = std::max(peak.PrivateBytes, samples[i].PrivateBytes);
    }
    return peak;
}

void PrivateFigures(const TCounts& early, const TCounts& late) {
    PrintFigure("SnapshotsOfChangingWindows", "windows early/late",
                std::to_string(early.Windows) + "/" + std::to_string(late.Windows));
    PrintFigure("SnapshotsOfChangingWindows", "private KB early/late",
                std::to_string(early.PrivateBytes / 1024) + "/" + std::to_string(late.PrivateBytes / 1024));
}

} // namespace

TEST(StressRun, SnapshotsOfChangingWindows) {
    const int seconds = RunSeconds(20, 300);
    TChurnTarget target;
    ASSERT_NE(target.MainWindow(), nullptr);
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "paneprobe-snapshot-stress.txt";
    TSnapshots snapshots;
    std::vector<TCounts> samples;
    int rounds = 0, failures = 0;
    size_t differences = 0;
    DWORD slowest = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000 && target.Running()) {
        const DWORD began = GetTickCount();
        std::string error = snapshots.SaveTo(target.MainWindow(), path);
        TSnapshotDiffForm* form =
            error.empty() ? snapshots.CompareWith(target.MainWindow(), path, error) : nullptr;
        if (form) differences += form->Differences.size();
        failures += form ? 0 : 1;
        PumpMessages(static_cast<DWORD>(RandomBelow(30)));
        snapshots.CloseAll();
        slowest = std::max(slowest, GetTickCount() - began);
        ++rounds;
        samples.push_back(Counts());
    }
    DeleteFileA(path.c_str());
    ASSERT_GE(samples.size(), 8u) << "too few rounds to judge";
    // The first rounds build what a first differences window needs once; growth is judged after them.
    const size_t quarter = samples.size() / 4;
    const TCounts early = Peak(samples, 0, quarter),
                  late = Peak(samples, samples.size() - quarter, samples.size());
    PrintFigure("SnapshotsOfChangingWindows", "rounds", std::to_string(rounds));
    PrintFigure("SnapshotsOfChangingWindows", "differences seen", std::to_string(differences));
    PrintFigure("SnapshotsOfChangingWindows", "slowest round ms", std::to_string(slowest));
    PrintFigure("SnapshotsOfChangingWindows", "GDI early/late",
                std::to_string(early.Gdi) + "/" + std::to_string(late.Gdi));
    PrintFigure("SnapshotsOfChangingWindows", "USER early/late",
                std::to_string(early.User) + "/" + std::to_string(late.User));
    PrintFigure("SnapshotsOfChangingWindows", "handles early/late",
                std::to_string(early.Handles) + "/" + std::to_string(late.Handles));
    PrivateFigures(early, late);
    EXPECT_EQ(failures, 0);
    EXPECT_GT(differences, 0u) << "the churn changes the windows between a save and its comparison";
    EXPECT_LE(late.Gdi, early.Gdi);
    EXPECT_LE(late.User, early.User);
    EXPECT_LE(late.Handles, early.Handles);
    EXPECT_LE(late.Windows, early.Windows);
    EXPECT_LE(late.PrivateBytes, early.PrivateBytes + MemoryGrowthBound);
}
