// The rotating mode of the target program: siblings reordered as fast as the thread can.
#include "TargetRotate.h"

namespace {

const char* const RotatingClass = "PaneprobeRotating";
const int RotorCount = 3;
const DWORD RotateForMs = 20000;

struct TRotation {
    HINSTANCE Instance;
    std::string Caption;
};

DWORD WINAPI Rotate(LPVOID parameter) {
    auto* rotation = static_cast<TRotation*>(parameter);
    HWND window = CreateWindowExA(0, RotatingClass, (rotation->Caption + " rotating").c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 500, 300, 200, nullptr, nullptr,
                                  rotation->Instance, nullptr);
    for (int i = 0; i < RotorCount && window; ++i)
        CreateWindowExA(0, "STATIC", "rotor", WS_CHILD | WS_VISIBLE, 10 + 30 * i, 10, 20, 20, window,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(i + 1)), rotation->Instance, nullptr);
    delete rotation;
    DWORD start = GetTickCount();
    MSG message;
    while (IsWindow(window)) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (GetTickCount() - start >= RotateForMs) {
            WaitMessage();
            continue;
        }
        HWND last = GetWindow(GetWindow(window, GW_CHILD), GW_HWNDLAST);
        SetWindowPos(last, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    return 0;
}

} // namespace

void StartRotation(HINSTANCE instance, const std::string& caption) {
    WNDCLASSA rotating = {};
    rotating.lpfnWndProc = DefWindowProcA;
    rotating.hInstance = instance;
    rotating.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    rotating.lpszClassName = RotatingClass;
    RegisterClassA(&rotating);
    HANDLE thread = CreateThread(nullptr, 0, Rotate, new TRotation{instance, caption}, 0, nullptr);
    if (thread) CloseHandle(thread);
}
