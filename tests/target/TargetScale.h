// The target's scale mode: a large desktop for the benchmarks.
#pragma once

#include <windows.h>

#include <string>

// The semaphore that each idle copy of the scale target with the given process id releases once it waits.
inline std::string ScaleReadyName(DWORD processId) {
    return "PaneprobeScaleReady-" + std::to_string(processId);
}

// "scale windows=N children=C processes=P parent=ID": N top-level windows with C children each and P idle
// copies of the program, which end with it; the whole program ends with the process ID (the benchmark) or
// after ten minutes. "idle=ID" makes one of the idle copies, which waits for process ID to end.
int RunScaleDesktop(HINSTANCE instance, const std::string& arguments, const std::string& tag);
