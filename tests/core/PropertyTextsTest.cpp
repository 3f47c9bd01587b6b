// Texts of the property groups: rectangles, style words, elapsed times, processor times, row order.
#include "tabs/PropertyTexts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(PropertyTexts, RectangleShowsTheTwoCorners) {
    EXPECT_EQ(RectText({10, 20, 110, 70}), "10 x 20 / 110 x 70") << "corners, not the size";
    EXPECT_EQ(RectText({-5, -7, 0, 0}), "-5 x -7 / 0 x 0");
    EXPECT_EQ(RectText({}), "0 x 0 / 0 x 0");
    EXPECT_EQ(RectText({INT32_MIN, 0, INT32_MAX, 1}), "-2147483648 x 0 / 2147483647 x 1");
}

TEST(PropertyTexts, StyleWords) {
    const struct {
        uint32_t Value;
        const char* Text;
    } cases[] = {
        {0, ""},
        {1, "0x00000001"},
        {0x14CF0000, "0x14CF0000"},
        {0xFFFFFFFF, "0xFFFFFFFF"},
        {0xabcdef, "0x00ABCDEF"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StyleText(c.Value, "0x"), c.Text) << c.Value;
    EXPECT_EQ(StyleText(255, "$"), "$000000FF") << "the program-wide prefix";
}

TEST(PropertyTexts, ElapsedMillisecondsTruncateTowardZero) {
    EXPECT_EQ(ElapsedMilliseconds(45000.5, 45000.0), 43200000);
    EXPECT_EQ(ElapsedMilliseconds(45000.0, 45000.5), -43200000);
    // 1.9 ms later in days: truncated, not rounded.
    EXPECT_EQ(ElapsedMilliseconds(45000.0 + 1.9 / 86400000.0, 45000.0), 1);
    EXPECT_EQ(ElapsedMilliseconds(45000.0 - 1.9 / 86400000.0, 45000.0), -1);
    EXPECT_EQ(ElapsedMilliseconds(1e300, 0), INT64_MAX) << "no overflow in the conversion";
    EXPECT_EQ(ElapsedMilliseconds(-1e300, 0), INT64_MIN);
    EXPECT_EQ(ElapsedMilliseconds(std::numeric_limits<double>::quiet_NaN(), 0), 0);
}

TEST(PropertyTexts, MomentTextAppendsAtMostThreeUnitsWithoutWeeks) {
    const struct {
        int64_t Elapsed;
        const char* Text;
    } cases[] = {
        {90LL * 60000, "Monday / 01 hrs, 30 min, 00 sec"},
        {90LL * 60000 + 1, "Monday / 01 hrs, 30 min, 00 sec"},
        {10LL * 86400000 + 5000, "Monday / 10 days, 00 hrs, 00 min"},
        {500, "Monday / 500 msec"},
        {0, "Monday / "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MomentText("Monday", c.Elapsed), c.Text) << c.Elapsed;
}

TEST(PropertyTexts, ProcessorTimes) {
    EXPECT_EQ(ProcessorTimeText(15000000), "01 sec, 500 ms");
    EXPECT_EQ(ProcessorTimeText(0), "0 ms");
    EXPECT_EQ(ProcessorTimeText(9999), "0 ms") << "below a millisecond";
    EXPECT_EQ(ProcessorTimeText(36000000000ULL), "01 hrs, 00 min, 00 sec, 000 ms");
    EXPECT_EQ(ProcessorTimeText(UINT64_MAX), "21350398 days, 05 hrs, 36 min, 10 sec, 955 ms")
        << "the largest time still fits";
}

TEST(PropertyTexts, CellsCompareWithoutCaseOfAsciiLetters) {
    EXPECT_EQ(ComparePropertyCells("Rect", "rect", false), 0);
    EXPECT_LT(ComparePropertyCells("Process", "Rect", false), 0);
    EXPECT_GT(ComparePropertyCells("Process", "Rect", true), 0);
    EXPECT_LT(ComparePropertyCells("Style", "Style2", false), 0) << "the shorter first";
    EXPECT_GT(ComparePropertyCells("Width & Height", "User Time", false), 0);
    // Only a-z fold, to upper case: the underscore then sorts after every letter.
    EXPECT_GT(ComparePropertyCells("a_", "AZ", false), 0);
}

} // namespace
