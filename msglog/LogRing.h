// The shared-memory ring of one log: a single writer that never waits and drops when full, one reader.
#pragma once

#include "msglog/LogRecord.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Bytes of shared memory for a ring of this many records (a power of two).
size_t LogRingBytes(uint32_t capacity);
bool IsLogRingCapacity(uint32_t capacity);

class TLogRing {
  public:
    // Over memory of LogRingBytes(capacity) bytes, set up by Init or by another process (then Attach).
    explicit TLogRing(void* memory) : header(static_cast<TLogRingHeader*>(memory)) {}
    // Over a ring that was attached before, with the capacity found then.
    TLogRing(void* memory, uint32_t attachedCapacity)
        : header(static_cast<TLogRingHeader*>(memory)), capacity(attachedCapacity) {}

    // Makes an empty ring; the memory must be zero-filled or freshly mapped.
    void Init(uint32_t capacity, uint64_t target, uint32_t targetThread, TLogScope scope, int64_t startTime);
    // Takes a ring that another process made: true when the memory holds a ring of this layout whose
    // capacity fits the given size. The capacity is kept, so a later change in the shared header cannot
    // send this side past the memory.
    bool Attach(size_t bytes);
    uint32_t Capacity() const { return capacity; }

    TLogRingHeader& Header() const { return *header; }
    // Stores the record with its sequence number; when the ring is full the record is dropped and counted.
    bool Write(TLogRecord& record);
    // Appends up to max waiting records to out and frees their slots; returns how many.
    size_t Read(std::vector<TLogRecord>& out, size_t max = SIZE_MAX);
    uint32_t Waiting() const;

  private:
    TLogRecord* Slots() const { return reinterpret_cast<TLogRecord*>(header + 1); }
    TLogRingHeader* header;
    uint32_t capacity = 0;
};
