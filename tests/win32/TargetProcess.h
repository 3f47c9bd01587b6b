// Starts the test target program and finds its windows; ends the process when it goes out of scope.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

std::string TestProgramFolder();

// Commands on another process's windows may finish after they return, since they never wait for it: waits,
// at most a few seconds, until every such call has run and each window has handled what was sent before.
void SettleWindowCalls(std::initializer_list<HWND> windows);

class TTargetProcess {
  public:
    // The program starts from folder (UTF-8, ending in a separator) when one is given, else from the tests'.
    explicit TTargetProcess(const std::string& tag, bool hangOnRequest = false,
                            const std::string& folder = "");
    ~TTargetProcess();
    TTargetProcess(const TTargetProcess&) = delete;
    TTargetProcess& operator=(const TTargetProcess&) = delete;

    HWND MainWindow() const { return hMain; }
    HWND Child(int id) const { return GetDlgItem(hMain, id); }
    // A pop-up window (style 0x94CF0000) that refuses WM_CLOSE and SC_CLOSE and counts them.
    HWND Probe() const { return hProbe; }
    // The probe's child with a horizontal scroll bar and no vertical one.
    HWND Scroller() const { return GetDlgItem(hProbe, ScrollerId); }
    HWND Dialog() const { return hDialog; }
    // A counter that the probe keeps in a window property: "PaneprobeCloses" or "PaneprobePaints".
    UINT_PTR ProbeCount(const char* property) const {
        return reinterpret_cast<UINT_PTR>(GetPropA(hProbe, property));
    }
    DWORD ProcessId() const { return processId; }
    bool Running() const { return hProcess && WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT; }
    // Ends the process at once, as a crash or the task manager would, and waits until it has gone.
    bool Kill() const {
        return hProcess && TerminateProcess(hProcess, 9) &&
               WaitForSingleObject(hProcess, 5000) == WAIT_OBJECT_0;
    }
    // Makes the target's thread stop handling messages (only when started with hangOnRequest) and waits,
    // at most a few seconds, until it has stopped; false if it did not.
    bool Hang() const;
    // Ends the hang and waits, at most a few seconds, until the target answers again.
    bool Release() const;

    static const int ButtonId = 1;
    static const int EditId = 2;
    static const int KeeperId = 3;
    static const int ScrollerId = 4;

  private:
    HANDLE hProcess = nullptr;
    DWORD processId = 0;
    HWND hMain = nullptr;
    HWND hProbe = nullptr;
    HWND hDialog = nullptr;
    HANDLE hHung = nullptr;
    HANDLE hRelease = nullptr;
};
