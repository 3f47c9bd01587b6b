// The target's asking window, which takes its time over WM_CLOSE without ever hanging.
#include "TargetAsk.h"

#include "TargetHang.h"

namespace {

const DWORD AskLimitMs = 30000;

// Handles messages as a modal question's loop does, until the answer comes or the time is up.
void WaitForAnswer() {
    HANDLE answer =
        CreateEventA(nullptr, TRUE, FALSE, TargetEventName("Answer", GetCurrentProcessId()).c_str());
    const DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= AskLimitMs) break;
        // Messages already queued count too, not only those that arrive during the wait.
        DWORD woken = answer ? MsgWaitForMultipleObjectsEx(1, &answer, AskLimitMs - spent, QS_ALLINPUT,
                                                           MWMO_INPUTAVAILABLE)
                             : WAIT_TIMEOUT;
        if (woken != WAIT_OBJECT_0 + 1) break;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                if (answer) CloseHandle(answer);
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (answer) {
        ResetEvent(answer);
        CloseHandle(answer);
    }
}

LRESULT CALLBACK AskerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_CLOSE) return DefWindowProcA(hWnd, message, wParam, lParam);
    WaitForAnswer();
    return AskerAnswer;
}

} // namespace

void CreateAskerIfAsked(const std::string& arguments, HINSTANCE instance, const std::string& caption) {
    if (arguments.find(" ask") == std::string::npos) return;
    WNDCLASSA asker = {};
    asker.lpfnWndProc = AskerProc;
    asker.hInstance = instance;
    asker.hCursor = LoadCursor(nullptr, IDC_ARROW);
    asker.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    asker.lpszClassName = AskerClass;
    RegisterClassA(&asker);
    CreateWindowExA(0, AskerClass, (caption + " asker").c_str(), WS_POPUP | WS_CAPTION | WS_VISIBLE, 560, 340,
                    200, 100, nullptr, nullptr, instance, nullptr);
}
