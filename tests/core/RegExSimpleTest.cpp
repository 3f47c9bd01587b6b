// The pattern matcher: compilation, greedy single-pass matching, restarts, captures and errors.
#include "messages/RegExSimple.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

// The subject in a heap block of exactly its length plus the terminator, so that AddressSanitizer reports
// any read past the terminator.
struct TExactSubject {
    explicit TExactSubject(const std::string& text) : Bytes(new char[text.size() + 1]) {
        std::memcpy(Bytes.get(), text.c_str(), text.size() + 1);
    }
    const char* Get() const { return Bytes.get(); }
    std::unique_ptr<char[]> Bytes;
};

struct TMatchCase {
    const char* Pattern;
    const char* Subject;
    int Position;
    const char* Matched;
    std::vector<std::string> Captures;
};

void ExpectMatches(const TMatchCase* cases, size_t count, bool ignoreCase) {
    for (size_t i = 0; i < count; ++i) {
        const TMatchCase& c = cases[i];
        TRegExSimple regex(c.Pattern, ignoreCase);
        const TExactSubject subject(c.Subject);
        std::string matched = "stale";
        int endPos = -99;
        const int position = regex.Match(subject.Get(), &matched, &endPos);
        const std::string where = std::string("/") + c.Pattern + "/ on \"" + c.Subject + "\"";
        EXPECT_EQ(position, c.Position) << where;
        EXPECT_EQ(matched, c.Matched) << where;
        EXPECT_EQ(regex.Captures(), c.Captures) << where;
        if (position > 0) {
            EXPECT_EQ(endPos, position + static_cast<int>(std::strlen(c.Matched)) - 1) << where;
        }
        EXPECT_EQ(regex.Match(subject.Get()), c.Position) << "short form, " << where;
    }
}

TEST(RegExMatch, WorkedExamples) {
    const TMatchCase cases[] = {
        {"paint", "WM_PAINT", 4, "PAINT", {}},
        {"^wm_", "WM_PAINT", 1, "WM_", {}},
        {"^wm_", "XWM_PAINT", -1, "", {}},
        {"close$", "WM_CLOSE", 4, "CLOSE", {}},
        {"close$", "WM_CLOSEX", -1, "", {}},
        {"WM_(.*)", "WM_PAINT", 1, "WM_PAINT", {"PAINT"}},
        {"(wm)_(set)", "WM_SETTEXT", 1, "WM_SET", {"WM", "SET"}},
        {"te*xt", "WM_SETTEXT", 7, "TEXT", {}},
        {"x{2,3}", "axxxxb", 2, "xxx", {}},
        {"x{2,}", "axb", -1, "", {}},
        {"\\d+", "LB_ADDSTRING0x180", 13, "0", {}},
        {"[^a-c]", "abcd", 4, "d", {}},
        {"b*", "aab", 1, "", {}},
        {"[b]*", "aab", 3, "b", {}},
        {"a*a", "aaa", -1, "", {}},
        {"WM_.*PAINT", "WM_NCPAINT", -1, "", {}},
        {"ab{x", "ab{x", 1, "ab{x", {}},
        {"a|b", "a|b", 1, "a|b", {}},
    };
    ExpectMatches(cases, std::size(cases), true);
}

TEST(RegExMatch, EdgeCases) {
    const TMatchCase cases[] = {
        {"", "anything", -1, "", {}},
        {"a*", "", -1, "", {}},
        {"a)(b", "xab", 2, "ab", {}},
        {"(a*)", "b", 1, "", {""}},
        {"[q]", "Q", 1, "Q", {}},
        {"[\\q]", "Q", -1, "", {}},
        {"[\\q]", "xq", 2, "q", {}},
        {"WM_[A-C]", "wm_char", 1, "wm_c", {}},
        {"\\.", "WM.X", 3, ".", {}},
        {"\\.", "WMX", -1, "", {}},
        {"a{abcdefghijk}", "a{abcdefghijk}", 1, "a{abcdefghijk}", {}},
        {"a{abcdefghij}", "a{abcdefghij}", 1, "a{abcdefghij}", {}},
        {"a{1234567890}", "aaa", -1, "", {}},
        {"[b]*", "aaa", 4, "", {}},
        {"[-a]+", "x-a-", 2, "-a-", {}},
        {"[a-]+", "x-a-", 2, "-a-", {}},
        {"x{5,3x}", "x{5,3x}", 1, "x{5,3x}", {}},
        {"x{,3}", "x{,3}", 1, "x{,3}", {}},
        {"x{2}y", "xxxy", 2, "xxy", {}}, // bounded greed stops at two, then a restart
        {"x{2}y", "axxy", 2, "xxy", {}},
        {"^.", "\nab", -1, "", {}},
        {".", "\r\na", 3, "a", {}},
        {"\\S+", " \tab c", 3, "ab", {}},
        {"\\0", "\r\nz", 3, "z", {}},
        {"[\\d_]+", "ab_12-", 3, "_12", {}},
        {"[\\W]", "ab-", 3, "-", {}},
        {"[\\-]", "a-b", 2, "-", {}},
        {"[^-z]+", "A^_z{", 5, "{", {}}, // negated, and the range runs from "^"
        {"[\\d-z]+", "-dez0", 2, "dez0", {}},
        {"(ab)(c?)", "xabd", 2, "ab", {"ab", ""}},
        {"^(x)", "xy", 1, "x", {"x"}},
        {"ab", "aab", 2, "ab", {}},
        {"abc", "xxabdabc", 6, "abc", {}},
        {"a?b", "cab", 2, "ab", {}},
        {"[ab]?c", "xbc", 2, "bc", {}},
        {"b+$", "abbab", 5, "b", {}},
        {"\\$", "a$b", 2, "$", {}},
        {"[$]", "a$", 2, "$", {}},
    };
    ExpectMatches(cases, std::size(cases), true);
}

TEST(RegExMatch, CaseSensitivityFollowsTheFlag) {
    const TMatchCase cases[] = {
        {"paint", "WM_PAINT", -1, "", {}},  {"PAINT", "WM_PAINT", 4, "PAINT", {}},
        {"[a-c]+", "ABCabc", 4, "abc", {}}, {"w", "W", -1, "", {}},
        {"\xE9", "\xC9", -1, "", {}},
    };
    ExpectMatches(cases, std::size(cases), false);
    // Only ASCII letters fold, also with the flag on.
    const TMatchCase folded[] = {
        {"\xE9", "\xC9", -1, "", {}},
        {"[\xE9]", "\xC9", -1, "", {}},
        {"Wm_pAiNt", "wm_paint", 1, "wm_paint", {}},
    };
    ExpectMatches(folded, std::size(folded), true);
}

struct TErrorCase {
    const char* Pattern;
    const char* Message;
};

TEST(RegExCompile, ErrorsCarryTheirFixedMessages) {
    const TErrorCase cases[] = {
        {"^", "RegExSegment: Invalid pattern: \"^\""},
        {"$", "RegExSegment: Invalid pattern: \"$\""},
        {"()", "RegExSegment: Invalid pattern: \"()\""},
        {"((a))", "RegExSegment: Invalid pattern: \"((a))\""},
        {"\\q", "RegExSegment: Invalid pattern: \"\\q\""},
        {"\\}", "RegExSegment: Invalid pattern: \"\\}\""},
        {"a$b", "RegExSegment: Invalid pattern: \"a$b\""},
        {"a^", "RegExSegment: Invalid pattern: \"a^\""},
        {"a)", "RegExSegment: Unbalanced capture groups (-1)"},
        {"(a", "RegExSegment: Unbalanced capture groups (1)"},
        {"(a)(b", "RegExSegment: Unbalanced capture groups (1)"},
        {"a]", "RegExSegment: Invalid pattern: \"a]\""},
        {"(ab)*", "RegExSegment: Invalid placement of quantifier \"*\""},
        {"*a", "RegExSegment: Invalid placement of quantifier \"*\""},
        {"{2}", "RegExSegment: Invalid placement of quantifier \"{\""},
        {"a**", "RegExSegment: Invalid placement of quantifier \"*\""},
        {"^+", "RegExSegment: Invalid placement of quantifier \"+\""},
        {"a{3,1}", "RegExSegment: Misordered quantifier range {3,1}"},
        {".{9,-1}", "RegExSegment: Misordered quantifier range {9,-1}"},
        {"[z-a]", "RegExSegment: Character class range out of order"},
        {"[a-", "RegExSegment: Character class has no ending bracket"},
        {"[a", "RegExSegment: Character class has no ending bracket"},
        {"[\\", "RegExSegment: Character class has no ending bracket"},
        {"[]", "RegExSegment: Invalid pattern: \"[]\""},
        {"\\", "RegExSegment: Invalid pattern: \"\\\""},
    };
    for (const TErrorCase& c : cases) {
        try {
            TRegExSimple regex(c.Pattern, true);
            ADD_FAILURE() << "compiled: " << c.Pattern;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.Message) << c.Pattern;
        }
    }
}

TEST(RegExCompile, ChainShapes) {
    TRegExSimple regex("te*xt", true);
    const TRegExSegmentBuilder& builder = regex.SegmentBuilder();
    ASSERT_EQ(builder.Count(), 3);
    EXPECT_EQ(builder.GetSegment(0)->Text, "t");
    EXPECT_EQ(builder.GetSegment(1)->Text, "e");
    EXPECT_EQ(builder.GetSegment(1)->MinCount, 0);
    EXPECT_EQ(builder.GetSegment(1)->MaxCount, TRegExSegment::Unbounded);
    EXPECT_EQ(builder.GetSegment(2)->Text, "xt");
    EXPECT_EQ(builder.GetSegment(2)->MinCount, 1);
    EXPECT_EQ(builder.GetSegment(0)->Next, builder.GetSegment(1));
    EXPECT_EQ(builder.GetSegment(2)->Prev, builder.GetSegment(1));
    EXPECT_EQ(builder.GetSegment(2)->Next, nullptr);
    EXPECT_EQ(builder.GetSegment(3), nullptr);
    EXPECT_EQ(builder.GetSegment(-1), nullptr);

    TRegExSimple anchored("^(ab)c?[xy]$", false);
    const TRegExSegmentBuilder& chain = anchored.SegmentBuilder();
    ASSERT_EQ(chain.Count(), 3);
    EXPECT_TRUE(chain.GetSegment(0)->AnchorStart);
    EXPECT_TRUE(chain.GetSegment(0)->GroupOpen);
    EXPECT_TRUE(chain.GetSegment(0)->GroupClose);
    EXPECT_EQ(chain.GetSegment(1)->MaxCount, 1);
    EXPECT_EQ(chain.GetSegment(1)->MinCount, 0);
    EXPECT_TRUE(chain.GetSegment(2)->AnchorEnd);
    EXPECT_FALSE(chain.GetSegment(1)->AnchorEnd);
    EXPECT_EQ(chain.GetSegment(2)->CharSet.count(), 2u);

    // The "{" without a range stays in the run; with one, the quantifier belongs to the last character.
    TRegExSimple braces("ab{x", true);
    ASSERT_EQ(braces.SegmentBuilder().Count(), 2);
    EXPECT_EQ(braces.SegmentBuilder().GetSegment(0)->Text, "a");
    EXPECT_EQ(braces.SegmentBuilder().GetSegment(1)->Text, "b{x");
    TRegExSimple ranged("abc{2,4}d", true);
    ASSERT_EQ(ranged.SegmentBuilder().Count(), 3);
    EXPECT_EQ(ranged.SegmentBuilder().GetSegment(1)->Text, "c");
    EXPECT_EQ(ranged.SegmentBuilder().GetSegment(1)->MinCount, 2);
    EXPECT_EQ(ranged.SegmentBuilder().GetSegment(1)->MaxCount, 4);
    EXPECT_EQ(ranged.SegmentBuilder().GetSegment(2)->Text, "d");
}

TEST(RegExCompile, ClassContents) {
    const struct {
        const char* Pattern;
        bool IgnoreCase;
        const char* Members;
        size_t Count;
    } cases[] = {
        {"[-a]", false, "-a", 2},
        {"[a-]", false, "-a", 2},
        {"[a-c]", true, "abcABC", 6},
        {"[a-c]", false, "abc", 3},
        {"[\\d_]", false, "0123456789_", 11},
        {"[\\*\\-]", false, "*-", 2},
        {"[\\]]", false, "]", 1},
        {"[\\x]", true, "0123456789abcdefABCDEF", 22},
        {"\\s", false, " \t", 2},
        {"\\t", false, "\t", 1},
        {"\\n", false, "\n", 1},
        {"\\r", false, "\r", 1},
        {"\\a", false, "az", 52},
        {"\\w", false, "_09azAZ", 63},
        {"\\W", false, "-", 254 - 63},
        {"\\0", false, "\x01\xFF", 253},
        {"\\N", false, "a", 254},
        {"[^\\n]", false, "a", 254},
        {".", false, "\x01\x7F\xFF", 254},
        {"[^a]", true, "b", 252},
    };
    for (const auto& c : cases) {
        TRegExSimple regex(c.Pattern, c.IgnoreCase);
        ASSERT_EQ(regex.SegmentBuilder().Count(), 1) << c.Pattern;
        const TRegExCharSet& set = regex.SegmentBuilder().GetSegment(0)->CharSet;
        EXPECT_EQ(set.count(), c.Count) << c.Pattern;
        for (const char* m = c.Members; *m; ++m)
            EXPECT_TRUE(set.test(static_cast<unsigned char>(*m))) << c.Pattern << " lacks " << *m;
        EXPECT_EQ(set.test(10), std::string(c.Pattern) == "\\n") << c.Pattern;
        EXPECT_EQ(set.test(13), std::string(c.Pattern) == "\\r") << c.Pattern;
    }
}

TEST(RegExSimple, SetPatternRecompilesOnlyOnChange) {
    TRegExSimple regex("abc", true);
    EXPECT_EQ(regex.Match("xabc"), 2);
    regex.SetPattern("ABC"); // a different text, even if it matches the same
    EXPECT_EQ(regex.SegmentBuilder().Pattern(), "ABC");
    regex.SetPattern("b");
    EXPECT_EQ(regex.Match("xabc"), 3);
    EXPECT_THROW(regex.SetPattern("(b"), std::runtime_error);
    EXPECT_EQ(regex.SegmentBuilder().Pattern(), "(b");
    EXPECT_EQ(regex.SegmentBuilder().Count(), 1); // what was made before the error
    // A chain left by a failed compilation never matches, and asking again does not recompile.
    EXPECT_EQ(regex.Match("b"), -1);
    EXPECT_NO_THROW(regex.SetPattern("(b"));
    EXPECT_THROW(regex.SetPattern("[a-"), std::runtime_error);
    EXPECT_EQ(regex.SegmentBuilder().Count(), 1);
    EXPECT_EQ(regex.Match("a"), -1) << "an unfinished segment must not be asked to match";
    regex.SetPattern("c");
    EXPECT_EQ(regex.Match("abc"), 3);
    regex.SetPattern("");
    EXPECT_EQ(regex.SegmentBuilder().Count(), 0);
    EXPECT_EQ(regex.Match("abc"), -1);
}

TEST(RegExSimple, CapturesAreClearedByAFailedMatch) {
    TRegExSimple regex("(b)", false);
    EXPECT_EQ(regex.Match("ab"), 2);
    EXPECT_EQ(regex.Captures(), std::vector<std::string>{"b"});
    EXPECT_EQ(regex.Match("aa"), -1);
    EXPECT_TRUE(regex.Captures().empty());
    EXPECT_EQ(regex.Match(static_cast<const char*>(nullptr)), -1);
}

TEST(RegExSegment, AnEmptySegmentRefusesToMatch) {
    TRegExSegmentBuilder builder("", false);
    TRegExSegmentDuo* segment = builder.AddSegment();
    try {
        segment->MatchAt("abc");
        ADD_FAILURE() << "matched without contents";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "RegExSegment: Invalid pattern segment");
    }
}

TEST(RegExSimple, NeverReadsPastTheTerminator) {
    // Subjects that end where a segment still wants more, and patterns that end inside a construct.
    const char* patterns[] = {"abc",  "a*", "[b]*", "[^x]+", "x{2,3}",  "^ab$", "b+$",  ".*",   "(a)(b)c",
                              "\\d+", "zz", "c$",   "[bc]",  "a?b?c?d", "\\W",  "^[a]", "[z]*", "x{3}"};
    const char* subjects[] = {"a", "ab", "abc", "x", "xx", "b", "\xFF"};
    for (const char* pattern : patterns) {
        TRegExSimple regex(pattern, true);
        for (const char* subject : subjects) {
            const TExactSubject exact(subject);
            std::string matched;
            int endPos = 0;
            const int position = regex.Match(exact.Get(), &matched, &endPos);
            EXPECT_LE(position, static_cast<int>(std::strlen(subject)) + 1) << pattern << " on " << subject;
        }
    }
    const char* unfinished[] = {"[a", "a{", "a{1,", "x{2,3", "\\", "[\\", "[a-", "(", "((", "a\\"};
    for (const char* pattern : unfinished) {
        const std::string exact(pattern); // the builder reads only within the pattern's own length
        try {
            TRegExSimple regex(exact, false);
            EXPECT_EQ(regex.Match("a{1,x{2,3"), regex.Match(std::string("a{1,x{2,3"))) << pattern;
        } catch (const std::runtime_error&) {
        }
    }
}

} // namespace
