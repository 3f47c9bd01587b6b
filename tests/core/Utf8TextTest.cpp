// Cutting UTF-8 text at a byte limit: whole characters only, foreign bytes kept.
#include "app/Utf8Text.h"

#include <gtest/gtest.h>

#include <string>

TEST(Utf8Cut, NeverEndsInsideASequence) {
    // "é" is 2 bytes, "你" 3, the emoji 4.
    const std::string text = "a\xC3\xA9\xE4\xBD\xA0\xF0\x9F\x98\x80z";
    struct Case {
        size_t Limit;
        size_t Expected;
    };
    const Case cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3},   {4, 3},   {5, 3},  {6, 6},
                          {7, 6}, {8, 6}, {9, 6}, {10, 10}, {11, 11}, {50, 11}};
    for (const Case& c : cases)
        EXPECT_EQ(Utf8CutLength(text, c.Limit), c.Expected) << c.Limit;
    EXPECT_EQ(Utf8Cut(text, 8), "a\xC3\xA9\xE4\xBD\xA0");
}

TEST(Utf8Cut, BytesOfAnAnsiPageAreSingleCharacters) {
    // Windows-1252 "café", "Müller" and stray continuation bytes: none starts a sequence that the cut splits.
    EXPECT_EQ(Utf8Cut("caf\xE9 ok", 4), "caf\xE9") << "followed by a byte that continues nothing";
    EXPECT_EQ(Utf8Cut("M\xFCller", 2), "M\xFC");
    EXPECT_EQ(Utf8Cut("\x80\x80\x80\x80\x80", 3), "\x80\x80\x80");
    EXPECT_EQ(Utf8Cut("x\xC3\xA9", 3), "x\xC3\xA9") << "a whole text is never cut";
    EXPECT_EQ(Utf8Cut("x\xE4\xBD", 3), "x") << "but a text that ends in a cut sequence loses it";
}

TEST(Utf8Cut, EndAtWholeCharacterTrimsOnlyAFilledBuffer) {
    struct Case {
        std::string Bytes;
        std::string Expected;
    };
    const Case cases[] = {
        {std::string("ab\xE4\xBD\0", 5), "ab"},               // filled: the CJK character was cut
        {std::string("a\xE4\xBD\xA0\0", 5), "a\xE4\xBD\xA0"}, // filled with whole characters
        {std::string("\xE4\xBD\0xx", 5), "\xE4\xBD"},         // shorter: the text's own bytes
        {std::string("abcde", 5), "abcd"},                    // not terminated: terminated within
    };
    for (const Case& c : cases) {
        std::string buffer = c.Bytes;
        EXPECT_EQ(EndAtWholeCharacter(&buffer[0], buffer.size()), c.Expected.size()) << c.Expected;
        EXPECT_EQ(std::string(buffer.c_str()), c.Expected);
    }
}
