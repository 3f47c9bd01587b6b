// The move/size answer: which numbers are taken, which flags they clear, what malformed text leaves alone.
#include "tabs/MoveSizeText.h"

#include <gtest/gtest.h>

namespace {

const uint32_t All = MoveSizeNoSize | MoveSizeNoMove | MoveSizeNoZOrder;

TEST(MoveSizeText, WritesLeftTopWidthHeight) {
    TMoveSize geometry;
    geometry.Left = 10;
    geometry.Top = 20;
    geometry.Width = 300;
    geometry.Height = 200;
    EXPECT_EQ(MoveSizeText(geometry), "10x20; 300x200");
    geometry.Left = -5;
    geometry.Top = -2147483647 - 1;
    EXPECT_EQ(MoveSizeText(geometry), "-5x-2147483648; 300x200");
}

TEST(MoveSizeText, ReadsAnswers) {
    TMoveSize current;
    current.Left = 1;
    current.Top = 2;
    current.Width = 30;
    current.Height = 40;
    struct Case {
        const char* text;
        int32_t left, top, width, height;
        uint32_t flags;
    } cases[] = {
        {"50x60", 50, 60, 30, 40, All & ~MoveSizeNoMove},
        {"50x60; 640x480", 50, 60, 640, 480, MoveSizeNoZOrder},
        {"50", 50, 2, 30, 40, All},
        {"-10x-20; 100x100", -10, -20, 100, 100, MoveSizeNoZOrder},
        {"", 1, 2, 30, 40, All},
        {"  7 , 8 ,9,10", 7, 8, 9, 10, MoveSizeNoZOrder},
        {"1x2x3", 1, 2, 3, 40, All & ~MoveSizeNoMove},
        {"1x2x3x4x5x6", 1, 2, 3, 4, MoveSizeNoZOrder},
        // A token that is not an integer keeps the field but still counts as that field.
        {"1-2x5", 1, 5, 30, 40, All & ~MoveSizeNoMove},
        {"-x5", 1, 5, 30, 40, All & ~MoveSizeNoMove},
        {"99999999999x5", 1, 5, 30, 40, All & ~MoveSizeNoMove},
        // The separator after a number is passed over; a second trailing one is never skipped and forms an
        // empty field of its own.
        {"50x", 50, 2, 30, 40, All},
        {"50xx", 50, 2, 30, 40, All & ~MoveSizeNoMove},
        {"abc", 1, 2, 30, 40, All},
        // Two separators in a row: the first ends the number, the second is skipped.
        {"5;;6", 5, 6, 30, 40, All & ~MoveSizeNoMove},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TMoveSize result = ParseMoveSizeText(c.text, current);
        EXPECT_EQ(result.Left, c.left);
        EXPECT_EQ(result.Top, c.top);
        EXPECT_EQ(result.Width, c.width);
        EXPECT_EQ(result.Height, c.height);
        EXPECT_EQ(result.Flags, c.flags);
    }
}

TEST(MoveSizeText, ReadsBackWhatItWrites) {
    TMoveSize geometry;
    geometry.Left = -32000;
    geometry.Top = 17;
    geometry.Width = 0;
    geometry.Height = 2147483647;
    TMoveSize read = ParseMoveSizeText(MoveSizeText(geometry), TMoveSize());
    EXPECT_EQ(read.Left, geometry.Left);
    EXPECT_EQ(read.Top, geometry.Top);
    EXPECT_EQ(read.Width, geometry.Width);
    EXPECT_EQ(read.Height, geometry.Height);
    EXPECT_EQ(read.Flags, MoveSizeNoZOrder);
}

} // namespace
