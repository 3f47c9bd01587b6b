// The main window of Paneprobe.
#include "app/Main.h"

namespace {
const char* const MainClassName = "TPaneprobeForm";
const char* const MainTitle = "Quorvel Paneprobe 16.06.28";
} // namespace

TPaneprobeForm::TPaneprobeForm() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainClassName;
    RegisterClassExA(&windowClass);
    int width = 720, height = 533;
    int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    hWnd = CreateWindowExA(0, MainClassName, MainTitle, WS_OVERLAPPEDWINDOW, left, top, width, height, nullptr,
                           nullptr, instance, nullptr);
    ShowWindow(hWnd, SW_SHOW);
}

TPaneprobeForm::~TPaneprobeForm() {
    if (IsWindow(hWnd)) DestroyWindow(hWnd);
}

LRESULT CALLBACK TPaneprobeForm::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}
