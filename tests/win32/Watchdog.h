// A watchdog for tests that wait on another window: when the test has not finished in time it runs an
// action that unblocks it (ending the other process, for example) and records that it fired.
#pragma once

#include <windows.h>

#include <functional>

class TWatchdog {
  public:
    TWatchdog(DWORD milliseconds, std::function<void()> onExpiry)
        : Milliseconds(milliseconds), OnExpiry(std::move(onExpiry)),
          Done(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        Thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    TWatchdog(const TWatchdog&) = delete;
    TWatchdog& operator=(const TWatchdog&) = delete;
    ~TWatchdog() {
        SetEvent(Done);
        if (Thread) {
            WaitForSingleObject(Thread, INFINITE);
            CloseHandle(Thread);
        }
        CloseHandle(Done);
    }
    bool Fired() const { return fired != 0; }

  private:
    static DWORD WINAPI Run(LPVOID self) {
        auto* dog = static_cast<TWatchdog*>(self);
        if (WaitForSingleObject(dog->Done, dog->Milliseconds) == WAIT_TIMEOUT) {
            InterlockedExchange(&dog->fired, 1);
            dog->OnExpiry();
        }
        return 0;
    }
    DWORD Milliseconds;
    std::function<void()> OnExpiry;
    HANDLE Done;
    HANDLE Thread = nullptr;
    volatile LONG fired = 0;
};
