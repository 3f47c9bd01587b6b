// Creates the target's windows with Unicode titles on request.
#include "TargetUnicode.h"

void CreateUnicodeWindowsIfAsked(HINSTANCE instance, const std::string& arguments) {
    if (arguments.find(" unicode") == std::string::npos) return;
    WNDCLASSW unicode = {};
    unicode.lpfnWndProc = DefWindowProcW;
    unicode.hInstance = instance;
    unicode.hCursor = LoadCursor(nullptr, IDC_ARROW);
    unicode.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    unicode.lpszClassName = UnicodeClass;
    RegisterClassW(&unicode);
    unicode.lpszClassName = UnicodeChildClass;
    RegisterClassW(&unicode);
    HWND top = CreateWindowExW(0, UnicodeClass, UnicodeTopTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 150,
                               360, 200, nullptr, nullptr, instance, nullptr);
    CreateWindowExW(0, UnicodeClass, UnicodeCjkTitle, WS_CHILD | WS_VISIBLE, 10, 10, 150, 40, top,
                    reinterpret_cast<HMENU>(UnicodeCjkId), instance, nullptr);
    CreateWindowExW(0, UnicodeChildClass, UnicodeEmojiTitle, WS_CHILD | WS_VISIBLE, 10, 60, 150, 40, top,
                    reinterpret_cast<HMENU>(UnicodeEmojiId), instance, nullptr);
}
