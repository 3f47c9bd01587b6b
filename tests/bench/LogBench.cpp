// The message log's figures, side by side in one run: the target's cost of the hook, the throughput with the
// log window showing, Paneprobe's longest stall while logging, and the memory per recorded message.
#include "msglog/MessageLogs.h"
#include "tests/win32/TargetProcess.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>

namespace {

const UINT BurstRequest = WM_APP + 2; // the target sends itself this many WM_USER + 3 messages
const uint32_t BenchCapacity = 1u << 18;

double Seconds() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

double Burst(HWND target, WPARAM count) {
    double start = Seconds();
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(target, BurstRequest, count, 0, SMTO_NORMAL, 60000, &unused);
    return Seconds() - start;
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PrivateUsage;
}

} // namespace

void RunLogBench() {
    // A target of its own: the one of the other figures ends itself after a minute.
    TTargetProcess target("logbench");
    HWND window = target.MainWindow();
    TMessageLogs logs(nullptr);
    std::printf("\nMessage log (ring of %u records of %u bytes):\n", BenchCapacity,
                static_cast<unsigned>(sizeof(TLogRecord)));

    // The target's cost: the same burst of 100,000 sent messages, alternately without and with the hooks.
    const WPARAM burst = 100000;
    double bare = 1e9, hooked = 1e9;
    for (int round = 0; round < 3; ++round) {
        bare = std::min(bare, Burst(window, burst));
        TMessageLogForm& log = logs.Open(window, BenchCapacity);
        for (int i = 0; i < 200 && !log.Channel->Attached(); ++i) {
            Pump();
            Sleep(5);
        }
        hooked = std::min(hooked, Burst(window, burst));
        log.Drain();
        logs.CloseAll();
        Pump();
    }
    std::printf("  target's cost: %.0f ms bare, %.0f ms hooked for %u sent messages: %.2fx (at most 1.3x)\n",
                bare * 1000, hooked * 1000, static_cast<unsigned>(burst), hooked / bare);

    // Throughput and stall: bursts posted to the target for ten seconds while the log window drains and
    // shows them; the longest pass of this thread's message loop is Paneprobe's longest stall.
    TMessageLogForm& log = logs.Open(window, BenchCapacity);
    for (int i = 0; i < 200 && !log.Channel->Attached(); ++i) {
        Pump();
        Sleep(5);
    }
    size_t memoryBefore = PrivateBytes();
    const WPARAM perPost = 5000;
    double start = Seconds(), last = start, longest = 0, nextPost = start;
    while (last - start < 10.0) {
        if (last >= nextPost) {
            PostMessageA(window, BurstRequest, perPost, 0);
            nextPost += 0.05; // 100,000 sent messages a second, 200,000 records
        }
        Pump();
        Sleep(1);
        double now = Seconds();
        longest = std::max(longest, now - last);
        last = now;
    }
    Burst(window, 0);
    log.Drain();
    double elapsed = Seconds() - start;
    size_t recorded = log.Rows.RecordedCount();
    size_t memoryAfter = PrivateBytes();
    std::printf(
        "  throughput: %.0f records a second recorded for %.1f s, %u dropped (at least 200,000 without a "
        "drop)\n",
        static_cast<double>(recorded) / elapsed, elapsed, log.Channel->Dropped());
    std::printf("  longest stall of Paneprobe's loop while logging: %.1f ms (at most 50 ms)\n",
                longest * 1000);
    std::printf("  memory: %.1f bytes per recorded message (at most 64)\n",
                recorded ? static_cast<double>(memoryAfter - memoryBefore) / static_cast<double>(recorded)
                         : 0.0);
    logs.CloseAll();
}
