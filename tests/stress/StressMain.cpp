// Entry point of the reliability runs under Wine. With "--save-loop FILE EVENT" the program instead saves
// the settings file in a loop until it is killed, signalling the named event after the first save.
#include "SettingsSaveLoop.h"
#include "StressSupport.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

HANDLE StartedEvent = nullptr;

void SignalStarted() {
    SetEvent(StartedEvent);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--save-loop") == 0) {
        StartedEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
        settings_kill::SaveForever(argv[2], SignalStarted);
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    PrintFigure("all runs", "random seed (PANEPROBE_STRESS_SEED)", std::to_string(RandomSeed()));
    return RUN_ALL_TESTS();
}
