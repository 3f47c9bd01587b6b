// TWindowMessage: parameter buffers in this process, and a send that never waits for ever.
#include "messages/WindowMessage.h"

#include <algorithm>

namespace {

const DWORD ReadableProtection = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                 PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

bool Readable(const void* address, size_t size) {
    return ReadableBytesAt(reinterpret_cast<uintptr_t>(address), size) >= size;
}

// A name in a creation structure: an atom or a readable text.
bool ReadableName(const char* name) {
    return IS_INTRESOURCE(name) || Readable(name, 1);
}

// Sent to a Unicode window of this thread, these messages are converted from ANSI by the platform in this
// very thread, which reads or fills the structure or text the parameter points at before the window sees the
// message: a missing one would crash this program. Such a message is not passed on and answers 0, which is
// what the windows give a message without its data (and a window that exists is past its creation anyway).
bool ConversionWithoutData(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto* data = reinterpret_cast<const void*>(lParam);
    switch (msg) {
    case WM_NCCREATE:
    case WM_CREATE: {
        auto creation = static_cast<const CREATESTRUCTA*>(data);
        if (!Readable(creation, sizeof *creation)) return true;
        return !ReadableName(creation->lpszName) || !ReadableName(creation->lpszClass);
    }
    case WM_MDICREATE: {
        auto creation = static_cast<const MDICREATESTRUCTA*>(data);
        if (!Readable(creation, sizeof *creation)) return true;
        return !ReadableName(creation->szClass) || !ReadableName(creation->szTitle);
    }
    case WM_GETTEXT:
    case WM_ASKCBFORMATNAME:
        return wParam != 0 && IsWindowUnicode(window) && !Readable(data, 1);
    case EM_GETLINE: // the first word holds the buffer's size
        return IsWindowUnicode(window) && !Readable(data, sizeof(WORD));
    default:
        return false;
    }
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

void TWindowMessage::Send(UINT timeoutMs, TTimedSend timedSend) {
    Result = 0;
    Outcome = TSendOutcome::Answered;
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(Wnd, &processId);
    ownProcessTarget = processId == GetCurrentProcessId();
    if (threadId == GetCurrentThreadId()) {
        if (!ConversionWithoutData(Wnd, Msg, WParam, LParam)) Result = SendMessageA(Wnd, Msg, WParam, LParam);
        return;
    }
    DWORD_PTR result = 0;
    SetLastError(ERROR_SUCCESS);
    if (timedSend(Wnd, Msg, WParam, LParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &result)) {
        Result = static_cast<LRESULT>(result);
        return;
    }
    DWORD error = GetLastError();
    // The platform keeps a program from sending to one that runs with higher rights (UIPI): the window
    // answers nothing, but it is not hung either.
    if (error == ERROR_ACCESS_DENIED) {
        Outcome = TSendOutcome::Refused;
        return;
    }
    // A window that went meanwhile is not one that failed to answer.
    if (!IsWindow(Wnd) && error != ERROR_TIMEOUT) return;
    Outcome = error == ERROR_TIMEOUT ? TSendOutcome::TimedOut : TSendOutcome::NotResponding;
}

void TWindowMessage::Post() {
    Outcome = TSendOutcome::Answered;
    Result = PostMessageA(Wnd, Msg, WParam, LParam);
}
