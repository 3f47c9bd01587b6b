// Rows of the Config tab: captions with the modified mark, icons by type, and the column orders.
#include "config/ConfigRows.h"
#include "config/EasyConfig.h"

#include <gtest/gtest.h>

namespace {

class TPlainConfig : public TEasyConfig {
  public:
    void LoadVariable(TConfigVar&) override {}
    void Save(bool) override {}
};

int Sign(int value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

TEST(ConfigRows, CompareTextNoCaseFoldsOnlyAsciiLetters) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"abc", "ABC", 0},
        {"abc", "abd", -1},
        {"Zeta", "alpha", 1},
        {"100", "33", -1}, // texts, not numbers
        {"ab", "abc", -1},
        {"", "", 0},
        // Letters fold to upper case (0x41-0x5A), so "_" (0x5F) and "[" (0x5B) come after every letter.
        {"_", "a", 1},
        {"[", "z", 1},
        {"a_b", "aZb", 1},
        {"\xE4", "\xC4", 1}, // no locale: a-umlaut and A-umlaut differ by code
        {"\xC4", "z", 1},    // codes above 127 compare unsigned
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
        EXPECT_EQ(Sign(CompareTextNoCase(c.a, c.b)), c.expected);
        EXPECT_EQ(Sign(CompareTextNoCase(c.b, c.a)), -c.expected);
    }
}

TEST(ConfigRows, CaptionShowsTheModifiedMark) {
    TPlainConfig config;
    TConfigVarBool& flag = TConfigVarBool::Create(&config, "system", "stay_on_top", false);
    EXPECT_EQ(ConfigRowCaption(flag), "system.stay_on_top ");
    flag.SetValue(false); // also an unchanged value marks the variable
    EXPECT_EQ(ConfigRowCaption(flag), "system.stay_on_top *");
}

TEST(ConfigRows, ImageFollowsTheType) {
    TPlainConfig config;
    EXPECT_EQ(ConfigRowImage(TConfigVarBool::Create(&config, "a", "bool", true)), 9);
    EXPECT_EQ(ConfigRowImage(TConfigVarInt::Create(&config, "a", "int", 1)), 3);
    EXPECT_EQ(ConfigRowImage(TConfigVarFloat::Create(&config, "a", "float", 1.5L)), 1);
    EXPECT_EQ(ConfigRowImage(TConfigVarStr::Create(&config, "a", "str", "x")), 6);
}

TEST(ConfigRows, OrderByEachColumnAndDirection) {
    TPlainConfig config;
    TConfigVarInt& hundred = TConfigVarInt::Create(&config, "tabs", "Interval", 100);
    TConfigVarInt& small = TConfigVarInt::Create(&config, "system", "update", 33);
    TConfigVarStr& text = TConfigVarStr::Create(&config, "gui", "font_main", "Tahoma");
    struct Case {
        const TConfigVar* a;
        const TConfigVar* b;
        int column;
        bool descending;
        int expected;
    } cases[] = {
        {&hundred, &small, 0, false, 1}, // "tabs.Interval" after "system.update"
        {&hundred, &small, 0, true, -1}, {&hundred, &small, 1, false, -1}, // "100" before "33"
        {&hundred, &small, 1, true, 1},  {&hundred, &text, 2, false, -1},  // "integer" before "string"
        {&hundred, &small, 2, false, 0}, {&text, &small, 1, false, 1},     // "Tahoma" after "33"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a->FullName() + " vs " + c.b->FullName() + " column " + std::to_string(c.column));
        EXPECT_EQ(Sign(CompareConfigRows(*c.a, *c.b, c.column, c.descending)), c.expected);
    }
}

} // namespace
