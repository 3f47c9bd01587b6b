// TProcessEnumerator: the running processes from a tool-help snapshot, their best windows, times and paths.
#pragma once

#include "processes/ProcessTree.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>

// The tool-help entry points, looked up by name; any of them may be missing.
struct TToolHelp {
    HANDLE(WINAPI* CreateSnapshot)(DWORD flags, DWORD processId) = nullptr;
    BOOL(WINAPI* First)(HANDLE snapshot, PROCESSENTRY32* entry) = nullptr;
    BOOL(WINAPI* Next)(HANDLE snapshot, PROCESSENTRY32* entry) = nullptr;
};
TToolHelp LoadToolHelp(HMODULE module);
// The kernel library's, looked up once, at first use.
const TToolHelp& KernelToolHelp();

class TProcessEnumerator : public TProcessList {
  public:
    explicit TProcessEnumerator(const TToolHelp* api = nullptr) : Api(api) {}

    // When the last snapshot was taken, as a UTC file time: no process it lists started later.
    uint64_t SnapshotTime = 0;

    // Appends one record per running process; nothing when the snapshot cannot be taken.
    void Snapshot();
    // Sets Window of every record, from one enumeration of the top-level windows.
    void FindWindows();
    // The four times, or zeros when the process cannot be opened or is not the one the snapshot listed.
    void ReadTimes(TProcess& process) const;
    // The executable's full path, or empty.
    std::string ImagePath(const TProcess& process) const;
    // ReadTimes and ImagePath with one open of the process where its rights allow both; the same results.
    std::string ReadTimesAndPath(TProcess& process) const;
    static int WindowScore(HWND window);

  private:
    // A process created after the snapshot has taken over the identifier of one that ended.
    bool IsLaterProcess(HANDLE process) const;
    // False when the process is not the one the snapshot listed.
    bool ReadTimesFrom(HANDLE handle, TProcess& process) const;
    const TToolHelp* Api;
};

// Facts of one window for the score; reads the text length without asking another program's thread.
TWindowFacts WindowFactsOf(HWND window, DWORD processId);
