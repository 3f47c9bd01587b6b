// Snapshot file: read arbitrary bytes; what reads must write back to a text that reads as the same tree,
// and compare with itself without a difference.
#include "FuzzCheck.h"
#include "snapshot/SnapshotCompare.h"
#include "snapshot/SnapshotFile.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    TSnapshot snapshot;
    std::string error;
    if (!ReadSnapshot(text, snapshot, error)) {
        FUZZ_CHECK(error.compare(0, 5, "line ") == 0);
        FUZZ_CHECK(snapshot.Empty());
        return 0;
    }
    const std::string written = WriteSnapshot(snapshot);
    TSnapshot again;
    FUZZ_CHECK(ReadSnapshot(written, again, error));
    FUZZ_CHECK(again.SameAs(snapshot));
    FUZZ_CHECK(WriteSnapshot(again) == written);
    FUZZ_CHECK(CompareSnapshots(snapshot, again).empty());
    return 0;
}
