// The target's scale mode: a large desktop for the benchmarks.
#pragma once

#include <windows.h>

#include <string>

// "scale windows=N children=C processes=P parent=ID": N top-level windows with C children each and P idle
// copies of the program, which end with it; the whole program ends with the process ID (the benchmark) or
// after ten minutes. "idle=ID" makes one of the idle copies, which waits for process ID to end.
int RunScaleDesktop(HINSTANCE instance, const std::string& arguments, const std::string& tag);
