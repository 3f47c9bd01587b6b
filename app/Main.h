// The main window of Paneprobe.
#pragma once

#include <windows.h>

class TPaneprobeForm {
public:
    TPaneprobeForm();
    ~TPaneprobeForm();
    TPaneprobeForm(const TPaneprobeForm&) = delete;
    TPaneprobeForm& operator=(const TPaneprobeForm&) = delete;

    HWND Handle() const { return hWnd; }

private:
    HWND hWnd = nullptr;
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};
