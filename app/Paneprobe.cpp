// Entry point: create the main window, run the message loop until it closes, end the process.
#include "app/Main.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    TPaneprobeForm form;
    form.SetMainForm(true);
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Key preview, shortcuts and the wheel redirection.
        if (TNvForm::PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
