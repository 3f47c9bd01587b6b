// THelperHooks: starting the helper, the thread messages it takes, and its end with the last log.
#include "msglog/LogHelper.h"

#include "app/QrLib.h"
#include "app/WinApiEx.h"

#include <vector>

namespace {

const DWORD HelperStartMs = 5000;

} // namespace

THelperHooks::THelperHooks(int helperBits, std::string helperFolder)
    : bits(helperBits), folder(std::move(helperFolder)) {
    if (folder.empty()) {
        std::string name = ModuleFileName(nullptr);
        folder = name.substr(0, name.find_last_of("\\/") + 1);
    }
}

// The helper ends by itself when its last log closes or this process ends; a quit message ends it sooner.
THelperHooks::~THelperHooks() {
    if (Running()) PostThreadMessageA(helperThread, WM_QUIT, 0, 0);
}

bool THelperHooks::Running() const {
    return process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT;
}

bool THelperHooks::Launch(std::string& error) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    TKernelHandle ready(CreateEventA(&inherit, TRUE, FALSE, nullptr));
    std::string program = folder + HelperProgramName(bits);
    std::string commandLine = "\"" + program + "\" " + std::to_string(GetCurrentProcessId()) + " " +
                              std::to_string(reinterpret_cast<UINT_PTR>(ready.Get()));
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!ready || !CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &info)) {
        error = FormatText(
            "The window belongs to a %d-bit program, and the helper \"%s\" that hooks those is missing "
            "beside Paneprobe or cannot start.",
            bits, HelperProgramName(bits).c_str());
        return false;
    }
    CloseHandle(info.hThread);
    process.Reset(info.hProcess);
    helperThread = info.dwThreadId;
    // The helper is ours and answers at once; its queue must exist before the first message is posted.
    HANDLE both[] = {ready.Get(), process.Get()};
    if (WaitForMultipleObjects(2, both, FALSE, HelperStartMs) != WAIT_OBJECT_0) {
        error = "The hook helper \"" + HelperProgramName(bits) + "\" did not start.";
        process.Reset();
        return false;
    }
    return true;
}

bool THelperHooks::Start(uint64_t key, DWORD, std::string& error) {
    if (!Running() && !Launch(error)) return false;
    if (!PostThreadMessageA(helperThread, HelperOpenMessage,
                            static_cast<WPARAM>(static_cast<uint32_t>(key >> 32)),
                            static_cast<LPARAM>(static_cast<uint32_t>(key)))) {
        error = "The hook helper \"" + HelperProgramName(bits) + "\" cannot be reached: " + LastErrorText();
        return false;
    }
    ++users;
    return true;
}

void THelperHooks::Stop(uint64_t key, DWORD) {
    if (users > 0) --users;
    if (!Running()) return;
    PostThreadMessageA(helperThread, HelperCloseMessage,
                       static_cast<WPARAM>(static_cast<uint32_t>(key >> 32)),
                       static_cast<LPARAM>(static_cast<uint32_t>(key)));
    // The helper ends itself after the last close; a later log starts a new one.
    if (users == 0) process.Reset();
}
