// Starts the target's child process on request.
#include "TargetChild.h"

#include <windows.h>

#include <vector>

void StartChildIfAsked(const std::string& arguments, const std::string& tag) {
    if (arguments.find(" spawn") == std::string::npos) return;
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, path, MAX_PATH)) return;
    std::string commandLine = "\"" + std::string(path) + "\" " + tag + "-child";
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        return;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}
