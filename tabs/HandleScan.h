// The full handle scan: every value from 1 to a limit that the platform takes for a window, in ascending
// order, found by probing a small fraction of the values instead of each one.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

const uint32_t HandleScanLimit = 0x0FFFFFFF;

// What the scan asks the platform.
struct THandleScanPlatform {
    // Whether the value names a window (IsWindow).
    std::function<bool(uint32_t)> IsWindow;
    // The full handle of the window that a live value names; 0 when it cannot be found.
    std::function<uint32_t(uint32_t)> FullHandle;
    // A handle of a window that certainly exists, for the check whether a high word of 0 is taken.
    uint32_t OwnHandle = 0;
    // Asked now and then during the scan: true ends it at once with what was found so far.
    std::function<bool()> Cancelled;
};

struct THandleScanResult {
    std::vector<uint32_t> Handles; // ascending, each once
    uint64_t Probes = 0;           // IsWindow calls made
    bool Fast = false;             // false: every value was probed
    bool Cancelled = false;        // ended early: Handles holds only part of them
};

// A handle is a slot index in its low word and a reuse counter in its high word. The platform takes a value
// whose high word is 0 for whatever window holds that slot, and (Wine) may take the odd twin of a slot's
// low word (value xor 1). So all values that name a window lie among: every low word with high word 0, and
// for each live slot its full handle and that handle's twin. The scan probes exactly those. Where the
// platform does not take the high-word-0 form of OwnHandle, it probes every value from 1 to the limit.
THandleScanResult ScanHandles(const THandleScanPlatform& platform, uint32_t limit = HandleScanLimit);

// The plain loop: probes every value from 1 to the limit.
THandleScanResult ScanHandlesOneByOne(const THandleScanPlatform& platform, uint32_t limit);
