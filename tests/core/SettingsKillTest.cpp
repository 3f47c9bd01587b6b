// The settings file under faults: a process saving it in a loop is killed at random moments, and the file
// is every time one of the two contents it alternates between, byte for byte.
#include "../stress/SettingsSaveLoop.h"

#include "config/IniFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int Kills() {
    const char* stress = std::getenv("PANEPROBE_STRESS");
    return stress && std::string(stress) == "long" ? 1000 : 200;
}

TEST(SettingsUnderFaults, KilledSavesLeaveTheOldOrTheNewContent) {
    const std::string fileName = testing::TempDir() + "paneprobe_kill_" + std::to_string(getpid()) + ".ini";
    const std::string a = settings_kill::Content('a'), b = settings_kill::Content('b');
    settings_kill::WriteContent(fileName, a);
    std::mt19937 random(std::random_device{}());
    int kills = Kills();
    settings_kill::TKillTally tally;
    for (int i = 0; i < kills; ++i) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            static int signal = -1;
            signal = ready[1];
            settings_kill::SaveForever(fileName, [] {
                char one = 1;
                if (write(signal, &one, 1) != 1) _exit(2);
            });
        }
        close(ready[1]);
        // Waits for the first completed save (or the child's end), with a watchdog in the alarm.
        char one = 0;
        alarm(10);
        ssize_t got = read(ready[0], &one, 1);
        alarm(0);
        close(ready[0]);
        ASSERT_EQ(got, 1) << "the saving child never saved";
        usleep(static_cast<useconds_t>(random() % 3000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself";

        ASSERT_TRUE(tally.Check(fileName, a, b, i));
    }
    std::remove(fileName.c_str());
    settings_kill::RemoveTemporaries(fileName);
    std::printf("[figure] settings under faults (native): kills = %d, old or new content = %d, broken = %d\n",
                kills, tally.SawA + tally.SawB, tally.Broken);
    EXPECT_EQ(tally.Broken, 0);
    // Both contents must have been seen: a loop that never saved would leave only the first.
    EXPECT_GT(tally.SawA, 0);
    EXPECT_GT(tally.SawB, 0);
}

} // namespace
