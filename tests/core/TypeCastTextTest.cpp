// The Typecast viewer's choice of kind and the texts it draws.
#include "messages/TypeCastText.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(TypeCastKind, HandlesFirstThenTheFirstReadableKind) {
    struct Case {
        TTypeCastProbe Probe;
        TTypeCastKind Kind;
    } cases[] = {
        {{false, 0, false, false}, tkInvalid}, {{true, 4096, false, false}, tkString},
        {{true, 1, true, true}, tkFont},       {{true, 4096, false, true}, tkIcon},
        {{false, 1, false, false}, tkByte},    {{false, 8, false, false}, tkByte},
        {{false, 0, true, true}, tkFont},      {{false, 0, false, true}, tkIcon},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseTypeCastKind(c.Probe), c.Kind) << TypeCastKindName(c.Kind);
}

TEST(TypeCastText, CaptionsShowTheWholeValue) {
    EXPECT_EQ(TypeCastCaption(tkInvalid, 0), "invalid(0x0)");
    EXPECT_EQ(TypeCastCaption(tkString, 0x1a2b), "string(0x1A2B)");
    EXPECT_EQ(TypeCastCaption(tkFont, 0x7FF612345678ULL), "font(0x7FF612345678)");
    EXPECT_EQ(TypeCastCaption(tkIcon, 0xFFFFFFFFFFFFFFFFULL), "icon(0xFFFFFFFFFFFFFFFF)");
}

TEST(TypeCastText, StringsEndAtTheFirstZeroOrTheCopy) {
    EXPECT_EQ(StringViewText(std::string("abc\0def", 7)), "abc");
    EXPECT_EQ(StringViewText("no zero here"), "no zero here");
    EXPECT_EQ(StringViewText(std::string()), "");
    // A copy that ends inside a character loses that character; a zero ends the text before any cut.
    EXPECT_EQ(StringViewText("\xD0\x9F\xE4\xBD"), "\xD0\x9F");
    EXPECT_EQ(StringViewText(std::string("\xD0\x9F\xE4\xBD\xA0\0\xE4", 7)), "\xD0\x9F\xE4\xBD\xA0");
}

TEST(TypeCastText, NumbersAreReadLowByteFirst) {
    const std::string bytes("\x78\x56\x34\x12", 4);
    EXPECT_EQ(NumberViewText(tkByte, bytes), "0x78");
    EXPECT_EQ(NumberViewText(tkWord, bytes), "0x5678");
    EXPECT_EQ(NumberViewText(tkDword, bytes), "0x12345678");
    EXPECT_EQ(NumberViewText(tkDword, bytes.substr(0, 3)), "");
    EXPECT_EQ(NumberViewText(tkString, bytes), "");
}

TEST(TypeCastText, FontPointsTruncateTowardZero) {
    struct Case {
        int32_t Height, Ppi, Points;
    } cases[] = {
        {-13, 96, 9}, {13, 96, 9}, {-16, 96, 12},         {-17, 120, 10},
        {0, 96, 0},   {-13, 0, 0}, {INT_MIN, 1, INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FontPoints(c.Height, c.Ppi), c.Points) << c.Height << " at " << c.Ppi;
    EXPECT_EQ(FontViewText("Tahoma", -13, 0, 400, 96),
              "Face:\tTahoma\r\nHeight:\t9 pt, -13 log, 96 ppi\r\nWidth:\t0\r\nWeight:\t400 (boldness)");
}

TEST(TypeCastText, IconSizeIsTwiceTheHotspot) {
    EXPECT_EQ(IconViewText(16, 16, true), "Size:\t\t32 x 32\r\nHotspot:\t16 x 16\r\nType:\t\tIcon");
    EXPECT_EQ(IconViewText(0, 0, false), "Size:\t\t0 x 0\r\nHotspot:\t0 x 0\r\nType:\t\tCursor");
}

} // namespace
