// TLogHooks: the hook module of this bitness and the shared, counted hook sets of the logged threads.
#include "msglog/LogHooks.h"

#include "app/WinApiEx.h"
#include "msglog/LogRecord.h"

std::string HelperProgramName(int bits) {
    return bits == 64 ? "PaneprobeHelper64.exe" : "PaneprobeHelper32.exe";
}

std::string HookModuleName(int bits) {
    return bits == 64 ? "PaneprobeHook64.dll" : "PaneprobeHook32.dll";
}

int OwnBits() {
    return static_cast<int>(sizeof(void*) * 8);
}

int ProcessBits(HANDLE process) {
    BOOL wow = FALSE;
    if (!IsWow64Process(process, &wow)) return 0;
    if (wow) return 32;
    if (OwnBits() == 64) return 64;
    // A 32-bit program outside WOW64 runs on a 32-bit system, where every program is 32-bit.
    BOOL selfWow = FALSE;
    IsWow64Process(GetCurrentProcess(), &selfWow);
    return selfWow ? 64 : 32;
}

namespace {

HOOKPROC HookProcedure(HMODULE module, const char* name) {
    return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::string ExecutableFolder() {
    std::string name = ModuleFileName(nullptr);
    return name.substr(0, name.find_last_of("\\/") + 1);
}

} // namespace

// A target with higher rights is the usual cause.
std::string HookRefusalText(DWORD code) {
    if (code == ERROR_ACCESS_DENIED)
        return "The program refused the hook: it runs with higher rights than Paneprobe.";
    SetLastError(code);
    return "The hook could not be set: " + LastErrorText();
}

bool PostAttach(DWORD thread, uint64_t key, std::string& error) {
    UINT attach = RegisterWindowMessageA(LogAttachMessageName);
    if (attach && PostThreadMessageA(thread, attach, static_cast<WPARAM>(static_cast<uint32_t>(key >> 32)),
                                     static_cast<LPARAM>(static_cast<uint32_t>(key))))
        return true;
    error = HookRefusalText(GetLastError());
    return false;
}

TLogHooks::TLogHooks(std::string hookFolder, std::string module)
    : folder(std::move(hookFolder)), moduleName(std::move(module)) {
    if (folder.empty()) folder = ExecutableFolder();
    if (moduleName.empty()) moduleName = HookModuleName(OwnBits());
}

// The hooks go before the module: the map is emptied first.
TLogHooks::~TLogHooks() {
    threads.clear();
}

bool TLogHooks::LoadModule(std::string& error) {
    if (module) return true;
    std::string path = folder + moduleName;
    TLibraryModule loaded(LoadLibraryA(path.c_str()));
    if (!loaded) {
        failureCode = GetLastError();
        error = "The hook module \"" + moduleName + "\" is missing beside Paneprobe or cannot be loaded.";
        return false;
    }
    sentProc = HookProcedure(loaded.Get(), "PaneprobeCallWndProc");
    returnedProc = HookProcedure(loaded.Get(), "PaneprobeCallWndRetProc");
    postedProc = HookProcedure(loaded.Get(), "PaneprobeGetMsgProc");
    if (!sentProc || !returnedProc || !postedProc) {
        error = "The hook module \"" + moduleName + "\" is not Paneprobe's.";
        return false;
    }
    module = std::move(loaded);
    return true;
}

bool TLogHooks::Acquire(DWORD thread, std::string& error) {
    auto found = threads.find(thread);
    if (found != threads.end()) {
        ++found->second.Users;
        return true;
    }
    if (!LoadModule(error)) return false;
    THookSet set;
    HINSTANCE instance = module.Get();
    // Set on this one thread only, never system-wide.
    set.Sent = TWindowsHook(SetWindowsHookExW(WH_CALLWNDPROC, sentProc, instance, thread));
    if (set.Sent)
        set.Returned = TWindowsHook(SetWindowsHookExW(WH_CALLWNDPROCRET, returnedProc, instance, thread));
    if (set.Returned)
        set.Posted = TWindowsHook(SetWindowsHookExW(WH_GETMESSAGE, postedProc, instance, thread));
    if (!set.Posted) {
        failureCode = GetLastError();
        error = HookRefusalText(failureCode);
        return false;
    }
    set.Users = 1;
    threads.emplace(thread, std::move(set));
    return true;
}

void TLogHooks::Release(DWORD thread) {
    auto found = threads.find(thread);
    if (found != threads.end() && --found->second.Users <= 0) threads.erase(found);
}

bool TLogHooks::Start(uint64_t key, DWORD thread, std::string& error) {
    if (!Acquire(thread, error)) return false;
    // The hooks are set before the message is posted, so the thread's next retrieval attaches the ring.
    if (PostAttach(thread, key, error)) return true;
    failureCode = GetLastError();
    Release(thread);
    return false;
}
