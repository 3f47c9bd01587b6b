// Messages that reach this thread's windows from a thread of their own, and addresses no structure lies at.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

// Three pages of this process: a writable one, one reserved but never mapped after it, and a read-only one.
class TBadPages {
  public:
    TBadPages();
    ~TBadPages();
    TBadPages(const TBadPages&) = delete;
    TBadPages& operator=(const TBadPages&) = delete;

    void* Unmapped() const;
    void* ReadOnly() const;
    // size bytes that begin in the writable page and run on into the unmapped one.
    void* Straddling(size_t size) const;

  private:
    char* base;
    size_t page;
};

struct TForeignSend {
    HWND Window;
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
    bool Answered = false;
    LRESULT Result = 0;
};

struct TForeignRun {
    bool Finished;    // false when the watchdog had to stop the waiting
    int AccessFaults; // raised in this thread while it handled the sends
};

// Sends each message in turn from a new thread, so that the window sees them as sent from elsewhere, while
// this thread handles its messages; a watchdog stops the waiting after timeoutMs. The platform may swallow
// a fault in a window procedure called for another thread, so faults are counted as they are raised.
TForeignRun SendFromOtherThread(std::vector<TForeignSend>& sends, DWORD timeoutMs = 20000);
