// The placement map's arithmetic: layout on the sheet, scaling both ways, labels, drags and nudges.
#include "tabs/PlacementMap.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(PlacementMapLayout, FitsTheScreensAspectIntoTheSheet) {
    const struct {
        int32_t ScreenW, ScreenH, SheetW, SheetH;
        int32_t Width, Height;
        const char* Why;
    } cases[] = {
        {1280, 1024, 800, 400, 500, 400, "wider than the screen: as high as the sheet, narrower"},
        {1280, 1024, 400, 800, 400, 320, "taller: as wide as the sheet, lower"},
        {1920, 1080, 1920, 1080, 1920, 1080, "the same aspect keeps both"},
        {1920, 1080, 701, 433, 701, 394, "the height truncates toward zero"},
        {1366, 768, 1000, 500, 889, 500, "the width truncates toward zero"},
        {1280, 1024, 0, 300, 0, 0, "no width gives an empty map"},
    };
    for (const auto& c : cases) {
        TMapSize map;
        ASSERT_TRUE(MapLayout(c.ScreenW, c.ScreenH, c.SheetW, c.SheetH, map)) << c.Why;
        EXPECT_EQ(map.Width, c.Width) << c.Why;
        EXPECT_EQ(map.Height, c.Height) << c.Why;
    }
}

TEST(PlacementMapLayout, SizesWithoutAHeightOrAScreenLeaveTheMap) {
    const struct {
        int32_t ScreenW, ScreenH, SheetW, SheetH;
    } cases[] = {
        {1280, 1024, 500, 0}, {1280, 0, 500, 400}, {0, 1024, 500, 400}, {0, 0, 0, 0}, {1280, 1024, -5, 400}};
    for (const auto& c : cases) {
        TMapSize map{123, 45};
        EXPECT_FALSE(MapLayout(c.ScreenW, c.ScreenH, c.SheetW, c.SheetH, map));
        EXPECT_EQ(map.Width, 123);
        EXPECT_EQ(map.Height, 45);
    }
}

TEST(PlacementMapScale, ScreenRectanglesShrinkAndMapPointsGrowBack) {
    const TMapScale scale{500, 1280};
    EXPECT_EQ(ScreenToMap({128, 256, 1280, 1024}, scale), (TIntRect{50, 100, 500, 400}));
    EXPECT_EQ(ScreenToMap({-129, -3, 0, 1}, scale), (TIntRect{-50, -1, 0, 0})) << "truncation toward zero";
    int32_t x = 0, y = 0;
    ASSERT_TRUE(MapToScreen(50, 100, scale, x, y));
    EXPECT_EQ(x, 128);
    EXPECT_EQ(y, 256);
    ASSERT_TRUE(MapToScreen(333, -7, scale, x, y));
    EXPECT_EQ(x, 852) << "333 * 1280 / 500 = 852.48";
    EXPECT_EQ(y, -17) << "-7 * 1280 / 500 = -17.92";
}

// A monitor left of and above the primary one: the map starts at the virtual screen's corner.
TEST(PlacementMapScale, TheMapStartsAtTheVirtualScreensCorner) {
    const TMapScale scale{500, 3200, -1280, -200}; // -1280,-200 .. 1920,1080
    EXPECT_EQ(ScreenToMap({-1280, -200, 0, 440}, scale), (TIntRect{0, 0, 200, 100}));
    EXPECT_EQ(ScreenToMap({0, 0, 1920, 1080}, scale), (TIntRect{200, 31, 500, 200}));
    int32_t x = 0, y = 0;
    ASSERT_TRUE(MapToScreen(0, 0, scale, x, y));
    EXPECT_EQ(x, -1280);
    EXPECT_EQ(y, -200);
    ASSERT_TRUE(MapToScreen(200, 100, scale, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 440);
}

TEST(PlacementMapScale, AnEmptyMapOrAFarWindowNeitherFaultsNorWraps) {
    int32_t x = 11, y = 22;
    EXPECT_FALSE(MapToScreen(10, 10, TMapScale{0, 1280}, x, y)) << "a map without width has no scale";
    EXPECT_EQ(x, 11);
    // A point dragged far outside a tiny map: the product does not fit 32 bits.
    ASSERT_TRUE(MapToScreen(INT32_MAX, INT32_MIN, TMapScale{1, 1280}, x, y));
    EXPECT_EQ(x, INT32_MAX);
    EXPECT_EQ(y, INT32_MIN);
    EXPECT_EQ(ScreenToMap({1, 2, 3, 4}, TMapScale{500, 0}), (TIntRect{1, 2, 3, 4})) << "no screen: unscaled";
}

TEST(PlacementMapLabel, GivesPositionAndSize) {
    EXPECT_EQ(PlacementLabel({10, 20, 410, 320}), "10 x 20 / 400 x 300");
    EXPECT_EQ(PlacementLabel({-8, -8, 1288, 1032}), "-8 x -8 / 1296 x 1040");
    EXPECT_EQ(PlacementLabel({5, 5, 5, 5}), "5 x 5 / 0 x 0");
    EXPECT_EQ(PlacementLabel({INT32_MIN, 0, INT32_MAX, 1}), "-2147483648 x 0 / 2147483647 x 1")
        << "a width past 32 bits is held at the largest, not wrapped";
}

TEST(PlacementMapDrag, LeftMovesRightSizesLeftWins) {
    EXPECT_EQ(DragKindOf(false, false), TDragKind::None);
    EXPECT_EQ(DragKindOf(true, false), TDragKind::Move);
    EXPECT_EQ(DragKindOf(false, true), TDragKind::Size);
    EXPECT_EQ(DragKindOf(true, true), TDragKind::Move);

    const TIntRect window{100, 50, 300, 200};
    const struct {
        TDragKind Kind;
        int32_t X, Y;
        TPlacement Expected;
    } cases[] = {
        {TDragKind::Move, 10, 20, {10, 20, 200, 150}},
        {TDragKind::Move, -40, -30, {-40, -30, 200, 150}},
        {TDragKind::Size, 400, 260, {100, 50, 300, 210}},
        {TDragKind::Size, 60, 50, {100, 50, -40, 0}}, // left of the left edge: a negative width is passed on
        {TDragKind::None, 1, 1, {100, 50, 200, 150}},
    };
    for (const auto& c : cases) {
        TPlacement p = DragPlacement(c.Kind, window, c.X, c.Y);
        EXPECT_EQ(p.Left, c.Expected.Left);
        EXPECT_EQ(p.Top, c.Expected.Top);
        EXPECT_EQ(p.Width, c.Expected.Width);
        EXPECT_EQ(p.Height, c.Expected.Height);
    }
}

TEST(PlacementMapNudge, ShiftAloneSizesEverythingElseMoves) {
    const unsigned shift = 1, alt = 2, ctrl = 4;
    const TIntRect window{100, 50, 300, 200}; // 200 x 150
    const struct {
        uint16_t Key;
        unsigned Shift;
        TPlacement Expected;
    } cases[] = {
        {NudgeRight, 0, {101, 50, 200, 150}},          {NudgeLeft, 0, {99, 50, 200, 150}},
        {NudgeDown, 0, {100, 51, 200, 150}},           {NudgeUp, 0, {100, 49, 200, 150}},
        {NudgeRight, shift, {100, 50, 201, 150}},      {NudgeLeft, shift, {100, 50, 199, 150}},
        {NudgeDown, shift, {100, 50, 200, 151}},       {NudgeUp, shift, {100, 50, 200, 149}},
        {NudgeRight, ctrl, {101, 50, 200, 150}},       {NudgeRight, shift | ctrl, {101, 50, 200, 150}},
        {NudgeDown, shift | alt, {100, 51, 200, 150}}, {NudgeUp, alt, {100, 49, 200, 150}},
    };
    for (const auto& c : cases) {
        TPlacement p;
        ASSERT_TRUE(NudgePlacement(c.Key, c.Shift, window, p));
        EXPECT_EQ(p.Left, c.Expected.Left) << c.Key << " " << c.Shift;
        EXPECT_EQ(p.Top, c.Expected.Top) << c.Key << " " << c.Shift;
        EXPECT_EQ(p.Width, c.Expected.Width) << c.Key << " " << c.Shift;
        EXPECT_EQ(p.Height, c.Expected.Height) << c.Key << " " << c.Shift;
    }
    TPlacement untouched{1, 2, 3, 4};
    for (uint16_t key : {uint16_t{36}, uint16_t{41}, uint16_t{'A'}, uint16_t{13}}) {
        EXPECT_FALSE(NudgePlacement(key, 0, window, untouched)) << key;
        EXPECT_EQ(untouched.Left, 1);
    }
}

TEST(PlacementMapColours, ClientAreasBlendTowardTheBackground) {
    EXPECT_EQ(MapClientColor(MapWindowColor), 0x0045649Fu);
    EXPECT_EQ(MapClientColor(MapParentColor), 0x007F6E4Du);
}

} // namespace
