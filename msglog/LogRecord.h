// The layout that the hook modules of both bitnesses and Paneprobe share: a ring's header and its records.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

enum TLogKind : uint8_t { lkSent = 0, lkReturned = 1, lkPosted = 2 };
// Which windows of the target's thread a log records.
enum TLogScope : uint32_t { lsWindow = 0, lsDescendants = 1, lsThread = 2 };
// Which of the fields copied from a structure in the target a record carries.
enum TLogCopied : uint8_t {
    lcNone = 0,
    lcWindowPos, // x, y, cx, cy, flags, insert-after (low 32 bits)
    lcRect,      // left, top, right, bottom (WM_NCCALCSIZE)
    lcCreate,    // x, y, cx, cy, style, extended style
    lcMinMax,    // max size x, y, max position x, y, min track x, y, max track x, y
    lcStyle,     // old, new
    lcText,      // UTF-8, zero-terminated, cut at a whole character
};

// One message as the hook saw it. Every field has the same size in both bitnesses, so that a 32-bit and a
// 64-bit writer fill the same layout.
struct TLogRecord {
    uint64_t Sequence; // counts every message the hook saw for this log, dropped ones included
    int64_t Time;      // QueryPerformanceCounter
    uint64_t Window;
    uint64_t WParam;
    uint64_t LParam;
    uint64_t Result; // returned messages only
    uint32_t Message;
    uint32_t Thread;
    uint8_t Kind;
    uint8_t Copied;
    uint8_t Reserved[6];
    union {
        int32_t Values[8];
        char Text[32];
    } Fields;
};
static_assert(sizeof(TLogRecord) == 96, "both bitnesses write one record layout");
static_assert(offsetof(TLogRecord, Fields) == 64, "both bitnesses write one record layout");

const uint32_t LogRingMagic = 0x474C5050; // "PPLG"
const uint32_t LogRingVersion = 1;
// The thread message that tells the hook module on the target's thread which ring to take: posted with
// the ring's random 64-bit key, high half in wParam, low half in lParam.
const char* const LogAttachMessageName = "PaneprobeLogAttach";
// The shared memory's name is this prefix and the key in 16 hexadecimal digits.
const char* const LogRingNamePrefix = "Local\\PaneprobeLog-";
// A window property on each of Paneprobe's log windows: a log of Paneprobe's own thread never records them.
const char* const LogWindowProperty = "PaneprobeMessageLog";

// The ring's header at the start of the shared memory; the records follow it. The writer (the hook, on the
// target's thread) owns WriteIndex, Dropped and Seen; the reader (Paneprobe) owns ReadIndex. The indexes run
// freely and wrap at 2^32; the capacity is a power of two, so a slot is index & (capacity - 1).
struct TLogRingHeader {
    uint32_t Magic;
    uint32_t Version;
    uint32_t Capacity;
    std::atomic<uint32_t> Scope; // the log may change it while the hook reads it
    uint64_t Target;
    uint32_t TargetThread;
    std::atomic<uint32_t> Paused;
    std::atomic<uint32_t> Closed; // the log has gone: the hook module lets go of the ring
    std::atomic<uint32_t> WriteIndex;
    std::atomic<uint32_t> ReadIndex;
    std::atomic<uint32_t> Dropped;
    uint64_t Seen;
    int64_t StartTime;
    std::atomic<uint32_t> Attached;  // set by the hook module once it has taken the ring
    uint32_t SkipLogWindows;         // the target is Paneprobe's own thread: its log windows are left out
    std::atomic<uint32_t> HookError; // set by a helper that could not hook the thread: the system's code
    uint8_t Reserved[52];
};
static_assert(sizeof(std::atomic<uint32_t>) == 4, "the header is shared between bitnesses");
static_assert(std::atomic<uint32_t>::is_always_lock_free, "a writer in another process never waits");
static_assert(sizeof(TLogRingHeader) == 128, "both bitnesses read one header layout");
