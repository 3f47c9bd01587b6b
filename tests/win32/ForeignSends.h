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

// Sends each message in turn from a new thread, so that the window sees them as sent from elsewhere, while
// this thread handles its messages. A watchdog stops the waiting after timeoutMs; false when it had to.
bool SendFromOtherThread(std::vector<TForeignSend>& sends, DWORD timeoutMs = 20000);
