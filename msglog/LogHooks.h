// The hooks that carry messages into the logs: one set per logged thread, shared by every log of that
// thread, set with the hook module of this program's bitness.
#pragma once

#include "ui/WinHandles.h"

#include <windows.h>

#include <map>
#include <string>

// The hook module's file name for a bitness: "PaneprobeHook32.dll" or "PaneprobeHook64.dll".
std::string HookModuleName(int bits);
// 32 or 64 for a process handle; 0 when the process cannot be asked.
int ProcessBits(HANDLE process);
int OwnBits();
// How a refused hook reads for the system's error code.
std::string HookRefusalText(DWORD code);
// Hands the ring with this key to the hook module on the thread: false with the reason in error.
bool PostAttach(DWORD thread, uint64_t key, std::string& error);
// The helper program that hooks programs of a bitness: "PaneprobeHelper32.exe" or "PaneprobeHelper64.exe".
std::string HelperProgramName(int bits);
// The thread messages a helper takes, each with a ring's key (high half in wParam, low half in lParam).
const UINT HelperOpenMessage = WM_APP + 1;
const UINT HelperCloseMessage = WM_APP + 2;

// What sets the hooks for a log: this process for targets of its own bitness, a helper for the others.
class TLogHookHost {
  public:
    virtual ~TLogHookHost() = default;
    // Hooks the thread (if no log did yet) and hands it the ring with this key; false with the reason.
    virtual bool Start(uint64_t key, DWORD thread, std::string& error) = 0;
    virtual void Stop(uint64_t key, DWORD thread) = 0;
};

class TLogHooks : public TLogHookHost {
  public:
    // The hook module is looked for in this folder (the executable's by default) at the first Acquire. A
    // module of another name must not share the log module's name: the platform finds a hook's module in
    // the target by its name.
    explicit TLogHooks(std::string folder = std::string(), std::string moduleName = std::string());
    TLogHooks(const TLogHooks&) = delete;
    TLogHooks& operator=(const TLogHooks&) = delete;
    ~TLogHooks() override;

    // Sets the hooks on the thread unless they are set already, and counts one more user; false with the
    // reason in error.
    bool Acquire(DWORD thread, std::string& error);
    // One user less; the last one removes the thread's hooks.
    void Release(DWORD thread);
    int HookedThreads() const { return static_cast<int>(threads.size()); }
    // The system's code for the last failure of Acquire or Start.
    DWORD FailureCode() const { return failureCode; }

    bool Start(uint64_t key, DWORD thread, std::string& error) override;
    void Stop(uint64_t, DWORD thread) override { Release(thread); }

  private:
    struct THookSet {
        TWindowsHook Sent;
        TWindowsHook Returned;
        TWindowsHook Posted;
        int Users = 0;
    };
    bool LoadModule(std::string& error);

    std::string folder;
    std::string moduleName;
    DWORD failureCode = 0;
    TLibraryModule module;
    HOOKPROC sentProc = nullptr;
    HOOKPROC returnedProc = nullptr;
    HOOKPROC postedProc = nullptr;
    std::map<DWORD, THookSet> threads;
};
