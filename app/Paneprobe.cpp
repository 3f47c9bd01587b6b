// Entry point: create the main window, run the message loop until it closes, end the process.
#include "app/Main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TPaneprobeForm form;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
