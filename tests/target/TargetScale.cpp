// The scale mode: many windows and processes, and an end that does not depend on the benchmark ending well.
#include "TargetScale.h"

#include <cstdlib>
#include <vector>

namespace {

const DWORD LongestLifeMs = 600000;
const char* const ScaleClass = "PaneprobeTargetScale";
// The class the tests look for the target's main window by.
const char* const MainClass = "PaneprobeTargetMain";

unsigned long NumberAfter(const std::string& arguments, const std::string& key, unsigned long otherwise) {
    size_t at = arguments.find(" " + key + "=");
    if (at == std::string::npos) return otherwise;
    return std::strtoul(arguments.c_str() + at + key.size() + 2, nullptr, 10);
}

// Ends this process when the given one ends, or at the longest life.
DWORD WINAPI EndWithProcess(LPVOID processId) {
    HANDLE process =
        OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(reinterpret_cast<UINT_PTR>(processId)));
    WaitForSingleObject(process ? process : GetCurrentProcess(), LongestLifeMs);
    ExitProcess(0);
}

void WatchProcess(DWORD processId) {
    if (HANDLE thread = CreateThread(nullptr, 0, EndWithProcess,
                                     reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(processId)), 0, nullptr))
        CloseHandle(thread);
}

// The copies also watch this process themselves: a platform without jobs that end their processes still
// ends them.
HANDLE StartIdleCopies(const std::string& tag, unsigned long count) {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, path, MAX_PATH)) return job;
    const std::string commandLine =
        "\"" + std::string(path) + "\" " + tag + "-idle scale idle=" + std::to_string(GetCurrentProcessId());
    for (unsigned long i = 0; i < count; ++i) {
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &info))
            continue;
        if (job) AssignProcessToJobObject(job, info.hProcess);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    return job;
}

LRESULT CALLBACK ScaleMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

void CreateWindows(HINSTANCE instance, unsigned long count, unsigned long children) {
    for (unsigned long i = 0; i < count; ++i) {
        const std::string caption = "scale " + std::to_string(i);
        // Small, in one corner, never activated: the desktop is large without covering the benchmark.
        HWND top = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, ScaleClass, caption.c_str(),
                                   WS_POPUP | WS_VISIBLE, 1200 + static_cast<int>(i % 60), 960, 40, 40,
                                   nullptr, nullptr, instance, nullptr);
        for (unsigned long c = 0; top && c < children; ++c)
            CreateWindowExA(0, ScaleClass, (caption + "." + std::to_string(c)).c_str(), WS_CHILD | WS_VISIBLE,
                            static_cast<int>(c), 0, 4, 4, top, nullptr, instance, nullptr);
    }
}

} // namespace

int RunScaleDesktop(HINSTANCE instance, const std::string& arguments, const std::string& tag) {
    if (unsigned long owner = NumberAfter(arguments, "idle", 0)) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner);
        HANDLE ready = CreateSemaphoreA(nullptr, 0, 100000, ScaleReadyName(owner).c_str());
        if (ready) ReleaseSemaphore(ready, 1, nullptr);
        if (process) WaitForSingleObject(process, LongestLifeMs);
        return 0;
    }
    WatchProcess(NumberAfter(arguments, "parent", GetCurrentProcessId()));
    HANDLE job = StartIdleCopies(tag, NumberAfter(arguments, "processes", 0));

    WNDCLASSA scale = {};
    scale.lpfnWndProc = DefWindowProcA;
    scale.hInstance = instance;
    scale.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    scale.lpszClassName = ScaleClass;
    RegisterClassA(&scale);
    WNDCLASSA main = scale;
    main.lpfnWndProc = ScaleMainProc;
    main.lpszClassName = MainClass;
    RegisterClassA(&main);
    CreateWindows(instance, NumberAfter(arguments, "windows", 0), NumberAfter(arguments, "children", 0));
    // Last, so that everything exists once it is found.
    HWND window =
        CreateWindowExA(0, MainClass, ("Paneprobe Target " + tag).c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 400, 300, nullptr, nullptr, instance, nullptr);
    MSG message;
    while (window && GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    if (job) CloseHandle(job);
    return 0;
}
