// The integer text rule that every typed number goes through.
#include "app/QrLib.h"

#include <gtest/gtest.h>

namespace {

struct TIntCase {
    const char* Text;
    bool Accepted;
    int32_t Value;
};

TEST(IntegerTextRule, AcceptsDecimalAndHexadecimalForms) {
    const TIntCase cases[] = {
        {"42", true, 42},
        {" 42", true, 42},
        {"   -7", true, -7},
        {"+5", true, 5},
        {"0", true, 0},
        {"-2147483648", true, INT32_MIN},
        {"2147483647", true, INT32_MAX},
        {"$1f", true, 31},
        {"x1F", true, 31},
        {"X1f", true, 31},
        {"0x1f", true, 31},
        {"0X1F", true, 31},
        {"0xFFFFFFFF", true, -1},
        {"$80000000", true, INT32_MIN},
        {"0x0", true, 0},
        {"007", true, 7},
    };
    for (const TIntCase& c : cases) {
        int32_t value = 12345;
        EXPECT_TRUE(TryIntFromText(c.Text, value)) << c.Text;
        EXPECT_EQ(value, c.Value) << c.Text;
        EXPECT_EQ(IntFromText(c.Text, -99), c.Value) << c.Text;
    }
}

TEST(IntegerTextRule, RejectsEverythingElseWithTheFallback) {
    const char* rejected[] = {
        "",      "   ",  "42 ", "\t42", "2147483648", "-2147483649", "99999999999999999999",
        "-0x10", "+$10", "$",   "0x",   "x",          "0x123456789", "$1g",
        "12a",   "- 5",  "+",   "-",    "1.5",        "0x 1",        "١",
    };
    for (const char* text : rejected) {
        int32_t value = 777;
        EXPECT_FALSE(TryIntFromText(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 777) << "a rejected text must leave the output alone: " << text;
        EXPECT_EQ(IntFromText(text, -99), -99) << text;
    }
}

TEST(IntegerTextRule, StopsAtTheEndOfAViewWithoutATerminator) {
    const char buffer[] = {'1', '2', '3', '4'};
    EXPECT_EQ(IntFromText(std::string_view(buffer, 2), 0), 12);
    EXPECT_EQ(IntFromText(std::string_view(buffer, 0), -1), -1);
}

} // namespace
