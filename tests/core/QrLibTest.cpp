// Shared helpers: formats, versions, clamps, text search, character filter, rectangles, colours, font texts.
#include "app/QrLib.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(FormatText, FollowsTheProgramsConvention) {
    EXPECT_EQ(FormatText("0x%.8x", 255), "0x000000FF");
    EXPECT_EQ(FormatText("0x%x", 0xBEEF), "0xBEEF");
    EXPECT_EQ(FormatText("%x", -1), "FFFFFFFF");
    EXPECT_EQ(FormatText("%.2d:%.3d", 5, 7), "05:007");
    EXPECT_EQ(FormatText("%.2d", 123), "123");
    EXPECT_EQ(FormatText("%.2d", -5), "-05");
    EXPECT_EQ(FormatText("%d", INT32_MIN), "-2147483648");
    EXPECT_EQ(FormatText("%u", 4294967295u), "4294967295");
    EXPECT_EQ(FormatText("%lld", static_cast<long long>(INT64_MIN)), "-9223372036854775808");
    EXPECT_EQ(FormatText("%s=%d%%", "x", 3), "x=3%");
    EXPECT_EQ(FormatText("[%5d|%-4s|%04d]", 42, "ab", -7), "[   42|ab  |-007]");
    EXPECT_EQ(FormatText("%c%c", 'o', 'k'), "ok");
    EXPECT_EQ(FormatText("%s", static_cast<const char*>(nullptr)), "");
}

TEST(FormatText, CopiesUnknownPlaceholdersWithoutTakingArguments) {
    // Formats from tables are not checked by the compiler, so this is what a mistyped one gives.
    const char* unknown = "%q %d";
    const char* trailing = "100%";
    EXPECT_EQ(FormatText(unknown, 1), "%q 1");
    EXPECT_EQ(FormatText(trailing, 0), "100%");
}

TEST(FormatNumber, FillsEveryNumberPlaceholderWithTheOneValue) {
    const struct {
        const char* Format;
        int64_t Value;
        const char* Expected;
    } cases[] = {
        {"%d yrs", 1, "1 yrs"},       {"%.2d days", 35, "35 days"},
        {"%.3d msec", 5, "005 msec"}, {"%d", 10000000000LL, "10000000000"},
        {"%x", -1, "FFFFFFFF"},       {"%llx", -1, "FFFFFFFFFFFFFFFF"},
        {"%d and %s.", 7, "7 and ."}, {"no placeholder", 3, "no placeholder"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.Format, c.Value), c.Expected) << c.Format;
}

TEST(FormatNonZero, IsEmptyForZeroOtherwiseFormatted) {
    EXPECT_EQ(FormatNonZero(0, "0x%.8x"), "");
    EXPECT_EQ(FormatNonZero(255, "0x%.8x"), "0x000000FF");
    EXPECT_EQ(FormatNonZero(0x80000000u, "0x%x"), "0x80000000");
    EXPECT_EQ(FormatNonZero(0xFFFFFFFFu, "%d"), "-1");
    EXPECT_EQ(FormatNonZero(1234, "%d"), "1234");
}

TEST(VersionText, NumericFormAndDateValidity) {
    EXPECT_EQ(VersionTextNumeric(0x10061C), "16.06.28");
    EXPECT_EQ(VersionTextNumeric(0x000000), "00.00.00");
    EXPECT_EQ(VersionTextNumeric(0xFF0C1F), "255.12.31");
    const struct {
        uint32_t Packed;
        bool Valid;
    } dates[] = {
        {0x10061C, true},  {0x100600, false}, {0x10001C, false}, {0x100D01, false}, {0x10021D, true},
        {0x11021D, false}, {0x00021D, true},  {0x64021D, false}, {0x10041F, false}, {0x100C1F, true},
    };
    for (const auto& d : dates) {
        int year = 0, month = 0, day = 0;
        EXPECT_EQ(VersionDate(d.Packed, year, month, day), d.Valid) << std::hex << d.Packed;
    }
    int year = 0, month = 0, day = 0;
    ASSERT_TRUE(VersionDate(0x10061C, year, month, day));
    EXPECT_EQ(year, 2016);
    EXPECT_EQ(month, 6);
    EXPECT_EQ(day, 28);
}

TEST(Clamp, LowTestComesFirstAndWrapSteps) {
    const struct {
        int32_t Value, Low, High, Clamped, Wrapped;
    } cases[] = {
        {5, 0, 3, 3, 0}, {-1, 0, 3, 0, 3}, {2, 0, 3, 2, 2},      {4, 0, 3, 3, 0},
        {0, 0, 3, 0, 0}, {3, 0, 3, 3, 3},  {-5, 0, -10, 0, -10}, {5, 0, -10, -10, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Clamp(c.Value, c.Low, c.High), c.Clamped) << c.Value << " in " << c.Low << ".." << c.High;
        EXPECT_EQ(ClampWrap(c.Value, c.Low, c.High), c.Wrapped)
            << c.Value << " in " << c.Low << ".." << c.High;
    }
    EXPECT_EQ(IfThen(true, 1, 2), 1);
    EXPECT_EQ(IfThen(false, 1, 2), 2);
}

struct TCounted {
    explicit TCounted(int& destroyed) : Destroyed(destroyed) {}
    ~TCounted() { ++Destroyed; }
    int& Destroyed;
};

TEST(FreeAndClear, DestroysOnceAndLeavesNull) {
    int destroyed = 0;
    TCounted* object = new TCounted(destroyed);
    FreeAndClear(object);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(destroyed, 1);
    FreeAndClear(object);
    EXPECT_EQ(destroyed, 1);
}

TEST(FindText, PositionsForCaseAndWholeWord) {
    const struct {
        const char* Text;
        const char* Pattern;
        int Start;
        bool CaseSensitive, WholeWord;
        int Expected;
    } cases[] = {
        {"Hello World", "world", 1, false, false, 7},
        {"Hello World", "world", 1, true, false, 0},
        {"Hello World", "World", 1, true, false, 7},
        {"Helloworld", "world", 1, false, true, 0},
        {"Hello_world", "world", 1, false, true, 7},
        {"Hello world2", "world", 1, false, true, 7},
        {"worlds world", "world", 1, false, true, 8},
        {"world", "world", 1, false, true, 1},
        {"abcabc", "abc", 2, true, false, 4},
        {"abcabc", "abc", 4, true, false, 4},
        {"abcabc", "abc", 5, true, false, 0},
        {"abc", "abc", 0, true, false, 0},
        {"abc", "abc", -3, true, false, 0},
        {"abc", "abc", 4, true, false, 0},
        {"ab", "abc", 1, true, false, 0},
        {"", "a", 1, true, false, 0},
        {"abc", "", 1, true, false, 0},
        // UTF-8: bytes of a multi-byte character are letters of the word and are never folded.
        {"caf\xC3\xA9 au lait", "CAF\xC3\xA9", 1, false, true, 1},
        {"\xC3\xA9t\xC3\xA9", "T", 1, false, true, 0},
        {"\xD0\x9F\xD1\x80\xD0\xB8", "\x80", 1, false, false, 4},
        {"\xD0\x9F\xD1\x80\xD0\xB8", "\xA0", 1, false, false, 0},
        {"\xE4\xBD\xA0 hi", "HI", 1, false, true, 5},
        {"\xE4\xBD\xA0hi", "HI", 1, false, true, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindText(c.Text, c.Pattern, c.Start, c.CaseSensitive, c.WholeWord, UpperCaseAscii),
                  c.Expected)
            << '"' << c.Pattern << "\" in \"" << c.Text << "\" from " << c.Start;
}

TEST(FindText, ReadsNoByteOutsideTheViews) {
    const std::string text = "needle in a hay stack";
    const std::unique_ptr<char[]> exact(new char[text.size()]);
    std::copy(text.begin(), text.end(), exact.get());
    EXPECT_EQ(FindText(std::string_view(exact.get(), text.size()), "stack", 1, false, true, UpperCaseAscii),
              17);
    EXPECT_EQ(FindText(std::string_view(exact.get(), text.size()), "stacks", 1, false, false, UpperCaseAscii),
              0);
}

TEST(WordLetters, AreAsciiLettersAndEveryByteOfAMultiByteCharacter) {
    int letters = 0;
    for (int c = 0; c < 256; ++c)
        letters += IsWordLetter(static_cast<unsigned char>(c)) ? 1 : 0;
    EXPECT_EQ(letters, 52 + 128);
    for (int c : {0x30, 0x39, 0x5F, 0x20, 0x40, 0x7F, 0x80, 0xBF, 0xC3, 0xF4})
        EXPECT_EQ(IsWordLetter(static_cast<unsigned char>(c)), c >= 0x80) << c;
}

TEST(UpperCaseAscii, FoldsAsciiAndLeavesEveryOtherByte) {
    // "é", "я", "你" and an emoji in UTF-8, then bytes of an older file in Windows-1252.
    const std::string others = "\xC3\xA9\xD1\x8F\xE4\xBD\xA0\xF0\x9F\x98\x80\x9A\xE0\xFF\xB5";
    std::string text = "abz{`@" + others + " 1_";
    UpperCaseAscii(text);
    EXPECT_EQ(text, "ABZ{`@" + others + " 1_");
}

TEST(RemoveChars, KeepsWhatIsNotInTheSetFromStartOn) {
    const TCharSet lineEnds = MakeCharSet("\r\n");
    const struct {
        const char* Text;
        int Start;
        const char* Expected;
    } cases[] = {
        {"one\r\ntwo\nthree", 1, "onetwothree"},
        {"one\r\ntwo", 3, "etwo"},
        {"abc", 4, ""},
        {"abc", 10, ""},
        {"abc", 0, "abc"},
        {"", 1, ""},
        {"\n\n", 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RemoveChars(c.Text, lineEnds, c.Start), c.Expected) << c.Text;
    EXPECT_EQ(RemoveChars(std::string("a\0b", 3), MakeCharSet(std::string("\0", 1)), 1), "ab");
}

TEST(ScaleRect, ProductWrapsAndQuotientTruncates) {
    EXPECT_EQ(ScaleRect({10, -10, 7, -7}, 3, 2), (TIntRect{15, -15, 10, -10}));
    EXPECT_EQ(ScaleRect({1, 2, 3, 4}, 1, 1), (TIntRect{1, 2, 3, 4}));
    EXPECT_EQ(ScaleRect({100, 200, 300, 400}, 1, 3), (TIntRect{33, 66, 100, 133}));
    const struct {
        int32_t Value, Multiplier, Divisor, Expected;
    } cases[] = {
        {65536, 65536, 1, 0},  // 2^32 wraps to 0
        {INT32_MAX, 2, 1, -2}, // 0xFFFFFFFE
        {INT32_MAX, 2, 2, -1},
        {INT32_MIN, -1, 1, INT32_MIN}, // negation of the smallest value wraps onto itself
        {INT32_MIN, 1, -1, INT32_MIN}, // and so does the quotient, without a trap
        {-7, 1, 2, -3},
        {7, -1, 2, -3},
        {5, 3, 0, 5}, // no divisor: left as it was
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleCoordinate(c.Value, c.Multiplier, c.Divisor), c.Expected)
            << c.Value << " * " << c.Multiplier << " / " << c.Divisor;
    EXPECT_EQ(ScaleRect({1, 2, 3, 4}, 5, 0), (TIntRect{1, 2, 3, 4}));
}

TEST(BlendColor, MixesEachChannelAndClearsTheTopByte) {
    const struct {
        uint32_t A, B;
        int32_t T;
        uint32_t Expected;
    } cases[] = {
        {0x000000, 0xFFFFFF, 128, 0x808080}, {0x000000, 0xFFFFFF, 0, 0x000000},
        {0x000000, 0xFFFFFF, 255, 0xFFFFFF}, {0xFF0000, 0x00FF00, 255, 0x00FF00},
        {0xFFFFFF, 0x000000, 1, 0xFEFEFE},   {0x102030, 0x302010, 128, 0x202020},
        {0xFF000000, 0xFF000000, 100, 0},    {0x0000FF, 0x000000, 128, 0x00007F},
        {0x000000, 0xFFFFFF, 300, 0xFFFFFF}, {0x000000, 0xFFFFFF, -5, 0x000000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlendColor(c.A, c.B, c.T), c.Expected)
            << std::hex << c.A << " " << c.B << " " << std::dec << c.T;
}

TEST(MulDivRound, RoundsHalfAwayFromZeroLikeThePlatform) {
    const struct {
        int32_t A, B, C, Expected;
    } cases[] = {
        {9, 96, 72, 12}, {8, 96, 72, 11},       {10, 96, 72, 13},
        {1, 3, 2, 2},    {-1, 3, 2, -2},        {1, 3, -2, -2},
        {5, 1, 0, -1},   {INT32_MAX, 2, 1, -1}, {INT32_MAX, 2, 2, INT32_MAX},
        {0, 5, 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDivRound(c.A, c.B, c.C), c.Expected) << c.A << "*" << c.B << "/" << c.C;
}

TEST(FontText, TokensOverrideTheBaseInOrder) {
    const int32_t base = -11;
    const struct {
        const char* Text;
        int32_t Height;
        int32_t Weight;
        bool Italic, Underline, StrikeOut;
        const char* Face;
    } cases[] = {
        {"", base, 400, false, false, false, "Segoe UI"},
        {"Tahoma, 9; bi", -12, 700, true, false, false, "Tahoma"},
        {"\"Courier New\" 10", -13, 400, false, false, false, "Courier New"},
        {"12", -16, 400, false, false, false, "Segoe UI"},
        {"Arial\t8 su", -11, 400, false, true, true, "Arial"},
        {"Bold", base, 400, false, false, false, "Bold"},
        {"bxyz", base, 700, false, false, false, "Segoe UI"},
        {"bolds", base, 400, false, false, false, "bolds"},
        {"Arial Tahoma", base, 400, false, false, false, "Tahoma"},
        {"9 12", -16, 400, false, false, false, "Segoe UI"},
        {"-", -11, 400, false, false, false, "Segoe UI"},
        {"9pt", -11, 400, false, false, false, "Segoe UI"},
        {"-9", 12, 400, false, false, false, "Segoe UI"},
        {"\"  Lucida Console  \"", base, 400, false, false, false, "Lucida Console"},
        {"\"Open", base, 400, false, false, false, "Open"},
        {"\"\" ,;", base, 400, false, false, false, "Segoe UI"},
        {"\"b, i\"", base, 700, true, false, false, "Segoe UI"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij", base, 400, false, false, false,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde"},
    };
    for (const auto& c : cases) {
        const TFontSpec font = ParseFontText(c.Text, base, "Segoe UI", 96);
        EXPECT_EQ(font.Height, c.Height) << c.Text;
        EXPECT_EQ(font.Weight, c.Weight) << c.Text;
        EXPECT_EQ(font.Italic, c.Italic) << c.Text;
        EXPECT_EQ(font.Underline, c.Underline) << c.Text;
        EXPECT_EQ(font.StrikeOut, c.StrikeOut) << c.Text;
        EXPECT_EQ(font.FaceName, c.Face) << c.Text;
    }
}

TEST(FontText, SizeFollowsTheDpiAndSurvivesExtremes) {
    EXPECT_EQ(ParseFontText("9", 0, "", 120).Height, -15);
    EXPECT_EQ(ParseFontText("9", 0, "", 72).Height, -9);
    // Sizes whose pixel height cannot be represented take the platform's overflow answer instead of faulting.
    EXPECT_EQ(ParseFontText("2147483647", 0, "", 96).Height, 1);
    EXPECT_EQ(ParseFontText("-1610612736", 0, "", 96).Height, INT32_MAX);
    EXPECT_EQ(ParseFontText("", 0, std::string(40, 'F'), 96).FaceName.size(), 31u);
}

} // namespace
