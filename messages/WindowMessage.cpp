// TWindowMessage: parameter buffers in this process, and a send that never waits for ever.
#include "messages/WindowMessage.h"

#include <algorithm>

namespace {

const DWORD ReadableProtection = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                 PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// A window of this thread that exists is past its creation, and every window of this program answers a late
// creation message with 0. The platform's ANSI/Unicode conversion of the creation structure happens in the
// sending thread, so a missing structure would crash this program before the window saw the message.
bool LateCreationWithoutData(UINT msg, LPARAM lParam) {
    if (msg != WM_NCCREATE && msg != WM_CREATE) return false;
    auto address = static_cast<uintptr_t>(lParam);
    if (ReadableBytesAt(address, sizeof(CREATESTRUCTA)) < sizeof(CREATESTRUCTA)) return true;
    // The conversion also reads the two names the structure points at (a class may be an atom).
    auto creation = reinterpret_cast<const CREATESTRUCTA*>(address);
    auto unreadable = [](const char* text) {
        return !IS_INTRESOURCE(text) && !ReadableBytesAt(reinterpret_cast<uintptr_t>(text), 1);
    };
    return unreadable(creation->lpszName) || unreadable(creation->lpszClass);
}

} // namespace

size_t ReadableBytesAt(uintptr_t address, size_t bound) {
    size_t readable = 0;
    uintptr_t at = address;
    while (readable < bound) {
        MEMORY_BASIC_INFORMATION region = {};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) != sizeof region) break;
        if (region.State != MEM_COMMIT || (region.Protect & (PAGE_GUARD | PAGE_NOACCESS)) ||
            !(region.Protect & ReadableProtection))
            break;
        uintptr_t end = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
        if (end <= at) break; // the top of the address space
        readable += static_cast<size_t>(end - at);
        at = end;
    }
    return std::min(readable, bound);
}


TWindowMessage::TWindowMessage(HWND wnd, UINT msg, const std::string& wParamText,
                               const std::string& lParamText)
    : Wnd(wnd), Msg(msg) {
    WParam = static_cast<WPARAM>(Buffers.Apply(0, ParseParamText(wParamText, PointerBits())));
    LParam = static_cast<LPARAM>(Buffers.Apply(1, ParseParamText(lParamText, PointerBits())));
}

void TWindowMessage::Send(UINT timeoutMs) {
    Result = 0;
    Returned = true;
    Hung = false;
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(Wnd, &processId);
    ownProcessTarget = processId == GetCurrentProcessId();
    if (threadId == GetCurrentThreadId()) {
        if (!LateCreationWithoutData(Msg, LParam)) Result = SendMessageA(Wnd, Msg, WParam, LParam);
        return;
    }
    DWORD_PTR result = 0;
    SetLastError(ERROR_SUCCESS);
    if (SendMessageTimeoutA(Wnd, Msg, WParam, LParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result)) {
        Result = static_cast<LRESULT>(result);
        return;
    }
    DWORD error = GetLastError();
    // A window that went meanwhile is not one that failed to answer.
    if (!IsWindow(Wnd) && error != ERROR_TIMEOUT) return;
    Returned = false;
    Hung = error != ERROR_TIMEOUT;
}

void TWindowMessage::Post() {
    Returned = true;
    Hung = false;
    Result = PostMessageA(Wnd, Msg, WParam, LParam);
}
