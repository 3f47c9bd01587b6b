// The log ring as another process may leave it: arbitrary bytes as the shared memory, then an attach, a
// read of everything waiting, and the texts of every record read.
#include "FuzzCheck.h"
#include "msglog/LogRing.h"
#include "msglog/LogRows.h"

#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy with the alignment the mapping has, since the header holds atomics.
    std::vector<uint64_t> memory((size + 7) / 8 + 1, 0);
    std::memcpy(memory.data(), data, size);
    TLogRing ring(memory.data());
    if (!ring.Attach(size)) return 0;
    FUZZ_CHECK(LogRingBytes(ring.Capacity()) <= size);
    std::vector<TLogRecord> out;
    size_t read = ring.Read(out);
    FUZZ_CHECK(read <= ring.Capacity() && read == out.size());
    // A broken writer's indexes never make a read run past the ring, however often it is repeated.
    std::vector<TLogRecord> again;
    FUZZ_CHECK(ring.Read(again) <= ring.Capacity());
    TLogMessageNames names;
    TLogTextContext context{&names, 0, 1000};
    for (const TLogRecord& record : out)
        for (int column = 0; column < LogColumnCount; ++column)
            LogCellText(record, column, context);
    return 0;
}
