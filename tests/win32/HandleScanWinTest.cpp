// The fast full handle scan against IsWindow on every value, on real windows of two processes with slots
// reused several times.
#include "TargetProcess.h"
#include "app/Shared.h"
#include "app/WinApiEx.h"
#include "tabs/TabEnum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

bool Contains(const std::vector<uint32_t>& values, uint32_t value) {
    return std::binary_search(values.begin(), values.end(), value);
}

HWND NewPopup() {
    return CreateWindowExA(0, "STATIC", "scan", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

TEST(HandleScanWin, EqualsIsWindowOnEveryValueWithHighWordUpToThree) {
    TTargetProcess target("scan");
    ASSERT_NE(target.MainWindow(), nullptr);
    // Windows come and go, so that slots are taken again with higher reuse counters; some stay.
    std::vector<HWND> kept;
    for (int round = 0; round < 4; ++round) {
        std::vector<HWND> batch;
        for (int i = 0; i < 12; ++i)
            batch.push_back(NewPopup());
        kept.push_back(batch[static_cast<size_t>(round)]);
        kept.push_back(batch[static_cast<size_t>(11 - round)]);
        for (HWND window : batch)
            if (std::find(kept.begin(), kept.end(), window) == kept.end()) DestroyWindow(window);
    }
    uint32_t highest = 0;
    for (HWND window : kept)
        highest = std::max(highest, HandleValue(window) >> 16);
    ASSERT_GE(highest, 2u) << "slots were not reused: the test would not cover reuse counters";

    // Other programs may create or destroy a window while the values are probed one by one; the comparison
    // counts only when a scan before and one after agree, and is tried again otherwise.
    const uint32_t limit = 0x0003FFFF;
    THandleScanResult fast;
    std::vector<uint32_t> everyValue;
    for (int attempt = 0; attempt < 3; ++attempt) {
        fast = ScanWindowHandles(limit);
        everyValue.clear();
        for (uint32_t value = 1; value <= limit; ++value)
            if (IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(value)))) everyValue.push_back(value);
        if (ScanWindowHandles(limit).Handles == fast.Handles) break;
    }
    EXPECT_TRUE(fast.Fast) << "this platform takes a high word of 0";
    std::vector<uint32_t> missed, extra;
    std::set_difference(everyValue.begin(), everyValue.end(), fast.Handles.begin(), fast.Handles.end(),
                        std::back_inserter(missed));
    std::set_difference(fast.Handles.begin(), fast.Handles.end(), everyValue.begin(), everyValue.end(),
                        std::back_inserter(extra));
    EXPECT_EQ(missed, std::vector<uint32_t>{}) << "values the scan did not find";
    EXPECT_EQ(extra, std::vector<uint32_t>{}) << "values the scan listed that are no windows";
    EXPECT_EQ(fast.Handles.size(), everyValue.size());
    EXPECT_LE(fast.Probes, 70000u);
    for (HWND window : kept) {
        uint32_t value = HandleValue(window);
        if ((value >> 16) > 3) continue;
        EXPECT_TRUE(Contains(fast.Handles, value)) << std::hex << value;
        EXPECT_TRUE(Contains(fast.Handles, value & 0xFFFF)) << std::hex << value;
    }
    uint32_t other = HandleValue(target.MainWindow());
    EXPECT_TRUE(Contains(fast.Handles, other & 0xFFFF)) << "another process's window by its slot";
    for (HWND window : kept)
        DestroyWindow(window);
}

TEST(HandleScanWin, AClosedMainWindowDoesNotSendTheScanToThePlainLoop) {
    HWND gone = NewPopup();
    HWND saved = MainWindowHandle;
    MainWindowHandle = gone;
    DestroyWindow(gone);
    THandleScanResult result = ScanWindowHandles(0x1FFFF);
    MainWindowHandle = saved;
    EXPECT_TRUE(result.Fast);
    EXPECT_LT(result.Probes, 0x1FFFFu) << "fewer probes than values";
}

TEST(HandleScanWin, FullHandleOfAPartialValueOfEveryKindOfWindow) {
    TTargetProcess target("full");
    ASSERT_NE(target.MainWindow(), nullptr);
    HWND own = NewPopup();
    const HWND windows[] = {own,
                            GetDesktopWindow(),
                            target.MainWindow(),
                            target.Child(TTargetProcess::ButtonId),
                            target.Child(TTargetProcess::KeeperId),
                            target.Scroller()};
    for (HWND window : windows) {
        uint32_t full = HandleValue(window);
        EXPECT_EQ(FullWindowHandle(full & 0xFFFF), full) << std::hex << full;
        EXPECT_EQ(FullWindowHandle(full), full) << std::hex << full;
    }
    DestroyWindow(own);
    EXPECT_EQ(FullWindowHandle(HandleValue(own) & 0xFFFF) & 0xFFFF, 0u) << "a slot left empty";
}

} // namespace
