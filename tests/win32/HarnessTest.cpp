// The test target program behaves as the other tests rely on: a window of another process whose control
// keeps its text itself, and a thread that can be made to hang.
#include "TargetProcess.h"

#include <gtest/gtest.h>

namespace {

TEST(TargetProgram, ShowsItsWindowsInAnotherProcess) {
    TTargetProcess target("harness");
    ASSERT_NE(target.MainWindow(), nullptr);
    DWORD processId = 0;
    GetWindowThreadProcessId(target.MainWindow(), &processId);
    EXPECT_EQ(processId, target.ProcessId());
    EXPECT_NE(processId, GetCurrentProcessId());

    HWND keeper = target.Child(TTargetProcess::KeeperId);
    ASSERT_TRUE(IsWindow(keeper));
    char text[260] = "unchanged";
    EXPECT_EQ(GetWindowTextA(keeper, text, sizeof text), 0) << "the stored title is empty";
    DWORD_PTR length = 0;
    ASSERT_NE(SendMessageTimeoutA(keeper, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                  SMTO_ABORTIFHUNG, 500, &length),
              0);
    EXPECT_STREQ(text, "Text kept by the control");
    EXPECT_NE(GetMenu(target.MainWindow()), nullptr);
}

TEST(TargetProgram, AHungTargetTimesOut) {
    TTargetProcess target("hung", true);
    ASSERT_NE(target.MainWindow(), nullptr);
    ASSERT_TRUE(target.Hang());
    char text[260] = "";
    DWORD_PTR length = 0;
    DWORD start = GetTickCount();
    LRESULT answered = SendMessageTimeoutA(target.Child(TTargetProcess::KeeperId), WM_GETTEXT, sizeof text,
                                           reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 500, &length);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(answered, 0);
    EXPECT_LT(elapsed, 2000u);
}

} // namespace
