// The soak: Paneprobe follows the pointer with every tab shown in turn, and its process's objects, handles
// and private bytes are sampled every second. Object and handle counts must not grow from the first minute
// to the last; memory may grow only a little.
#include "StressSupport.h"

#include "FormFixture.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>

namespace {

const DWORD SampleEveryMs = 1000;
const DWORD SwitchTabEveryMs = 3000;
const DWORD MovePointerEveryMs = 400;
const SIZE_T MemoryGrowthBound = 4 * 1024 * 1024;

struct TSample {
    long long Gdi = 0, User = 0, Handles = 0, PrivateBytes = 0, Windows = 0;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM context) {
    ++*reinterpret_cast<long long*>(context);
    EnumChildWindows(window, CountWindow, context);
    return TRUE;
}

TSample TakeSample() {
    TSample sample;
    HANDLE self = GetCurrentProcess();
    sample.Gdi = GetGuiResources(self, GR_GDIOBJECTS);
    sample.User = GetGuiResources(self, GR_USEROBJECTS);
    DWORD handles = 0;
    if (GetProcessHandleCount(self, &handles)) sample.Handles = handles;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        // Wine leaves PrivateUsage at 0; the commit charge is the same private memory under its older name.
        sample.PrivateBytes =
            static_cast<long long>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
    // The windows of this thread: what the platform counts among the USER objects, countable everywhere.
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&sample.Windows));
    return sample;
}

// The largest value of each figure over samples [first, last).
TSample Peak(const std::vector<TSample>& samples, size_t first, size_t last) {
    TSample peak;
    for (size_t i = first; i < last && i < samples.size(); ++i) {
        const TSample& s = samples[i];
        peak.Gdi = std::max(peak.Gdi, s.Gdi), peak.User = std::max(peak.User, s.User);
        peak.Handles = std::max(peak.Handles, s.Handles), peak.Windows = std::max(peak.Windows, s.Windows);
        peak.PrivateBytes = std::max(peak.PrivateBytes, s.PrivateBytes);
    }
    return peak;
}

std::string Growth(long long first, long long last) {
    return std::to_string(first) + " -> " + std::to_string(last) + " (" + std::to_string(last - first) + ")";
}

TEST(StressRun, Soak) {
    const int seconds = RunSeconds(60, 600);
    DeleteFileA(SettingsPath().c_str());
    WriteSettings("[window]\r\nleft=560\r\ntop=480\r\n");
    TChurnTarget target;
    ASSERT_NE(target.MainWindow(), nullptr);
    auto form = std::make_unique<TPaneprobeForm>();
    const int tabCount = form->TabManager->Count();
    std::vector<TSample> samples;
    int switches = 0, hangs = 0;
    {
        TUiWatchdog watchdog(form->Handle());
        form->ScanAtMouse->SetValue(true);
        // Every tab once before the first sample: what a tab builds when first shown is not growth.
        for (int i = 0; i < tabCount; ++i) {
            form->PageIndex->SetValue(i);
            PumpMessages(300);
        }
        DWORD start = GetTickCount(), nextSample = 0, nextSwitch = SwitchTabEveryMs, nextMove = 0;
        for (DWORD now = 0; now < static_cast<DWORD>(seconds) * 1000; now = GetTickCount() - start) {
            if (now >= nextMove) {
                SetCursorPos(2 + RandomBelow(TChurnTarget::AreaWidth - 4),
                             2 + RandomBelow(TChurnTarget::AreaHeight - 4));
                nextMove += MovePointerEveryMs;
            }
            if (now >= nextSwitch) {
                form->PageIndex->SetValue((form->PageIndex->Value + 1) % tabCount);
                ++switches;
                nextSwitch += SwitchTabEveryMs;
            }
            if (now >= nextSample) {
                samples.push_back(TakeSample());
                nextSample += SampleEveryMs;
            }
            PumpMessages(20);
        }
        hangs = watchdog.Hangs();
    }
    form->ScanAtMouse->SetValue(false);
    form.reset();
    DeleteFileA(SettingsPath().c_str());

    ASSERT_GE(samples.size(), 8u);
    // The first and the last minute; in a short run, its first and last quarter.
    size_t span = std::min<size_t>(60, samples.size() / 4);
    TSample first = Peak(samples, 0, span), last = Peak(samples, samples.size() - span, samples.size());
    const std::string name = "soak";
    PrintFigure(name, "seconds", std::to_string(seconds));
    PrintFigure(name, "samples",
                std::to_string(samples.size()) + " (compared: first and last " + std::to_string(span) + ")");
    PrintFigure(name, "tab switches", std::to_string(switches));
    PrintFigure(name, "GDI objects",
                first.Gdi || last.Gdi ? Growth(first.Gdi, last.Gdi) : "not reported here");
    PrintFigure(name, "USER objects",
                first.User || last.User ? Growth(first.User, last.User) : "not reported here");
    PrintFigure(name, "windows of the process", Growth(first.Windows, last.Windows));
    PrintFigure(name, "handles",
                first.Handles || last.Handles ? Growth(first.Handles, last.Handles) : "not reported here");
    PrintFigure(name, "private bytes", Growth(first.PrivateBytes, last.PrivateBytes));
    PrintFigure(name, "hangs (2 s)", std::to_string(hangs));
    EXPECT_EQ(hangs, 0);
    EXPECT_LE(last.Gdi, first.Gdi);
    EXPECT_LE(last.User, first.User);
    EXPECT_LE(last.Windows, first.Windows);
    EXPECT_LE(last.Handles, first.Handles);
    EXPECT_LE(last.PrivateBytes, first.PrivateBytes + static_cast<long long>(MemoryGrowthBound));
    EXPECT_GE(switches, tabCount) << "not every tab was shown";
}

} // namespace
