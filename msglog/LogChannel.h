// One log's channel from a target window's thread: the shared ring under an unguessable name, and the host
// that hooks the thread and hands the ring to the hook module there.
#pragma once

#include "msglog/LogHooks.h"
#include "msglog/LogRing.h"
#include "ui/WinHandles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class TLogChannel {
  public:
    static const uint32_t DefaultCapacity = 1u << 16;

    // Sets everything up at once; Error() says why when it failed. Nothing here waits for the target.
    TLogChannel(TLogHookHost& host, HWND target, TLogScope scope, uint32_t capacity = DefaultCapacity);
    TLogChannel(const TLogChannel&) = delete;
    TLogChannel& operator=(const TLogChannel&) = delete;
    ~TLogChannel();

    bool Ok() const { return ring != nullptr; }
    const std::string& Error() const { return error; }
    HWND Target() const { return target; }
    DWORD Thread() const { return thread; }
    DWORD ProcessId() const { return processId; }
    int Bits() const { return bits; }
    int64_t StartTime() const { return startTime; }
    int64_t Frequency() const { return frequency; }

    // Moves up to max waiting records into out; returns how many.
    size_t Drain(std::vector<TLogRecord>& out, size_t max = SIZE_MAX);
    uint32_t Dropped() const;
    uint32_t Waiting() const;
    // Whether the hook module on the target's thread has taken the ring (a hung target never does).
    bool Attached() const;
    bool TargetEnded() const;
    // Why a helper could not hook the thread; empty while nothing went wrong.
    std::string HookError() const;
    void SetPaused(bool paused);
    void SetScope(TLogScope scope);

  private:
    bool Open(TLogScope scope, uint32_t capacity);

    TLogHookHost& host;
    uint64_t key = 0;
    HWND target;
    DWORD thread = 0;
    DWORD processId = 0;
    int bits = 0;
    bool hooked = false;
    int64_t startTime = 0;
    int64_t frequency = 1;
    std::string error;
    TKernelHandle process;
    TKernelHandle mapping;
    TMappedView view;
    std::unique_ptr<TLogRing> ring;
};
