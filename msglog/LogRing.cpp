// TLogRing: index arithmetic, publication order and drop counting of the shared ring.
#include "msglog/LogRing.h"

#include <cstring>

bool IsLogRingCapacity(uint32_t capacity) {
    return capacity >= 2 && capacity <= (1u << 24) && (capacity & (capacity - 1)) == 0;
}

size_t LogRingBytes(uint32_t capacity) {
    return sizeof(TLogRingHeader) + static_cast<size_t>(capacity) * sizeof(TLogRecord);
}

void TLogRing::Init(uint32_t capacity, uint64_t target, uint32_t targetThread, TLogScope scope,
                    int64_t startTime) {
    TLogRingHeader& h = *header;
    this->capacity = capacity;
    h.Magic = LogRingMagic;
    h.Version = LogRingVersion;
    h.Capacity = capacity;
    h.Scope.store(scope);
    h.Target = target;
    h.TargetThread = targetThread;
    h.Paused.store(0);
    h.Closed.store(0);
    h.WriteIndex.store(0);
    h.ReadIndex.store(0);
    h.Dropped.store(0);
    h.Seen = 0;
    h.StartTime = startTime;
    h.Attached.store(0);
    h.HookError.store(0);
    h.SkipLogWindows = 0;
}

bool TLogRing::Attach(size_t bytes) {
    capacity = 0;
    if (bytes < sizeof(TLogRingHeader)) return false;
    const TLogRingHeader& h = *header;
    uint32_t shared = h.Capacity;
    if (h.Magic != LogRingMagic || h.Version != LogRingVersion || !IsLogRingCapacity(shared) ||
        LogRingBytes(shared) > bytes)
        return false;
    capacity = shared;
    return true;
}

bool TLogRing::Write(TLogRecord& record) {
    TLogRingHeader& h = *header;
    record.Sequence = h.Seen++;
    uint32_t write = h.WriteIndex.load(std::memory_order_relaxed);
    uint32_t read = h.ReadIndex.load(std::memory_order_acquire);
    if (capacity == 0 || write - read >= capacity) {
        h.Dropped.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    Slots()[write & (capacity - 1)] = record;
    // The record is complete before the reader can see the new index.
    h.WriteIndex.store(write + 1, std::memory_order_release);
    return true;
}

uint32_t TLogRing::Waiting() const {
    return header->WriteIndex.load(std::memory_order_acquire) -
           header->ReadIndex.load(std::memory_order_relaxed);
}

size_t TLogRing::Read(std::vector<TLogRecord>& out, size_t max) {
    TLogRingHeader& h = *header;
    uint32_t read = h.ReadIndex.load(std::memory_order_relaxed);
    uint32_t write = h.WriteIndex.load(std::memory_order_acquire);
    uint32_t waiting = write - read;
    // A writer that broke the layout cannot make the reader run past the ring.
    if (waiting > capacity) waiting = capacity;
    size_t count = waiting < max ? waiting : max;
    for (size_t i = 0; i < count; ++i)
        out.push_back(Slots()[(read + static_cast<uint32_t>(i)) & (capacity - 1)]);
    // The slots are free for the writer only once they have been copied.
    h.ReadIndex.store(read + static_cast<uint32_t>(count), std::memory_order_release);
    return count;
}
