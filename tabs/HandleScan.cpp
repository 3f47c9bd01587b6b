// The handle scan over slots instead of values.
#include "tabs/HandleScan.h"

#include <algorithm>
#include <set>

namespace {

const uint32_t LowWordCount = 0x10000;
const uint32_t MaxReuseCounter = 0xFFFF;

const uint64_t ProbesBetweenCancelChecks = 4096;

// A cancelled scan probes nothing more; the loops stop on result.Cancelled.
bool Probe(const THandleScanPlatform& platform, THandleScanResult& result, uint32_t value) {
    if (result.Cancelled) return false;
    if (result.Probes % ProbesBetweenCancelChecks == 0 && platform.Cancelled && platform.Cancelled()) {
        result.Cancelled = true;
        return false;
    }
    ++result.Probes;
    return platform.IsWindow(value);
}

} // namespace

THandleScanResult ScanHandlesOneByOne(const THandleScanPlatform& platform, uint32_t limit) {
    THandleScanResult result;
    for (uint32_t value = 1; value != 0 && value <= limit && !result.Cancelled; ++value)
        if (Probe(platform, result, value)) result.Handles.push_back(value);
    return result;
}

THandleScanResult ScanHandles(const THandleScanPlatform& platform, uint32_t limit) {
    THandleScanResult result;
    if (limit == 0) return result;
    uint32_t ownSlot = platform.OwnHandle & 0xFFFF;
    bool ownSlotTaken = ownSlot != 0 && Probe(platform, result, ownSlot);
    if (result.Cancelled) return result;
    if (!ownSlotTaken) {
        THandleScanResult all = ScanHandlesOneByOne(platform, limit);
        all.Probes += result.Probes;
        return all;
    }
    result.Fast = true;
    std::vector<uint32_t> found;
    std::vector<uint32_t> liveLowWords;
    for (uint32_t low = 1; low < LowWordCount && !result.Cancelled; ++low) {
        if (!Probe(platform, result, low)) continue;
        liveLowWords.push_back(low);
        found.push_back(low);
    }
    // Every value below 0x10000 has had its probe in the sweep.
    std::set<uint32_t> probed;
    auto probeOnce = [&](uint32_t value) {
        if (value < LowWordCount || value > limit || !probed.insert(value).second) return;
        if (Probe(platform, result, value)) found.push_back(value);
    };
    for (uint32_t low : liveLowWords) {
        if (result.Cancelled) break;
        uint32_t full = platform.FullHandle ? platform.FullHandle(low) : 0;
        if (full != 0 && (full & 0xFFFF) != low && (full & 0xFFFF) != (low ^ 1)) full = 0;
        if (full != 0) {
            probeOnce(full);
            probeOnce(full ^ 1);
            continue;
        }
        if (!Probe(platform, result, low)) continue; // gone since the sweep: its slot is empty
        // The window hides its full handle: every reuse counter of the slot and its twin.
        for (uint32_t counter = 1; counter <= MaxReuseCounter && !result.Cancelled; ++counter) {
            uint32_t base = counter << 16;
            if (base > limit) break;
            probeOnce(base | low);
            probeOnce(base | (low ^ 1));
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    found.erase(std::remove_if(found.begin(), found.end(), [limit](uint32_t v) { return v > limit; }),
                found.end());
    result.Handles = std::move(found);
    return result;
}
