// The settings file under faults on the platform itself: a process of ours saves it in a loop and is ended
// with TerminateProcess at a random moment, many times; the file is always the old or the new content.
#include "SettingsSaveLoop.h"
#include "StressSupport.h"

#include "TargetProcess.h"
#include "config/IniFile.h"

#include <gtest/gtest.h>

namespace {

const DWORD StartTimeoutMs = 20000;
const int MaxDelayMs = 30;

TEST(StressRun, SettingsSavesKilledAtRandom) {
    const int kills = LongRuns() ? 1000 : 40;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string fileName = TestProgramFolder() + "kill_run.ini";
    const std::string a = settings_kill::Content('a'), b = settings_kill::Content('b');
    settings_kill::WriteContent(fileName, a);
    settings_kill::TKillTally tally;
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

        ASSERT_TRUE(tally.Check(fileName, a, b, i));
    }
    DeleteFileA(fileName.c_str());
    settings_kill::RemoveTemporaries(fileName);
    const std::string name = "settings under faults";
    PrintFigure(name, "kills", std::to_string(kills));
    PrintFigure(name, "old or new content", std::to_string(tally.SawA + tally.SawB));
    PrintFigure(name, "broken files", std::to_string(tally.Broken));
    EXPECT_EQ(tally.Broken, 0);
    EXPECT_GT(tally.SawA, 0);
    EXPECT_GT(tally.SawB, 0);
}

} // namespace
