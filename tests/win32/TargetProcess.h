// Starts the test target program and finds its windows; ends the process when it goes out of scope.
#pragma once

#include <windows.h>

#include <string>

std::string TestProgramFolder();

class TTargetProcess {
public:
    explicit TTargetProcess(const std::string& tag, bool hangOnRequest = false);
    ~TTargetProcess();
    TTargetProcess(const TTargetProcess&) = delete;
    TTargetProcess& operator=(const TTargetProcess&) = delete;

    HWND MainWindow() const { return hMain; }
    HWND Child(int id) const { return GetDlgItem(hMain, id); }
    DWORD ProcessId() const { return processId; }
    // Makes the target's thread stop handling messages (only when started with hangOnRequest).
    void Hang() const { PostMessageA(hMain, WM_APP, 0, 0); }

    static const int ButtonId = 1;
    static const int EditId = 2;
    static const int KeeperId = 3;

private:
    HANDLE hProcess = nullptr;
    DWORD processId = 0;
    HWND hMain = nullptr;
};
