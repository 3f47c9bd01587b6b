// The target's hung mode: on request its thread stops handling messages until the test releases it, or
// until the given time has passed. Two named events of the target's process id tie it to the test:
// "Hung" is set once the thread has stopped, "Release" ends the hang.
#pragma once

#include <windows.h>

#include <string>

inline std::string TargetEventName(const char* what, DWORD processId) {
    return std::string("PaneprobeTarget") + what + "-" + std::to_string(processId);
}

inline void HangUntilReleased(DWORD timeoutMs) {
    const DWORD self = GetCurrentProcessId();
    HANDLE hung = CreateEventA(nullptr, TRUE, FALSE, TargetEventName("Hung", self).c_str());
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, TargetEventName("Release", self).c_str());
    if (hung) SetEvent(hung);
    if (release)
        WaitForSingleObject(release, timeoutMs);
    else
        Sleep(timeoutMs);
    if (hung) {
        ResetEvent(hung);
        CloseHandle(hung);
    }
    if (release) CloseHandle(release);
}
