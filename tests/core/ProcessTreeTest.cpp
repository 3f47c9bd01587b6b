// The process tree, the window score and the best-window choice, on plain records.
#include "processes/ProcessRows.h"
#include "processes/ProcessTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

struct TEntry {
    uint32_t Id;
    uint32_t ParentId;
    const char* Name;
};

void Fill(TProcessList& list, const std::vector<TEntry>& entries) {
    list.Clear();
    for (const TEntry& entry : entries) {
        auto process = std::make_unique<TProcess>();
        process->ProcessId = entry.Id;
        process->ParentProcessId = entry.ParentId;
        process->ExeFile = entry.Name;
        list.Add(std::move(process));
    }
}

std::string Order(const TProcessList& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i)
        text += (text.empty() ? "" : " ") + list.Item(i).ExeFile + ":" + std::to_string(list.Item(i).Depth);
    return text;
}

TEST(ProcessTree, ArrangesChildrenBehindTheirParents) {
    struct TCase {
        const char* Name;
        std::vector<TEntry> Snapshot;
        const char* Expected; // name:depth in list order
    };
    const TCase cases[] = {
        {"the worked example", {{1, 0, "A"}, {2, 1, "B"}, {3, 1, "C"}, {4, 2, "D"}}, "A:0 C:1 B:1 D:2"},
        {"a child before its parent stays a root", {{2, 1, "B"}, {1, 0, "A"}}, "B:0 A:0"},
        {"a process naming itself", {{0, 0, "Idle"}, {4, 0, "System"}}, "Idle:0 System:1"},
        {"an ended parent", {{10, 99, "Orphan"}, {11, 10, "Kid"}}, "Orphan:0 Kid:1"},
        {"roots keep their order",
         {{1, 50, "R1"}, {2, 60, "R2"}, {3, 1, "c1"}, {4, 2, "c2"}, {5, 1, "c3"}},
         "R1:0 c3:1 c1:1 R2:0 c2:1"},
        {"a deep chain", {{1, 0, "a"}, {2, 1, "b"}, {3, 2, "c"}, {4, 3, "d"}}, "a:0 b:1 c:2 d:3"},
        {"empty", {}, ""},
    };
    for (const TCase& c : cases) {
        TProcessList list;
        Fill(list, c.Snapshot);
        list.BuildTree();
        EXPECT_EQ(Order(list), c.Expected) << c.Name;
    }
}

TEST(ProcessTree, ParentLinksFollowTheTreeNotTheIdentifier) {
    TProcessList list;
    // B names A as parent, but A is listed after it: B is a root although FindById finds A.
    Fill(list, {{2, 1, "B"}, {1, 0, "A"}, {3, 1, "C"}});
    list.BuildTree();
    ASSERT_EQ(Order(list), "B:0 A:0 C:1");
    EXPECT_EQ(list.Item(0).Parent, nullptr);
    EXPECT_NE(list.FindById(1), nullptr) << "the parent column still names A";
    EXPECT_EQ(list.Item(2).Parent, list.FindById(1));
    EXPECT_EQ(list.FindById(42), nullptr);
}

// The placement rule applied literally: one pass, each record moved directly behind an earlier parent.
std::vector<std::pair<uint32_t, int>> LiteralTree(const std::vector<TEntry>& entries) {
    struct TRow {
        uint32_t Id, ParentId;
        int Depth;
    };
    std::vector<TRow> rows;
    for (const TEntry& e : entries)
        rows.push_back({e.Id, e.ParentId, 0});
    for (size_t i = 0; i < rows.size(); ++i) {
        size_t a = rows.size();
        for (size_t k = 0; k < rows.size(); ++k)
            if (rows[k].Id == rows[i].ParentId) {
                a = k;
                break;
            }
        if (a < i) {
            TRow moved = rows[i];
            moved.Depth = rows[a].Depth + 1;
            rows.erase(rows.begin() + static_cast<long>(i));
            rows.insert(rows.begin() + static_cast<long>(a) + 1, moved);
        }
    }
    std::vector<std::pair<uint32_t, int>> result;
    for (const TRow& row : rows)
        result.push_back({row.Id, row.Depth});
    return result;
}

TEST(ProcessTree, MatchesTheOnePassPlacementOnRandomSnapshots) {
    std::mt19937 random(12345);
    for (int round = 0; round < 300; ++round) {
        int count = static_cast<int>(random() % 40);
        std::vector<uint32_t> ids(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            ids[static_cast<size_t>(i)] = static_cast<uint32_t>(i * 4);
        std::shuffle(ids.begin(), ids.end(), random);
        std::vector<TEntry> entries;
        for (uint32_t id : ids) {
            // Mostly existing parents, some ended ones, some self-references.
            uint32_t parent = count ? ids[random() % static_cast<size_t>(count)] : 0;
            if (random() % 5 == 0) parent = 1000 + static_cast<uint32_t>(random() % 3);
            if (random() % 17 == 0) parent = id;
            entries.push_back({id, parent, "p"});
        }
        TProcessList list;
        Fill(list, entries);
        list.BuildTree();
        std::vector<std::pair<uint32_t, int>> got;
        for (int i = 0; i < list.Count(); ++i) {
            got.push_back({list.Item(i).ProcessId, list.Item(i).Depth});
            const TProcess* parent = list.Item(i).Parent;
            if (parent) {
                EXPECT_EQ(parent->ProcessId, list.Item(i).ParentProcessId);
                EXPECT_EQ(list.Item(i).Depth, parent->Depth + 1);
            }
        }
        ASSERT_EQ(got, LiteralTree(entries)) << "round " << round;
    }
}

TEST(ProcessTree, ClearAndRebuildDropOldLinks) {
    TProcessList list;
    Fill(list, {{1, 0, "A"}, {2, 1, "B"}});
    list.BuildTree();
    ASSERT_NE(list.Item(1).Parent, nullptr);
    // The same records built again after the parent was removed from the snapshot.
    Fill(list, {{2, 1, "B"}});
    list.BuildTree();
    EXPECT_EQ(list.Item(0).Parent, nullptr);
    EXPECT_EQ(list.Item(0).Depth, 0);
    EXPECT_EQ(list.FindById(1), nullptr);
}

TWindowFacts Facts(uintptr_t window, uint32_t processId, int text, bool parent, int width, int height,
                   uint32_t style) {
    return {window, processId, text, parent, width, height, style};
}

const uint32_t Border = 0x00800000, Visible = 0x10000000;

TEST(WindowScoreTest, AddsItsFivePoints) {
    struct TCase {
        TWindowFacts Window;
        int Score;
    };
    const TCase cases[] = {
        {Facts(1, 1, 5, false, 10, 10, Border | Visible), 6},
        {Facts(1, 1, 0, true, 0, 0, 0), 0},
        {Facts(1, 1, 1, true, 0, 0, 0), 2},
        {Facts(1, 1, 0, false, 0, 0, 0), 1},
        {Facts(1, 1, 0, true, 10, 0, 0), 0},
        {Facts(1, 1, 0, true, 0, 10, 0), 0},
        {Facts(1, 1, 0, true, 1, 1, 0), 1},
        {Facts(1, 1, 0, true, -5, -5, 0), 0},
        {Facts(1, 1, 0, true, 0, 0, Border), 1},
        {Facts(1, 1, 0, true, 0, 0, Visible), 1},
        {Facts(1, 1, 0, true, 0, 0, 0x00C00000), 1}, // a caption bar includes the border bit
    };
    for (const TCase& c : cases)
        EXPECT_EQ(WindowScore(c.Window), c.Score) << c.Window.TextLength << " " << c.Window.Style;
}

TEST(BestWindow, HighestScoreWinsAndTiesGoToTheTopmost) {
    TProcessList list;
    Fill(list, {{10, 0, "ten"}, {20, 0, "twenty"}, {30, 0, "thirty"}, {40, 0, "forty"}});
    std::vector<TWindowFacts> zOrder = {
        Facts(0x100, 10, 0, true, 0, 0, Visible),           // 1
        Facts(0x101, 10, 4, false, 9, 9, Border | Visible), // 6
        Facts(0x102, 10, 4, false, 9, 9, Border | Visible), // 6, lower: loses the tie
        Facts(0x200, 20, 0, true, 0, 0, 0),                 // 0: never chosen
        Facts(0x300, 30, 0, true, 0, 0, 0),                 // 0
        Facts(0x301, 30, 0, true, 3, 3, 0),                 // 1
        Facts(0x999, 99, 9, false, 9, 9, Border | Visible), // another process
    };
    ChooseBestWindows(list, zOrder);
    EXPECT_EQ(list.FindById(10)->Window, 0x101u);
    EXPECT_EQ(list.FindById(20)->Window, 0u);
    EXPECT_EQ(list.FindById(30)->Window, 0x301u);
    EXPECT_EQ(list.FindById(40)->Window, 0u) << "no windows at all";
}

TEST(BestWindow, ForgetsTheWindowOfAnEarlierChoice) {
    TProcessList list;
    Fill(list, {{10, 0, "ten"}});
    ChooseBestWindows(list, {Facts(0x100, 10, 1, false, 1, 1, 0)});
    ASSERT_EQ(list.Item(0).Window, 0x100u);
    ChooseBestWindows(list, {});
    EXPECT_EQ(list.Item(0).Window, 0u) << "a window that went is not kept";
}

TEST(ProcessRowsTest, CellTextsFollowTheColumns) {
    TProcess process;
    process.ProcessId = 4321;
    process.ParentProcessId = 12;
    process.ThreadCount = 0;
    process.BasePriority = 0;
    process.Window = 0x1A2B;
    std::vector<std::string> cells =
        ProcessSubItems(process, "parent.exe", "05 sec, 100 msec", "Caption", "C:\\x\\y.exe");
    std::vector<std::string> expected = {"4321", "12",     "parent.exe", "05 sec, 100 msec", "",
                                         "0",    "0x1A2B", "Caption",    "C:\\x\\y.exe"};
    EXPECT_EQ(cells, expected);
    process.ThreadCount = 7;
    process.BasePriority = -2;
    process.Window = 0;
    cells = ProcessSubItems(process, "", "", "", "");
    EXPECT_EQ(cells[4], "7");
    EXPECT_EQ(cells[5], "-2");
    EXPECT_EQ(cells[6], "") << "no window: an empty cell";
}

TEST(ProcessRowsTest, AgeTextsAndTint) {
    struct TCase {
        int64_t Age;
        const char* Text;
        bool Young;
    };
    const TCase cases[] = {
        {0, "", false},
        {1, "001 msec", true},
        {7999, "07 sec, 999 msec", true},
        {8000, "08 sec", false},
        {90061001, "01 days, 01 hrs", false},
        {400LL * 86400000, "1 yrs, 35 days", false},
        {-1500, "-01 sec, 500 msec", true}, // a clock set back: still shown, tinted as new
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(AgeText(c.Age), c.Text) << c.Age;
        EXPECT_EQ(IsYoungProcess(c.Age), c.Young) << c.Age;
    }
    EXPECT_EQ(ProcessAge(false, 45000.5, 45000.0), 0) << "unknown creation time";
    EXPECT_EQ(ProcessAge(true, 45000.5, 45000.0), 43200000);
}

TEST(ProcessRowsTest, CellColoursAndRootMarks) {
    const uint32_t background = 0x00FFFFFF;
    EXPECT_EQ(CellColour(2000, 0, background), YoungCellColour);
    EXPECT_EQ(CellColour(2000, 3, background), YoungCellColour);
    EXPECT_EQ(CellColour(10000, 0, background), background);
    EXPECT_EQ(CellColour(10000, 1, background), OddCellColour);
    EXPECT_EQ(CellColour(0, 2, background), background) << "unknown age is not young";

    for (int column = 0; column < 10; ++column) {
        bool marked = column == 2 || column == 3;
        EXPECT_EQ(IsRootMarkCell(true, column, false), marked) << column;
        EXPECT_FALSE(IsRootMarkCell(true, column, true)) << "selected rows keep the selection colour";
        EXPECT_FALSE(IsRootMarkCell(false, column, false));
    }
    EXPECT_EQ(IconLeft(0, 16, 3), 52) << "three icon widths in";
    EXPECT_EQ(IconLeft(10, 16, 0), 14);
}

} // namespace

// After a reload the selection follows its process; when the process has gone, the row now at its old
// position, or the last row where the list has become shorter than that; nothing when nothing was selected.
TEST(ProcessRowsTest, SelectionAfterAReload) {
    struct {
        bool anySelected;
        uint32_t selectedId;
        int oldIndex;
        std::vector<uint32_t> fresh;
        int expected;
    } cases[] = {
        {true, 20, 1, {10, 20, 30}, 1},  // still there
        {true, 30, 2, {30, 10, 20}, 0},  // moved
        {true, 20, 1, {10, 30}, 1},      // gone: the row at its old position
        {true, 30, 2, {10, 20}, 1},      // gone from the end: the last row, not none
        {true, 40, 13, {10, 20, 30}, 2}, // its parent went with it: the last row
        {true, 30, 2, {}, -1},           // an empty list
        {false, 0, 0, {10, 20, 30}, -1}, // nothing selected stays so
    };
    for (const auto& c : cases)
        EXPECT_EQ(RowToSelectAfterReload(c.fresh, c.anySelected, c.selectedId, c.oldIndex), c.expected)
            << "process " << c.selectedId << " at " << c.oldIndex;
}
