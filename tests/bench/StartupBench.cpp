// Start-up: from process start to the main window's first paint, Paneprobe against a bare program with one
// window and its nine tabs, each started the same way and watched from here.
#include "BenchClock.h"
#include "tests/win32/TargetProcess.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const DWORD StartLimitMs = 30000;

struct TFind {
    DWORD ProcessId;
    HWND Window;
};

BOOL CALLBACK FindShown(HWND window, LPARAM data) {
    auto* find = reinterpret_cast<TFind*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != find->ProcessId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
    find->Window = window;
    return FALSE;
}

// Painted: the window is shown, its thread has come back to its message loop (it answers), and no part of
// it waits to be painted.
bool Painted(DWORD processId) {
    TFind find = {processId, nullptr};
    EnumWindows(FindShown, reinterpret_cast<LPARAM>(&find));
    if (!find.Window) return false;
    DWORD_PTR unused = 0;
    if (!SendMessageTimeoutA(find.Window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &unused)) return false;
    return !GetUpdateRect(find.Window, nullptr, FALSE);
}

// Seconds from CreateProcess to the first paint; negative when it did not paint in time.
double TimeToFirstPaint(const std::string& program) {
    std::string commandLine = "\"" + TestProgramFolder() + program + "\"";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const double start = Seconds();
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return -1;
    double elapsed = -1;
    for (DWORD started = GetTickCount(); GetTickCount() - started < StartLimitMs;) {
        if (Painted(info.dwProcessId)) {
            elapsed = Seconds() - start;
            break;
        }
        Sleep(1);
    }
    TerminateProcess(info.hProcess, 0); // never saves its settings: each run starts alike
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

} // namespace

void RunStartupBench() {
    const int runs = 5;
    std::vector<double> bare, paneprobe;
    for (int i = 0; i < runs; ++i) { // alternate, so that neither gets a quieter system
        bare.push_back(TimeToFirstPaint("paneprobe_startup_bare.exe"));
        paneprobe.push_back(TimeToFirstPaint("Paneprobe.exe"));
    }
    const double b = Median(bare), p = Median(paneprobe);
    std::printf("\nStart-up, process start to the main window's first paint (median of %d):\n", runs);
    std::printf("  bare program, one window with nine tabs: %8.1f ms\n", b * 1e3);
    std::printf("  Paneprobe:                              %8.1f ms\n", p * 1e3);
    if (b > 0 && p > 0) std::printf("  ratio: %.2fx\n", p / b);
}
