// Messages that reach this thread's windows from a thread of their own, and addresses no structure lies at.
#include "ForeignSends.h"

#include "ShellTestSupport.h"
#include "Watchdog.h"

#include <atomic>
#include <thread>

TBadPages::TBadPages() {
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    page = info.dwPageSize;
    base = static_cast<char*>(VirtualAlloc(nullptr, 3 * page, MEM_RESERVE, PAGE_NOACCESS));
    VirtualAlloc(base, page, MEM_COMMIT, PAGE_READWRITE);
    VirtualAlloc(base + 2 * page, page, MEM_COMMIT, PAGE_READONLY);
}

TBadPages::~TBadPages() {
    VirtualFree(base, 0, MEM_RELEASE);
}

void* TBadPages::Unmapped() const {
    return base + page;
}

void* TBadPages::ReadOnly() const {
    return base + 2 * page;
}

void* TBadPages::Straddling(size_t size) const {
    return base + page - size / 2;
}

namespace {

std::atomic<DWORD> WatchedThread{0};
std::atomic<int> AccessFaults{0};

LONG CALLBACK CountAccessFault(EXCEPTION_POINTERS* info) {
    if (info->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION &&
        GetCurrentThreadId() == WatchedThread)
        ++AccessFaults;
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

TForeignRun SendFromOtherThread(std::vector<TForeignSend>& sends, DWORD timeoutMs) {
    AccessFaults = 0;
    WatchedThread = GetCurrentThreadId();
    PVOID counter = AddVectoredExceptionHandler(1, CountAccessFault);
    std::atomic<bool> finished{false};
    std::thread sender([&] {
        for (TForeignSend& send : sends) {
            DWORD_PTR result = 0;
            send.Answered = SendMessageTimeoutA(send.Window, send.Message, send.WParam, send.LParam,
                                                SMTO_NORMAL, 2000, &result) != 0;
            send.Result = static_cast<LRESULT>(result);
        }
        finished = true;
    });
    std::atomic<bool> gaveUp{false};
    {
        TWatchdog watchdog(timeoutMs, [&gaveUp] { gaveUp = true; });
        while (!finished && !gaveUp) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT | QS_SENDMESSAGE);
            PumpMessages();
        }
    }
    // Each send gives up on its own once this thread stops answering.
    sender.join();
    RemoveVectoredExceptionHandler(counter);
    WatchedThread = 0;
    return {!gaveUp, AccessFaults.load()};
}
