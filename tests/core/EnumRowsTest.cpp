// The Enum tab's row order, filter and find-text number.
#include "tabs/EnumRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(EnumRows, FoldedTextComparisonFoldsOnlyAsciiLetters) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"Button", "BUTTON", 0},
        {"abc", "abd", -1},
        {"abd", "ABC", 1},
        {"ab", "abc", -1},
        {"abc", "AB", 1},
        {"", "", 0},
        {"_x", "ax", 1},     // "_" (0x5F) sorts after "A" (0x41):
                             // letters fold up, not down
        {"\xE9", "\xC9", 1}, // e acute is not folded to E acute
        {"\xFF", "a", 1},    // bytes compare unsigned
        {"#32770", "#32769", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareFoldedText(c.a, c.b), c.expected) << c.a << " / " << c.b;
        EXPECT_EQ(CompareFoldedText(c.b, c.a), -c.expected) << c.b << " / " << c.a;
    }
}

TEST(EnumRows, NumbersCompareUnsignedAndEqualValuesAsMinusOne) {
    EXPECT_EQ(CompareRowNumbers(2, 1), 1);
    EXPECT_EQ(CompareRowNumbers(1, 2), -1);
    EXPECT_EQ(CompareRowNumbers(7, 7), -1);
    EXPECT_EQ(CompareRowNumbers(0x80000000u, 1), 1) << "unsigned, not signed";
}

TEST(EnumRows, EveryColumnAndDirection) {
    TEnumRowValues a{"Alpha", "z caption", 0x20, 0x10, 5, 9, 0x10000000};
    TEnumRowValues b{"beta", "A caption", 0x10, 0x30, 7, 3, 0x40000000};
    struct Case {
        int column;
        int expected; // a against b, ascending
    };
    const Case cases[] = {{ecClass, -1}, {ecHandle, 1}, {ecCaption, 1}, {ecParent, -1},
                          {ecPid, -1},   {ecTid, 1},    {ecStyle, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(CompareEnumRows(a, b, c.column, false), c.expected) << c.column;
        EXPECT_EQ(CompareEnumRows(a, b, c.column, true), -c.expected) << c.column;
    }
    EXPECT_EQ(CompareEnumRows(a, b, 7, false), 0) << "no such column";
    EXPECT_EQ(CompareEnumRows(a, a, ecHandle, false), -1) << "equal rows compare as -1";
    EXPECT_EQ(CompareEnumRows(a, a, ecHandle, true), 1);
    EXPECT_EQ(CompareEnumRows(a, a, ecClass, false), 0) << "texts compare as 0 when equal";
}

TEST(EnumRows, SortComparisonIsAnOrderThatKeepsEqualRowsInTheirPlace) {
    std::vector<TEnumRowValues> rows;
    for (uint32_t i = 0; i < 200; ++i)
        rows.push_back({"C", "", 0x1000 + i, 0, i % 3, 0, 0});
    for (bool descending : {false, true}) {
        std::vector<size_t> order(rows.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
            return CompareEnumRowsForSort(rows[x], rows[y], ecPid, descending) < 0;
        });
        for (size_t i = 1; i < order.size(); ++i) {
            uint32_t before = rows[order[i - 1]].ProcessId, after = rows[order[i]].ProcessId;
            EXPECT_TRUE(descending ? before >= after : before <= after) << i;
            if (before == after) {
                EXPECT_LT(order[i - 1], order[i]) << "equal rows keep list order";
            }
        }
    }
    EXPECT_EQ(CompareEnumRowsForSort(rows[0], rows[3], ecPid, false), 0);
    EXPECT_EQ(CompareEnumRowsForSort(rows[0], rows[1], ecPid, false), -1);
}

TEST(EnumRows, FilterLooksInClassAndCaptionIgnoringCase) {
    struct Case {
        const char* className;
        const char* caption;
        const char* filter;
        bool keeps;
    };
    const Case cases[] = {
        {"Notepad", "Untitled - Notepad", "", true},
        {"Notepad", "Untitled", "note", true},     // lower case finds capitals
        {"Edit", "My Document", "DOCUMENT", true}, // only in the caption
        {"Edit", "My Document", "button", false},  // in neither
        {"", "", "x", false},                      // empty texts never contain a filter
        {"ab", "", "abc", false},                  // shorter than the filter
        {"Line", "one\r\ntwo", "\r\n", true},      // raw caption
    };
    for (const Case& c : cases)
        EXPECT_EQ(EnumFilterKeeps(c.className, c.caption, c.filter, UpperCaseAscii), c.keeps)
            << c.className << " / " << c.caption << " / " << c.filter;
}

TEST(EnumRows, FindTextNumberByTheIntegerTextRule) {
    struct Case {
        std::string text;
        uint32_t value;
    };
    const Case cases[] = {
        {"0x10010", 0x10010},
        {"$10010", 0x10010},
        {"65552", 0x10010},
        {"x10010", 0x10010},
        {"  0X1001a", 0x1001A},
        {"12abc", 0},
        {"0x", 0},
        {"$", 0},
        {"-", 0},
        {"", 0},
        {"0", 0},
        {"4294967296", 0},
        {"12\r\n", 0},
        {"1\n2", 0},
        {"-1", 0xFFFFFFFF},
        {"0x123456789", 0},
        {std::string(32000, '7'), 0},
        {std::string(32000, ' '), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindTextHandleValue(c.text), c.value) << c.text.substr(0, 20);
}

} // namespace
