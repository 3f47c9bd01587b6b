// The start-up benchmark's bare program: one window with a tab control of nine tabs, shown and painted.
#include <windows.h>
#include <commctrl.h>

namespace {

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA bare = {};
    bare.lpfnWndProc = BareProc;
    bare.hInstance = instance;
    bare.hCursor = LoadCursor(nullptr, IDC_ARROW);
    bare.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    bare.lpszClassName = "PaneprobeStartupBare";
    RegisterClassA(&bare);
    HWND window = CreateWindowExA(0, bare.lpszClassName, "Paneprobe start-up bare", WS_OVERLAPPEDWINDOW, 100,
                                  100, 640, 480, nullptr, nullptr, instance, nullptr);
    HWND tabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 640,
                                440, window, nullptr, instance, nullptr);
    const char* const captions[] = {"Tracked",  "Placement",  "Enum",      "Branch", "Menus",
                                    "Messages", "Properties", "Processes", "Config"};
    for (int i = 0; i < 9; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(captions[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
