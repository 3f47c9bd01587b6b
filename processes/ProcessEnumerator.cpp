// TProcessEnumerator: snapshot, window choice, times and paths through the platform.
#include "processes/ProcessEnumerator.h"

#include "app/WinApiEx.h"
#include "ui/WinHandles.h"

#include <vector>

namespace {

// Only the process list is read; heap, module and thread lists would be gathered for nothing.
const DWORD SnapshotFlags = TH32CS_SNAPPROCESS;
const DWORD PathAccess = 0x1000; // PROCESS_QUERY_LIMITED_INFORMATION
const DWORD PathSize = 260;

uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

template <class T> T LookUp(HMODULE module, const char* name) {
    return module ? reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

} // namespace

TToolHelp LoadToolHelp(HMODULE module) {
    TToolHelp api;
    api.CreateSnapshot = LookUp<decltype(api.CreateSnapshot)>(module, "CreateToolhelp32Snapshot");
    api.First = LookUp<decltype(api.First)>(module, "Process32First");
    api.Next = LookUp<decltype(api.Next)>(module, "Process32Next");
    return api;
}

const TToolHelp& KernelToolHelp() {
    static const TToolHelp api = LoadToolHelp(GetModuleHandleA("kernel32.dll"));
    return api;
}

void TProcessEnumerator::Snapshot() {
    const TToolHelp& api = Api ? *Api : KernelToolHelp();
    if (!api.CreateSnapshot || !api.First || !api.Next) return;
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    SnapshotTime = FileTimeValue(now);
    TKernelHandle snapshot(api.CreateSnapshot(SnapshotFlags, 0));
    if (!snapshot) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = api.First(snapshot.Get(), &entry); more; more = api.Next(snapshot.Get(), &entry)) {
        auto process = std::make_unique<TProcess>();
        process->ProcessId = entry.th32ProcessID;
        process->ParentProcessId = entry.th32ParentProcessID;
        process->ThreadCount = entry.cntThreads;
        process->BasePriority = entry.pcPriClassBase;
        entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
        process->ExeFile = entry.szExeFile;
        Add(std::move(process));
        entry.dwSize = sizeof entry;
    }
}

TWindowFacts WindowFactsOf(HWND window, DWORD processId) {
    TWindowFacts facts;
    facts.Window = reinterpret_cast<uintptr_t>(window);
    facts.ProcessId = processId;
    // Read without a message to another thread, so a hung thread cannot stop the enumeration; one
    // character is enough to know the text is not empty.
    char text[2] = {};
    facts.TextLength = CaptionNoWait(window, text, sizeof text);
    facts.HasParent = GetParent(window) != nullptr;
    RECT rect = {};
    if (GetWindowRect(window, &rect)) {
        facts.Width = rect.right - rect.left;
        facts.Height = rect.bottom - rect.top;
    }
    facts.Style = static_cast<uint32_t>(GetWindowLongA(window, GWL_STYLE));
    return facts;
}

int TProcessEnumerator::WindowScore(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return ::WindowScore(WindowFactsOf(window, processId));
}

// One enumeration serves every process: the windows of processes that are not listed are not asked more.
void TProcessEnumerator::FindWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::vector<TWindowFacts> facts;
    facts.reserve(windows.size());
    for (HWND window : windows) {
        DWORD processId = 0;
        if (!GetWindowThreadProcessId(window, &processId) || !FindById(processId)) continue;
        facts.push_back(WindowFactsOf(window, processId));
    }
    ChooseBestWindows(*this, facts);
}

bool TProcessEnumerator::IsLaterProcess(HANDLE process) const {
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!SnapshotTime || !GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
    return FileTimeValue(created) > SnapshotTime;
}

namespace {

std::string QueryPath(HANDLE process) {
    char path[PathSize] = {};
    DWORD size = PathSize;
    if (!QueryFullProcessImageNameA(process, 0, path, &size)) return std::string();
    return std::string(path, size < PathSize ? size : PathSize - 1);
}

} // namespace

std::string TProcessEnumerator::ReadTimesAndPath(TProcess& process) const {
    if (process.ProcessId == 0) return std::string();
    TKernelHandle handle(OpenProcessToQuery(process.ProcessId));
    if (!handle) return ImagePath(process);
    if (!ReadTimesFrom(handle.Get(), process)) return std::string();
    return QueryPath(handle.Get());
}

void TProcessEnumerator::ReadTimes(TProcess& process) const {
    TKernelHandle handle(OpenProcessToQuery(process.ProcessId));
    if (handle) ReadTimesFrom(handle.Get(), process);
}

bool TProcessEnumerator::ReadTimesFrom(HANDLE handle, TProcess& process) const {
    FILETIME created = {}, exited = {}, kernel = {}, user = {};
    if (!GetProcessTimes(handle, &created, &exited, &kernel, &user)) return true;
    if (SnapshotTime && FileTimeValue(created) > SnapshotTime) {
        // Another process took over the identifier since the snapshot: nothing of it belongs here.
        process.CreationTime = process.ExitTime = process.KernelTime = process.UserTime = 0;
        process.Window = 0;
        return false;
    }
    process.CreationTime = FileTimeValue(created);
    process.ExitTime = FileTimeValue(exited);
    process.KernelTime = FileTimeValue(kernel);
    process.UserTime = FileTimeValue(user);
    return true;
}

std::string TProcessEnumerator::ImagePath(const TProcess& process) const {
    if (process.ProcessId == 0) return std::string();
    TKernelHandle handle(OpenProcess(PathAccess, FALSE, process.ProcessId));
    if (!handle || IsLaterProcess(handle.Get())) return std::string();
    return QueryPath(handle.Get());
}
