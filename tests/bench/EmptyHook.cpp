// A hook module whose procedures only pass each call on: the bench sets it as the log's module is set, so
// that the figures tell the platform's cost of any hook in another process from the log hook's own cost.
#include <windows.h>

extern "C" {

LRESULT CALLBACK PaneprobeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK PaneprobeCallWndRetProc(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK PaneprobeGetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // extern "C"
