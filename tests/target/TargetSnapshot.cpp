// The snapshot mode of the target program: a small, fixed window tree that the tests change on request.
#include "TargetSnapshot.h"

#include <cstdlib>

namespace {

const char* const FrameClass = "PaneprobeSnapshotFrame";
const int PerPanel = 50;

HWND Child(const char* className, const char* text, DWORD style, int id, HWND parent, int x, int y) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, 80, 24, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                           nullptr);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_APP + 20:
        Child("BUTTON", "Added", BS_PUSHBUTTON, 21, window, 200, 10);
        return 0;
    case WM_APP + 21:
        DestroyWindow(GetDlgItem(window, 12));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

void CreateSnapshotWindowsIfAsked(HINSTANCE instance, const std::string& arguments,
                                  const std::string& caption) {
    const size_t mode = arguments.find(" snapshot");
    if (mode == std::string::npos) return;
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    frameClass.lpszClassName = FrameClass;
    RegisterClassA(&frameClass);
    HWND frame =
        CreateWindowExA(0, FrameClass, (caption + " snapshot").c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150,
                        150, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!frame) return;
    Child("BUTTON", "First", BS_PUSHBUTTON, 11, frame, 10, 10);
    Child("STATIC", "Label", 0, 12, frame, 10, 40);
    HWND panel = Child(FrameClass, "", 0, 13, frame, 10, 70);
    Child("EDIT", "inner", WS_BORDER, 14, panel, 0, 0);
    const int extra =
        arguments.compare(mode, 10, " snapshot=") == 0 ? std::atoi(arguments.c_str() + mode + 10) : 0;
    HWND group = nullptr;
    for (int i = 0; i < extra; ++i) {
        if (i % PerPanel == 0) group = Child(FrameClass, "", 0, 100 + i / PerPanel, panel, 0, 30);
        Child("STATIC", "item", 0, 1000 + i, group, 0, 0);
    }
}
