// A stored position that lies on no monitor opens the main window on the nearest monitor's work area; one a
// user can reach is kept as stored. (Wine here shows one monitor: the choice among several is tested
// natively in tests/core/MonitorLayoutTest.cpp.)
#include "ShellTestSupport.h"

#include "config/EasyConfig.h"

#include <gtest/gtest.h>

#include <memory>

TEST(MonitorPlacement, AStoredPositionOffEveryMonitorOpensOnTheNearestWorkArea) {
    RECT area = {};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    const int width = 600, height = 400;
    const struct {
        const char* what;
        int left, top;
        int expectedLeft, expectedTop;
    } cases[] = {
        {"on the monitor", 100, 120, 100, 120},
        {"reaching past the right edge, still grabbable", area.right - 80, 100, area.right - 80, 100},
        {"far right and below", 5000, 4000, area.right - width, area.bottom - height},
        {"far left", -3000, 100, area.left, 100},
        {"above, only a sliver showing", 200, area.top - height + 10, 200, area.top},
    };
    for (const auto& c : cases) {
        DeleteFileA(SettingsPath().c_str());
        WriteSettings("[window]\r\nleft=" + std::to_string(c.left) + "\r\ntop=" + std::to_string(c.top) +
                      "\r\nwidth=" + std::to_string(width) + "\r\nheight=" + std::to_string(height) + "\r\n");
        auto tabs = RecordingTabs(1);
        auto form = std::make_unique<TPaneprobeForm>(tabs);
        PumpMessages();
        RECT rect = {};
        GetWindowRect(form->Handle(), &rect);
        EXPECT_EQ(rect.left, c.expectedLeft) << c.what;
        EXPECT_EQ(rect.top, c.expectedTop) << c.what;
        EXPECT_EQ(rect.right - rect.left, width) << c.what;
        EXPECT_EQ(form->Left->Value, c.left) << c.what << ": the stored position is the user's until moved";
        form.reset();
    }
    DeleteFileA(SettingsPath().c_str());
}
