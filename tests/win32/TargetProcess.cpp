// Starts the test target program and finds its windows.
#include "TargetProcess.h"

#include <vector>

std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

TTargetProcess::TTargetProcess(const std::string& tag, bool hangOnRequest) {
    std::string commandLine =
        "\"" + TestProgramFolder() + "PaneprobeTarget.exe\" " + tag + (hangOnRequest ? " hang" : "");
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
    WaitForInputIdle(hProcess, 10000);
    std::string caption = "Paneprobe Target " + tag;
    for (int attempt = 0; attempt < 200 && !hMain; ++attempt) {
        hMain = FindWindowA("PaneprobeTargetMain", caption.c_str());
        if (!hMain) Sleep(25);
    }
    // The main window is created last, so the others exist once it is found.
    hProbe = FindWindowA("PaneprobeTargetProbe", (caption + " probe").c_str());
    hDialog = FindWindowA("#32770", (caption + " dialog").c_str());
}

TTargetProcess::~TTargetProcess() {
    if (!hProcess) return;
    if (WaitForSingleObject(hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(hProcess, 0);
        WaitForSingleObject(hProcess, 5000);
    }
    CloseHandle(hProcess);
}
