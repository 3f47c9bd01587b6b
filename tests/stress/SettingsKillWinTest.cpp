// The settings file under faults on the platform itself: a process of ours saves it in a loop and is ended
// with TerminateProcess at a random moment, many times; the file is always the old or the new content.
#include "SettingsSaveLoop.h"
#include "StressSupport.h"

#include "TargetProcess.h"
#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

const DWORD StartTimeoutMs = 20000;
const int MaxDelayMs = 30;

void WriteBytes(const std::string& fileName, const std::string& bytes) {
    std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(StressRun, SettingsSavesKilledAtRandom) {
    const int kills = LongRuns() ? 1000 : 40;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string fileName = TestProgramFolder() + "kill_run.ini";
    const std::string a = settings_kill::Content('a'), b = settings_kill::Content('b');
    WriteBytes(fileName, a);
    int sawA = 0, sawB = 0, broken = 0;
    for (int i = 0; i < kills; ++i) {
        std::string eventName =
            "PaneprobeSaveLoop" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(i);
        HANDLE started = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
        ASSERT_NE(started, nullptr);
        std::string commandLine =
            "\"" + std::string(self) + "\" --save-loop \"" + fileName + "\" " + eventName;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &info));
        CloseHandle(info.hThread);
        // Waits for the first completed save, with a time-out so that a saver that never saves fails the run.
        HANDLE waits[] = {started, info.hProcess};
        DWORD woke = WaitForMultipleObjects(2, waits, FALSE, StartTimeoutMs);
        if (woke == WAIT_OBJECT_0) Sleep(static_cast<DWORD>(RandomBelow(MaxDelayMs)));
        TerminateProcess(info.hProcess, 9);
        WaitForSingleObject(info.hProcess, StartTimeoutMs);
        CloseHandle(info.hProcess);
        CloseHandle(started);
        ASSERT_EQ(woke, WAIT_OBJECT_0) << "the saving process did not save";

        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(fileName, bytes));
        if (bytes == a)
            ++sawA;
        else if (bytes == b)
            ++sawB;
        else {
            ++broken;
            ADD_FAILURE() << "kill " << i << " left " << bytes.size() << " bytes that are neither content";
            WriteBytes(fileName, a);
        }
    }
    DeleteFileA(fileName.c_str());
    DeleteFileA((fileName + ".tmp").c_str());
    const std::string name = "settings under faults";
    PrintFigure(name, "kills", std::to_string(kills));
    PrintFigure(name, "old or new content", std::to_string(sawA + sawB));
    PrintFigure(name, "broken files", std::to_string(broken));
    EXPECT_EQ(broken, 0);
    EXPECT_GT(sawA, 0);
    EXPECT_GT(sawB, 0);
}

} // namespace
