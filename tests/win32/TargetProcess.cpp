// Starts the test target program and finds its windows.
#include "TargetProcess.h"

#include "app/WindowCalls.h"
#include "tests/target/TargetHang.h"

#include <vector>

std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

void SettleWindowCalls(std::initializer_list<HWND> windows) {
    for (int i = 0; i < 250 && WindowCallWorkers() > 0; ++i)
        Sleep(20);
    for (HWND window : windows) {
        DWORD_PTR unused = 0;
        if (!IsOwnThreadWindow(window))
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &unused);
    }
}

TTargetProcess::TTargetProcess(const std::string& tag, bool hangOnRequest, const std::string& folder) {
    std::string commandLine = "\"" + (folder.empty() ? TestProgramFolder() : folder) +
                              "PaneprobeTarget.exe\" " + tag + (hangOnRequest ? " hang" : "");
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return;
    CloseHandle(info.hThread);
    hProcess = info.hProcess;
    processId = info.dwProcessId;
    if (hangOnRequest) {
        hHung = CreateEventA(nullptr, TRUE, FALSE, TargetEventName("Hung", processId).c_str());
        hRelease = CreateEventA(nullptr, TRUE, FALSE, TargetEventName("Release", processId).c_str());
    }
    WaitForInputIdle(hProcess, 10000);
    // Words after the tag ask the target for more ("spawn"); the caption names the tag alone.
    std::string caption = "Paneprobe Target " + tag.substr(0, tag.find(' '));
    for (int attempt = 0; attempt < 200 && !hMain; ++attempt) {
        hMain = FindWindowA("PaneprobeTargetMain", caption.c_str());
        if (!hMain) Sleep(25);
    }
    // The main window is created last, so the others exist once it is found.
    hProbe = FindWindowA("PaneprobeTargetProbe", (caption + " probe").c_str());
    hDialog = FindWindowA("#32770", (caption + " dialog").c_str());
}

bool TTargetProcess::Hang() const {
    if (!hHung || !hRelease) return false;
    ResetEvent(hRelease);
    PostMessageA(hMain, WM_APP, 0, 0);
    return WaitForSingleObject(hHung, 5000) == WAIT_OBJECT_0;
}

bool TTargetProcess::Release() const {
    if (!hRelease) return false;
    SetEvent(hRelease);
    DWORD_PTR unused = 0;
    return SendMessageTimeoutA(hMain, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &unused) != 0;
}

TTargetProcess::~TTargetProcess() {
    if (hRelease) SetEvent(hRelease);
    if (hHung) CloseHandle(hHung);
    if (hRelease) CloseHandle(hRelease);
    if (!hProcess) return;
    if (WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(hProcess, 0);
        WaitForSingleObject(hProcess, 5000);
    }
    CloseHandle(hProcess);
}
