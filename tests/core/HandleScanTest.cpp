// The slot-wise handle scan against the value-by-value loop, on handle tables that behave as Wine's and as
// Windows' do.
#include "tabs/HandleScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

struct TFakeWindow {
    uint32_t Full;    // reuse counter in the high word, slot in the low word
    bool OwnProcess;  // Wine takes fewer forms for the caller's own windows
    bool HidesHandle; // the full handle cannot be found through the window tree
};

// A handle table. Wine: a slot spans a low word and its odd twin; other processes' windows are taken by
// both twins with high word 0 or their counter, the caller's own only by the full handle and high word 0.
// Windows: a slot is one low word, taken with high word 0 or its counter.
class TFakeTable {
  public:
    explicit TFakeTable(bool wine) : Wine(wine) {}
    bool Wine;
    std::map<uint32_t, TFakeWindow> Slots; // by slot key
    uint64_t FullHandleCalls = 0;

    uint32_t SlotKey(uint32_t low) const { return Wine ? (low | 1) : low; }
    void Add(uint32_t full, bool own, bool hides = false) {
        Slots[SlotKey(full & 0xFFFF)] = {full, own, hides};
    }

    bool IsWindow(uint32_t value) const {
        uint32_t low = value & 0xFFFF, high = value >> 16;
        auto slot = Slots.find(SlotKey(low));
        if (slot == Slots.end() || low == 0) return false;
        const TFakeWindow& w = slot->second;
        if (Wine && w.OwnProcess) return value == w.Full || (high == 0 && low == (w.Full & 0xFFFF));
        return high == 0 || high == 0xFFFF || high == (w.Full >> 16);
    }
    uint32_t FullHandle(uint32_t value) {
        ++FullHandleCalls;
        auto slot = Slots.find(SlotKey(value & 0xFFFF));
        if (slot == Slots.end() || slot->second.HidesHandle) return 0;
        return slot->second.Full;
    }
    THandleScanPlatform Platform(uint32_t own) {
        THandleScanPlatform platform;
        platform.IsWindow = [this](uint32_t v) { return IsWindow(v); };
        platform.FullHandle = [this](uint32_t v) { return FullHandle(v); };
        platform.OwnHandle = own;
        return platform;
    }
};

// Windows of two processes, with slots at every reuse counter from 1 to 15, some next to each other.
void Populate(TFakeTable& table) {
    table.Add(0x00010020, true);
    table.Add(0x00020022, false);
    table.Add(0x00030024, true);
    table.Add(0x0003002A, false);
    table.Add(0x000F0400, false);
    table.Add(0x000E0402, true);
    table.Add(0x00050FFE, false);
    table.Add(0x0001FFFE, false); // the last slot
    table.Add(0x0007ABCD & 0xFFFFFFFE, false);
    if (!table.Wine) {
        table.Add(0x00040031, false); // a neighbour that would be a twin on Wine
        table.Add(0x00020030, true);
    }
}

TEST(HandleScan, EqualsTheLoopOverEveryValueOnBothKindsOfTable) {
    for (bool wine : {true, false}) {
        TFakeTable table(wine);
        Populate(table);
        const uint32_t limit = 0x000FFFFF; // every reuse counter in use lies below
        THandleScanResult fast = ScanHandles(table.Platform(0x00010020), limit);
        THandleScanResult loop = ScanHandlesOneByOne(table.Platform(0x00010020), limit);
        EXPECT_TRUE(fast.Fast);
        EXPECT_EQ(fast.Handles, loop.Handles) << (wine ? "Wine" : "Windows");
        EXPECT_EQ(loop.Probes, limit);
        EXPECT_LE(fast.Probes, 0x10000u + 4 * table.Slots.size()) << "the sweep and a few per slot";
        // Spot checks against the rules themselves.
        auto has = [&fast](uint32_t v) {
            return std::binary_search(fast.Handles.begin(), fast.Handles.end(), v);
        };
        EXPECT_TRUE(has(0x00020022));
        EXPECT_TRUE(has(0x0022));
        EXPECT_EQ(has(0x00020023), wine) << "the twin of another process's window";
        EXPECT_FALSE(has(0x00030022)) << "a stale reuse counter";
        EXPECT_FALSE(has(0x00030025)) << "the twin of an own window";
    }
}

TEST(HandleScan, ALimitCutsTheListAndAHiddenHandleCostsTheSlotsCounters) {
    TFakeTable table(true);
    Populate(table);
    table.Add(0x00030100, false, true);
    const uint32_t limit = 0x0003FFFF;
    THandleScanResult fast = ScanHandles(table.Platform(0x00010020), limit);
    THandleScanResult loop = ScanHandlesOneByOne(table.Platform(0x00010020), limit);
    EXPECT_EQ(fast.Handles, loop.Handles);
    EXPECT_TRUE(std::binary_search(fast.Handles.begin(), fast.Handles.end(), 0x00030100u));
    EXPECT_TRUE(std::binary_search(fast.Handles.begin(), fast.Handles.end(), 0x00030101u));
    for (uint32_t v : fast.Handles)
        EXPECT_LE(v, limit);
}

TEST(HandleScan, WithoutHighWordZeroEveryValueIsProbed) {
    TFakeTable table(false);
    table.Add(0x00020040, false);
    THandleScanPlatform platform = table.Platform(0x00020040);
    platform.IsWindow = [&table](uint32_t v) { return (v >> 16) != 0 && table.IsWindow(v); };
    const uint32_t limit = 0x00030000;
    THandleScanResult result = ScanHandles(platform, limit);
    EXPECT_FALSE(result.Fast);
    EXPECT_EQ(result.Handles, std::vector<uint32_t>{0x00020040});
    EXPECT_EQ(result.Probes, limit + 1) << "the check, then every value";
    EXPECT_EQ(table.FullHandleCalls, 0u);
}

// The scan runs on a thread of its own, and a tab that goes away cancels it: it must end within a few
// thousand probes on either way of scanning, even where the way over every value would take 268 million.
TEST(HandleScan, ACancelledScanEndsWithinAFewThousandProbes) {
    for (bool highWordZeroTaken : {true, false}) {
        SCOPED_TRACE(highWordZeroTaken ? "over slots" : "over every value");
        TFakeTable table(true);
        Populate(table);
        THandleScanPlatform platform = table.Platform(0x00010020);
        if (!highWordZeroTaken)
            platform.IsWindow = [&table](uint32_t v) { return (v >> 16) != 0 && table.IsWindow(v); };
        int asked = 0;
        platform.Cancelled = [&asked] { return ++asked > 3; };
        THandleScanResult result = ScanHandles(platform, HandleScanLimit);
        EXPECT_TRUE(result.Cancelled);
        EXPECT_EQ(asked, 4);
        EXPECT_LE(result.Probes, 3u * 4096u);
    }
    TFakeTable table(true);
    Populate(table);
    THandleScanPlatform platform = table.Platform(0x00010020);
    platform.Cancelled = [] { return true; };
    THandleScanResult before = ScanHandles(platform, HandleScanLimit);
    EXPECT_TRUE(before.Cancelled);
    EXPECT_EQ(before.Probes, 0u) << "cancelled before it began";
    EXPECT_TRUE(before.Handles.empty());
    platform.Cancelled = [] { return false; };
    THandleScanResult whole = ScanHandles(platform, 0x000FFFFF);
    EXPECT_FALSE(whole.Cancelled);
    EXPECT_EQ(whole.Handles, ScanHandlesOneByOne(table.Platform(0x00010020), 0x000FFFFF).Handles);
}

TEST(HandleScan, EmptyRangeAndEmptyTable) {
    TFakeTable table(true);
    table.Add(0x00010020, true);
    EXPECT_TRUE(ScanHandles(table.Platform(0x00010020), 0).Handles.empty());
    THandleScanResult result = ScanHandles(table.Platform(0x00010020), 0x1F);
    EXPECT_TRUE(result.Handles.empty()) << "the window's values all lie above the limit";
}

} // namespace
