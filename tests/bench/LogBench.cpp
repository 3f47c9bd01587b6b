// The message log's figures, side by side in one run: the target's cost of the hook (against the platform's
// cost of any hook, measured with an empty hook module), the throughput with the log window showing,
// Paneprobe's longest stall while logging, and the memory per recorded message.
#include "BenchClock.h"
#include "msglog/MessageLogs.h"
#include "msglog/LogRows.h"
#include "tests/win32/TargetProcess.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

const UINT BurstRequest = WM_APP + 2; // the target sends itself this many WM_USER + 3 messages
const uint32_t BenchCapacity = 1u << 18;

// Posts a stamped thread message to the measured thread every 5 ms, as input would arrive; the measured
// loop hands each one back through Taken, and the longest wait is the thread's longest stall.
class TInputProbe {
  public:
    static const UINT Stamp = WM_APP + 77;
    explicit TInputProbe(DWORD thread)
        : worker([this, thread] {
              while (!stop) {
                  PostThreadMessageA(thread, Stamp, 0, Now());
                  Sleep(5);
              }
          }) {}
    ~TInputProbe() { Stop(); }
    bool Taken(const MSG& message) {
        if (message.hwnd || message.message != Stamp) return false;
        longest = std::max(longest, static_cast<double>(Now() - message.lParam) / 1e6);
        return true;
    }
    double Stop() {
        stop = true;
        if (worker.joinable()) worker.join();
        return longest;
    }

  private:
    // Microseconds since the probe started: fits an LPARAM of either width for half an hour.
    LPARAM Now() const { return static_cast<LPARAM>((Seconds() - origin) * 1e6); }
    const double origin = Seconds();
    std::atomic<bool> stop{false};
    double longest = 0;
    std::thread worker;
};

// Returns the longest single dispatch, so that a stall is pinned on the message that caused it.
double Pump(UINT* slowest = nullptr, TInputProbe* probe = nullptr) {
    MSG message;
    double longest = 0;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (probe && probe->Taken(message)) continue;
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

UINT_PTR BurstsDone(HWND target) {
    return reinterpret_cast<UINT_PTR>(GetPropA(target, "PaneprobeBursts"));
}

// Posted, not sent: a thread handling another thread's sent message runs its hooks several times slower
// under Wine, and the log's throughput is measured with posted bursts too.
double Burst(HWND target, WPARAM count) {
    UINT_PTR before = BurstsDone(target);
    double start = Seconds();
    if (!PostMessageA(target, BurstRequest, count, 0)) return 0;
    while (BurstsDone(target) == before && IsWindow(target) && Seconds() - start < 120) {
        Pump();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return Seconds() - start;
}

// The best of five whole repaints of a window's visible page, each drawn at once.
double RepaintTime(HWND window) {
    double best = 1e9;
    for (int i = 0; i < 5; ++i) {
        double start = Seconds();
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        best = std::min(best, Seconds() - start);
    }
    return best;
}

// The platform's floor for drawing the log's page: a plain report list view of the same size, columns and
// visible texts, that holds its texts itself.
double BareListRepaintTime(const TMessageLogForm& log) {
    HWND shown = log.List->Handle();
    RECT frame;
    GetWindowRect(shown, &frame);
    HWND window = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | WS_VISIBLE | LVS_REPORT, frame.left,
                                  frame.top, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(window, WM_SETFONT, SendMessageA(shown, WM_GETFONT, 0, 0), FALSE);
    ListView_SetExtendedListViewStyle(window, ListView_GetExtendedListViewStyle(shown));
    for (int column = 0; column < LogColumnCount; ++column) {
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH;
        info.pszText = const_cast<char*>(LogColumnCaptions[column]);
        info.cx = ListView_GetColumnWidth(shown, column);
        ListView_InsertColumn(window, column, &info);
    }
    const int top = ListView_GetTopIndex(shown), page = ListView_GetCountPerPage(shown) + 1;
    for (int row = 0; row < page; ++row)
        for (int column = 0; column < LogColumnCount; ++column) {
            std::string text = log.CellText(static_cast<size_t>(top + row), column);
            LVITEMA item = {};
            item.mask = LVIF_TEXT;
            item.iItem = row;
            item.iSubItem = column;
            item.pszText = const_cast<char*>(text.c_str());
            if (column == 0)
                ListView_InsertItem(window, &item);
            else
                ListView_SetItem(window, &item);
        }
    Pump();
    double took = RepaintTime(window);
    DestroyWindow(window);
    return took;
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
    // A target of its own that outlives the measurement: a hooked burst takes many seconds under Wine.
    TTargetProcess target("logbench lasting");
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
    // The best of three rounds, or of as many as fit in a minute once the hooked bursts are that slow.
    double roundsStart = Seconds();
    for (int round = 0; round < 3 && (round == 0 || Seconds() - roundsStart < 60); ++round) {
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
    if (!IsWindow(window)) {
        std::printf("  the target's window went away during the measurement: no figures\n");
        return;
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
    // shows them. The stall is what a user feels: a thread posts a stamped message to this thread every
    // 5 ms, as input would arrive, and the longest wait until this loop takes one in is the stall.
    TMessageLogForm& log = logs.Open(window, BenchCapacity);
    WaitAttached(log);
    log.Drain();
    log.Clear();
    const double postEvery = 0.05;
    const WPARAM perPost = 5000; // 100,000 sent messages a second: 200,000 records
    TInputProbe probe(GetCurrentThreadId());
    double start = Seconds(), last = start, longestDispatch = 0, nextPost = start;
    UINT slowest = 0;
    uint64_t posted = 0; // records asked for
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
        double dispatch = Pump(&message, &probe);
        if (dispatch > longestDispatch) {
            longestDispatch = dispatch;
            slowest = message;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        last = Seconds();
    }
    double stall = probe.Stop();
    double posting = Seconds() - start;
    // What was posted is handled and taken in before the counts are read.
    Burst(window, 0);
    for (double until = Seconds() + 30; taken() < posted && Seconds() < until;)
        Pump();
    while (log.Channel->Waiting() > 0)
        log.Drain();
    double elapsed = Seconds() - start;
    size_t recorded = log.Rows.RecordedCount();
    // Measured once the throughput's time is taken, so that it does not count in the rate.
    const double logPage = RepaintTime(log.List->Handle()), barePage = BareListRepaintTime(log);
    double offered = 2.0 * static_cast<double>(perPost) / postEvery;
    std::printf("  throughput: %.0f records a second recorded over %.1f s (%.0f a second offered, %.0f asked "
                "for in %.1f s), %u dropped (at least 200,000 a second without a drop)\n",
                static_cast<double>(recorded) / elapsed, elapsed, offered, static_cast<double>(posted),
                posting, log.Channel->Dropped());
    if (emptySet)
        std::printf("    the platform's floor allows at most %.0f records a second from one thread\n",
                    2.0 * static_cast<double>(burst) / floor);
    std::printf(
        "  Paneprobe's longest stall while logging: %.1f ms until a message posted to it was taken in "
        "(at most 50 ms); longest dispatch %.1f ms (message 0x%04X)\n",
        stall * 1000, longestDispatch * 1000, slowest);
    std::printf(
        "    a whole repaint of the log's list takes %.1f ms; the platform's floor, a plain list view of "
        "the same page, %.1f ms\n",
        logPage * 1000, barePage * 1000);
    // Wine reports no private bytes for a process, so the rows' containers count their own bytes.
    std::printf("  memory: %.1f bytes per recorded message, counted from the rows' containers (at most 64)\n",
                recorded ? static_cast<double>(log.Rows.Bytes()) / static_cast<double>(recorded) : 0.0);
    logs.CloseAll();
}
