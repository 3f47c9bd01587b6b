// Measures the full handle scan (the Enum tab's last mode): its probes and seconds, against the plain loop
// over every value, estimated from the measured cost of one probe in the same run.
#include "BenchClock.h"
#include "tabs/TabEnum.h"

#include <cstdio>

namespace {} // namespace

void BenchHandleScan() {
    std::printf("\nMeasuring the full handle scan...\n");
    std::fflush(stdout);
    // Values with a high word that no window reaches: what nearly every probe of the plain loop meets.
    const uint32_t first = 0x0FF00000, count = 20000;
    double start = Seconds();
    int live = 0;
    for (uint32_t value = first; value < first + count; ++value)
        live += IsWindow(reinterpret_cast<HWND>(static_cast<uintptr_t>(value))) ? 1 : 0;
    double probe = (Seconds() - start) / count;

    start = Seconds();
    THandleScanResult scan = ScanWindowHandles(HandleScanLimit);
    double scanTime = Seconds() - start;
    double loopTime = probe * HandleScanLimit;

    std::printf("\nFull handle scan (values 1 to 0x%X):\n", HandleScanLimit);
    std::printf("  one IsWindow probe:    %8.1f us (%d of %u sample values were windows)\n", probe * 1e6,
                live, count);
    std::printf("  slot scan:             %8.2f s, %llu probes, %zu values named a window%s\n", scanTime,
                static_cast<unsigned long long>(scan.Probes), scan.Handles.size(),
                scan.Fast ? "" : " (every value probed: no high-word-0 form here)");
    std::printf("  bare work of its probes: %6.2f s; ratio %.2fx\n", probe * static_cast<double>(scan.Probes),
                scanTime / (probe * static_cast<double>(scan.Probes)));
    std::printf("  plain loop, estimated: %8.0f s (%.1f h), %u probes; the scan takes %.5f of it\n", loopTime,
                loopTime / 3600, HandleScanLimit, scanTime / loopTime);
    std::fflush(stdout);
}
