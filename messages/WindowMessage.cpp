// TWindowMessage: parameter buffers in this process, and a send that never waits for ever.
#include "messages/WindowMessage.h"

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
        Result = SendMessageA(Wnd, Msg, WParam, LParam);
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
