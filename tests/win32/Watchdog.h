// A watchdog for tests that wait on another window: when the test has not finished in time it runs an
// action that unblocks it (ending the other process, for example) and records that it fired.
#pragma once

#include "ui/WinHandles.h"

#include <windows.h>

#include <functional>

// Ends a process that the test did not start itself, or whose waiting must end now, and waits a few seconds
// until it is gone.
inline void EndProcessById(DWORD processId) {
    TKernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) return;
    TerminateProcess(process.Get(), 0);
    WaitForSingleObject(process.Get(), 5000);
}

class TWatchdog {
  public:
    TWatchdog(DWORD milliseconds, std::function<void()> onExpiry)
        : Milliseconds(milliseconds), OnExpiry(std::move(onExpiry)),
          Done(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          Thread(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}
    TWatchdog(const TWatchdog&) = delete;
    TWatchdog& operator=(const TWatchdog&) = delete;
    ~TWatchdog() {
        SetEvent(Done.Get());
        if (Thread) WaitForSingleObject(Thread.Get(), INFINITE);
    }
    bool Fired() const { return fired != 0; }

  private:
    static DWORD WINAPI Run(LPVOID self) {
        auto* dog = static_cast<TWatchdog*>(self);
        if (WaitForSingleObject(dog->Done.Get(), dog->Milliseconds) == WAIT_TIMEOUT) {
            InterlockedExchange(&dog->fired, 1);
            dog->OnExpiry();
        }
        return 0;
    }
    DWORD Milliseconds;
    std::function<void()> OnExpiry;
    TKernelHandle Done;
    volatile LONG fired = 0;
    TKernelHandle Thread; // last: the thread starts once everything it reads is made
};
