// The snapshot's figures, side by side in one run: gathering, writing, reading and comparing a snapshot of
// a window of another program with 2,000 descendants, against the bare platform queries it needs; and the
// comparison at two sizes of one shape, to show that it grows in proportion.
#include "BenchClock.h"
#include "app/Shared.h"
#include "app/WinApiEx.h"
#include "tabs/Properties.h"
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotFile.h"
#include "snapshot/SnapshotGather.h"
#include "tests/win32/TargetProcess.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>

namespace {

const int Descendants = 2000;
const int Rounds = 3;

double Fastest(const std::function<void()>& work) {
    double best = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        const double start = Seconds();
        work();
        best = std::min(best, Seconds() - start);
    }
    return best;
}

// What the platform is asked for each window at the least: the walk, the class, the stored title, the
// style words and the id, the rectangles, the parent, the thread and process.
size_t BareQueries(HWND root) {
    size_t count = 0;
    std::vector<HWND> pending = {root};
    while (!pending.empty()) {
        HWND window = pending.back();
        pending.pop_back();
        ++count;
        char text[260];
        GetClassNameA(window, text, sizeof text);
        CaptionNoWait(window, text, sizeof text);
        GetWindowLongA(window, GWL_STYLE);
        GetWindowLongA(window, GWL_EXSTYLE);
        GetWindowLongPtrA(window, GWLP_ID);
        RECT rect;
        GetWindowRect(window, &rect);
        GetClientRect(window, &rect);
        GetParent(window);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            pending.push_back(child);
    }
    return count;
}

// Siblings that share class, id and caption, the matching's hardest case: n of them under one root, each
// with a few values, one of which changed in the newer snapshot.
void SameKeySiblings(int n, TSnapshot& older, TSnapshot& newer) {
    for (TSnapshot* snapshot : {&older, &newer}) {
        const int root = snapshot->Add(-1, TSnapshotWindow{"Frame", "", "", {}, -1, {}});
        for (int i = 0; i < n; ++i)
            snapshot->Add(root, TSnapshotWindow{"Static",
                                                "0",
                                                "item",
                                                {{"Rect", std::to_string(i), false},
                                                 {"Tracked: Handle", std::to_string(i), true},
                                                 {"Style", "0x50000000", false}},
                                                -1,
                                                {}});
    }
    newer.Windows[static_cast<size_t>(n / 2)].Values[0].Value = "moved";
}

} // namespace

void RunSnapshotBench() {
    TTargetProcess target("snapbench snapshot=" + std::to_string(Descendants));
    HWND frame = FindWindowA("PaneprobeSnapshotFrame", "Paneprobe Target snapbench snapshot");
    if (!frame) {
        std::printf("\nSnapshot: the target program did not start.\n");
        return;
    }
    size_t windows = 0;
    const double bare = Fastest([&] { windows = BareQueries(frame); });
    TGatheredSnapshot gathered;
    const double gather = Fastest([&] { gathered = GatherSnapshotOnWorker(frame); });
    std::string text;
    const double write = Fastest([&] { text = WriteSnapshot(gathered.Snapshot); });
    TSnapshot read;
    std::string error;
    const double parse = Fastest([&] { ReadSnapshot(text, read, error); });
    size_t differences = 0;
    const double compare = Fastest([&] { differences = CompareSnapshots(read, gathered.Snapshot).size(); });
    size_t values = 0;
    for (const TSnapshotWindow& window : gathered.Snapshot.Windows)
        values += window.Values.size();

    std::printf("\nSnapshot of a window of another program with %u windows (%u values, %u KB of text):\n",
                static_cast<unsigned>(windows), static_cast<unsigned>(values),
                static_cast<unsigned>(text.size() / 1024));
    std::printf("  bare platform queries (walk, class, title, styles, id, rectangles, ids): %8.1f ms\n",
                bare * 1e3);
    std::printf("  gathering every value (on the worker)                                 : %8.1f ms\n",
                gather * 1e3);
    std::printf("  writing the text                                                      : %8.1f ms\n",
                write * 1e3);
    std::printf("  reading it back                                                       : %8.1f ms\n",
                parse * 1e3);
    std::printf("  comparing with the state now (%u differences)                          : %8.1f ms\n",
                static_cast<unsigned>(differences), compare * 1e3);
    std::printf("  saving in all (gathering + writing) per window                        : %8.1f us\n",
                (gather + write) / static_cast<double>(windows) * 1e6);

    // Where the gathering's time goes: each Properties group over every window once.
    std::vector<std::unique_ptr<TWindowDetails>> records;
    for (HWND window : gathered.Handles) {
        records.push_back(std::make_unique<TWindowDetails>(window));
        records.back()->Refresh();
    }
    std::printf("Each Properties group over the same windows, as the Properties tab runs it:\n");
    for (const TPropertyGroupClass& groupClass : PropertyGroupClasses()) {
        std::unique_ptr<TPropertyGroup> group = groupClass.Create();
        const double start = Seconds();
        for (const auto& record : records)
            group->Update(*record);
        std::printf("  %-16s: %8.1f ms\n", group->Name.c_str(), (Seconds() - start) * 1e3);
    }
    std::printf("Comparison of siblings that share class, id and caption:\n");
    for (int n : {10000, 20000}) {
        TSnapshot older, newer;
        SameKeySiblings(n, older, newer);
        const double took = Fastest([&] { CompareSnapshots(older, newer); });
        std::printf("  %6d windows: %7.2f ms, %5.2f us per window\n", n, took * 1e3,
                    took / static_cast<double>(n) * 1e6);
    }
}
