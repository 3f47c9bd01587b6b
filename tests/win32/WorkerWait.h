// Waiting for a tab's worker: the test pumps messages as the program's loop would, until the result has
// been taken or a minute has passed (the watchdog of every test that waits on one).
#pragma once

#include "ShellTestSupport.h"

#include <windows.h>

#include <functional>

inline bool WaitForWorker(const std::function<bool()>& running, DWORD limitMs = 60000) {
    for (DWORD started = GetTickCount(); running() && GetTickCount() - started < limitMs;)
        PumpMessages(10);
    return !running();
}

// The Branch tab's tree built from the tracked window, as the user sees it once it is in.
template <class TBranch> bool RebuildAndWait(TBranch& branch) {
    branch.RebuildTree();
    return WaitForWorker([&branch] { return branch.Building(); });
}
