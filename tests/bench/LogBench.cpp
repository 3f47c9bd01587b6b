// The message log's figures, side by side in one run: the target's cost of the hook (against the platform's
// cost of any hook, measured with an empty hook module), the throughput with the log window showing,
// Paneprobe's longest stall while logging, and the memory per recorded message.
#include "msglog/MessageLogs.h"
#include "tests/win32/TargetProcess.h"

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

// Returns the longest single dispatch, so that a stall is pinned on the message that caused it.
double Pump(UINT* slowest = nullptr) {
    MSG message;
    double longest = 0;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        double start = Seconds();
        TranslateMessage(&message);
        DispatchMessageA(&message);
        double took = Seconds() - start;
        if (took > longest) {
            longest = took;
            if (slowest) *slowest = message.message;
        }
    }
    return longest;
}

double Burst(HWND target, WPARAM count) {
    double start = Seconds();
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(target, BurstRequest, count, 0, SMTO_NORMAL, 120000, &unused);
    return Seconds() - start;
}

bool WaitAttached(TMessageLogForm& log) {
    for (int i = 0; i < 400 && !log.Channel->Attached(); ++i) {
        Pump();
        Sleep(5);
    }
    return log.Channel->Attached();
}

} // namespace

void RunLogBench() {
    // A target of its own: the one of the other figures ends itself after a minute.
    TTargetProcess target("logbench");
    HWND window = target.MainWindow();
    if (!window) {
        std::printf("\nMessage log: the target program did not start.\n");
        return;
    }
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    TMessageLogs logs(nullptr);
    std::printf("\nMessage log (ring of %u records of %u bytes, %u KB):\n", BenchCapacity,
                static_cast<unsigned>(sizeof(TLogRecord)),
                static_cast<unsigned>(LogRingBytes(BenchCapacity) / 1024));

    // The target's cost: the same burst of sent messages without hooks, with the empty hook module set the
    // same way (the platform's floor for any hook in another process), and with the log's hooks.
    const WPARAM burst = 100000;
    TLogHooks empty(TestProgramFolder(), "PaneprobeBenchEmptyHook.dll");
    double bare = 1e9, floor = 1e9, hooked = 1e9;
    std::string error;
    bool emptySet = true;
    for (int round = 0; round < 3; ++round) {
        bare = std::min(bare, Burst(window, burst));
        if (empty.Acquire(thread, error)) {
            Burst(window, 1); // the module is loaded into the target before the burst is timed
            floor = std::min(floor, Burst(window, burst));
            empty.Release(thread);
        } else {
            emptySet = false;
        }
        TMessageLogForm& log = logs.Open(window, BenchCapacity);
        log.DrainOnTimer = false; // a burst fills less than the ring, and nothing else runs here meanwhile
        WaitAttached(log);
        hooked = std::min(hooked, Burst(window, burst));
        while (log.Channel->Waiting() > 0)
            log.Drain();
        logs.CloseAll();
        Pump();
    }
    std::printf("  target's cost: %u sent messages take %.0f ms bare, %.0f ms with an empty hook module, "
                "%.0f ms with the log's hooks\n",
                static_cast<unsigned>(burst), bare * 1000, emptySet ? floor * 1000 : 0.0, hooked * 1000);
    std::printf("    the log's hooks against bare: %.2fx (at most 1.3x)\n", hooked / bare);
    if (emptySet)
        std::printf("    the platform's floor (empty hook against bare): %.2fx; the log's hooks against the "
                    "floor: %.2fx\n",
                    floor / bare, hooked / floor);
    else
        std::printf("    the empty hook module could not be set: %s\n", error.c_str());

    // Throughput and stall: bursts posted to the target for ten seconds while the log window drains and
    // shows them; the longest pass of this thread's message loop is Paneprobe's longest stall.
    TMessageLogForm& log = logs.Open(window, BenchCapacity);
    WaitAttached(log);
    log.Drain();
    log.Clear();
    const double postEvery = 0.05;
    const WPARAM perPost = 5000; // 100,000 sent messages a second: 200,000 records
    double start = Seconds(), last = start, longest = 0, longestDispatch = 0, nextPost = start;
    UINT slowest = 0;
    double longestPeek = 0; // a peek handles the messages other threads send here before it returns
    uint64_t posted = 0;    // records asked for
    auto taken = [&log] {
        return log.Rows.RecordedCount() + log.Channel->Waiting() + log.Channel->Dropped();
    };
    while (last - start < 10.0) {
        // A target slower than the rate offered gets no more than two bursts ahead, so that the queue stays
        // short and the run ends with the ten seconds.
        if (last >= nextPost) {
            if (posted < taken() + 4 * perPost) {
                PostMessageA(window, BurstRequest, perPost, 0);
                posted += 2 * perPost;
            }
            nextPost += postEvery;
        }
        UINT message = 0;
        double peekStart = Seconds();
        MSG unused;
        PeekMessageA(&unused, nullptr, 0, 0, PM_NOREMOVE);
        longestPeek = std::max(longestPeek, Seconds() - peekStart);
        double dispatch = Pump(&message);
        if (dispatch > longestDispatch) {
            longestDispatch = dispatch;
            slowest = message;
        }
        Sleep(1);
        double now = Seconds();
        longest = std::max(longest, now - last);
        last = now;
    }
    double posting = Seconds() - start;
    // What was posted is handled and taken in before the counts are read.
    Burst(window, 0);
    for (double until = Seconds() + 30; taken() < posted && Seconds() < until;)
        Pump();
    while (log.Channel->Waiting() > 0)
        log.Drain();
    double elapsed = Seconds() - start;
    size_t recorded = log.Rows.RecordedCount();
    double offered = 2.0 * static_cast<double>(perPost) / postEvery;
    std::printf("  throughput: %.0f records a second recorded over %.1f s (%.0f a second offered, %.0f asked "
                "for in %.1f s), %u dropped (at least 200,000 a second without a drop)\n",
                static_cast<double>(recorded) / elapsed, elapsed, offered, static_cast<double>(posted),
                posting, log.Channel->Dropped());
    if (emptySet)
        std::printf("    the platform's floor allows at most %.0f records a second from one thread\n",
                    2.0 * static_cast<double>(burst) / floor);
    std::printf(
        "  longest stall of Paneprobe's loop while logging: %.1f ms (at most 50 ms); longest dispatch "
        "%.1f ms (message 0x%04X); longest peek %.1f ms\n",
        longest * 1000, longestDispatch * 1000, slowest, longestPeek * 1000);
    // Wine reports no private bytes for a process, so the rows' containers count their own bytes.
    std::printf("  memory: %.1f bytes per recorded message, counted from the rows' containers (at most 64)\n",
                recorded ? static_cast<double>(log.Rows.Bytes()) / static_cast<double>(recorded) : 0.0);
    logs.CloseAll();
}
