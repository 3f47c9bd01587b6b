// Choosing a monitor and fitting rectangles, with one, two and three monitors, some left of and above the
// primary one.
#include "ui/MonitorLayout.h"

#include <gtest/gtest.h>

namespace {

// A monitor whose task bar takes the bottom 40 pixels.
TMonitorArea Monitor(int32_t left, int32_t top, int32_t width, int32_t height, bool primary = false) {
    TMonitorArea monitor;
    monitor.Bounds = {left, top, left + width, top + height};
    monitor.WorkArea = {left, top, left + width, top + height - 40};
    monitor.Primary = primary;
    return monitor;
}

const std::vector<TMonitorArea> One = {Monitor(0, 0, 1280, 1024, true)};
// A second monitor left of the primary one, its top above the primary's.
const std::vector<TMonitorArea> Two = {Monitor(0, 0, 1920, 1080, true), Monitor(-1280, -200, 1280, 1024)};
// A third one above the primary.
const std::vector<TMonitorArea> Three = {Monitor(0, 0, 1920, 1080, true), Monitor(-1280, -200, 1280, 1024),
                                         Monitor(0, -1440, 2560, 1440)};

TIntRect Rect(int32_t left, int32_t top, int32_t width, int32_t height) {
    return {left, top, left + width, top + height};
}

} // namespace

TEST(MonitorLayout, NearestMonitorOfRectangles) {
    struct TCase {
        const char* what;
        const std::vector<TMonitorArea>* monitors;
        TIntRect rect;
        int expected;
    } cases[] = {
        {"on the only monitor", &One, Rect(100, 100, 300, 200), 0},
        {"far right of the only monitor", &One, Rect(5000, 100, 300, 200), 0},
        {"on the left monitor", &Two, Rect(-900, 0, 300, 200), 1},
        {"mostly on the left monitor", &Two, Rect(-250, 100, 300, 200), 1},
        {"mostly on the primary", &Two, Rect(-50, 100, 300, 200), 0},
        {"above the left monitor, off both", &Two, Rect(-1000, -900, 300, 200), 1},
        {"below the primary, off both", &Two, Rect(400, 1500, 300, 200), 0},
        {"on the upper monitor", &Three, Rect(500, -700, 300, 200), 2},
        {"far above everything", &Three, Rect(100, -5000, 300, 200), 2},
        {"far left of everything", &Three, Rect(-9000, 100, 300, 200), 1},
        {"across primary and upper, more on upper", &Three, Rect(100, -150, 300, 200), 2},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.expected, NearestMonitor(*c.monitors, c.rect)) << c.what;
    EXPECT_EQ(-1, NearestMonitor({}, Rect(0, 0, 10, 10)));
}

TEST(MonitorLayout, EqualDistanceChoosesThePrimary) {
    // The point between two side-by-side monitors, 100 pixels below both.
    std::vector<TMonitorArea> monitors = {Monitor(-1000, 0, 1000, 800), Monitor(0, 0, 1000, 800, true)};
    EXPECT_EQ(1, NearestMonitor(monitors, Rect(-50, 900, 100, 50)));
}

TEST(MonitorLayout, NearestMonitorToPoints) {
    EXPECT_EQ(0, NearestMonitorToPoint(Three, 10, 10));
    EXPECT_EQ(1, NearestMonitorToPoint(Three, -1, 0));
    EXPECT_EQ(2, NearestMonitorToPoint(Three, 0, -1));
    EXPECT_EQ(1, NearestMonitorToPoint(Three, -3000, 300));
    EXPECT_EQ(0, NearestMonitorToPoint(Three, 1919, 1079));
}

TEST(MonitorLayout, VisibleOnMonitor) {
    EXPECT_TRUE(VisibleOnMonitor(Two, Rect(-700, -150, 200, 100), 1));
    // The gap above the primary and right of the left monitor is on no monitor.
    EXPECT_FALSE(VisibleOnMonitor(Two, Rect(100, -180, 300, 100), 1));
    EXPECT_TRUE(VisibleOnMonitor(Three, Rect(100, -180, 300, 100), 1));
    // A sliver at the edge is not enough for a window to be grabbed.
    EXPECT_FALSE(VisibleOnMonitor(One, Rect(1275, 10, 300, 100), 20));
    EXPECT_TRUE(VisibleOnMonitor(One, Rect(1250, 10, 300, 100), 20));
    EXPECT_FALSE(VisibleOnMonitor({}, Rect(0, 0, 10, 10), 1));
}

TEST(MonitorLayout, FitIntoArea) {
    const TIntRect leftWork = Two[1].WorkArea; // -1280,-200 .. 0,784
    struct TCase {
        const char* what;
        TIntRect rect, area, expected;
    } cases[] = {
        {"already inside stays", Rect(-900, 0, 300, 200), leftWork, Rect(-900, 0, 300, 200)},
        {"off the left edge", Rect(-1500, 0, 300, 200), leftWork, Rect(-1280, 0, 300, 200)},
        {"off the top edge", Rect(-900, -400, 300, 200), leftWork, Rect(-900, -200, 300, 200)},
        {"below the work area", Rect(-900, 700, 300, 200), leftWork, Rect(-900, 584, 300, 200)},
        {"right, onto the primary", Rect(-100, 0, 300, 200), leftWork, Rect(-300, 0, 300, 200)},
        {"larger than the area", Rect(-2000, -500, 3000, 2000), leftWork, Rect(-1280, -200, 1280, 984)},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(c.expected, FitIntoArea(c.rect, c.area)) << c.what;
}

TEST(MonitorLayout, CenterInArea) {
    const TIntRect upper = Three[2].WorkArea; // 0,-1440 .. 2560,-40
    EXPECT_EQ(Rect(1130, -840, 300, 200), CenterInArea(Rect(7, 7, 300, 200), upper));
    EXPECT_EQ(Rect(0, -1440, 2560, 1400), CenterInArea(Rect(7, 7, 3000, 2000), upper));
}

TEST(MonitorLayout, VirtualScreen) {
    EXPECT_EQ(Rect(0, 0, 1280, 1024), VirtualScreenOf(One));
    EXPECT_EQ((TIntRect{-1280, -200, 1920, 1080}), VirtualScreenOf(Two));
    EXPECT_EQ((TIntRect{-1280, -1440, 2560, 1080}), VirtualScreenOf(Three));
    EXPECT_EQ(TIntRect{}, VirtualScreenOf({}));
}
