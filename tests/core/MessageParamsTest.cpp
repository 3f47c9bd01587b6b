// Parameter texts, their buffers and the Messages tab's texts.
#include "messages/MessageParams.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace {

struct ParseCase {
    const char* Text;
    int PointerBits;
    TParamKind Kind;
    int64_t Number;
    int64_t Size;
    std::string Bytes;
};

std::string IntBytes(int32_t value) {
    std::string bytes(4, '\0');
    std::memcpy(&bytes[0], &value, 4);
    return bytes;
}

TEST(ParamText, ReadsNumbersAndBufferDescriptions) {
    const ParseCase cases[] = {
        {"", 32, TParamKind::Number, 0, 0, ""},
        {"256", 32, TParamKind::Number, 256, 0, ""},
        {"-1", 32, TParamKind::Number, -1, 0, ""},
        {"0x10", 32, TParamKind::Number, 16, 0, ""},
        {"  $ff", 32, TParamKind::Number, 255, 0, ""},
        {"12abc", 32, TParamKind::Number, 0, 0, ""},
        {"0xFFFFFFFF", 32, TParamKind::Number, -1, 0, ""},
        // 32 bits cannot hold nine hexadecimal digits; a 64-bit parameter can.
        {"0x123456789", 32, TParamKind::Number, 0, 0, ""},
        {"0x123456789", 64, TParamKind::Number, 0x123456789LL, 0, ""},
        {"0xFFFFFFFFFFFFFFFF", 64, TParamKind::Number, -1, 0, ""},
        {"0x1FFFFFFFFFFFFFFFF", 64, TParamKind::Number, 0, 0, ""},
        {"4294967296", 32, TParamKind::Number, 0, 0, ""},
        {"4294967296", 64, TParamKind::Number, 4294967296LL, 0, ""},
        {"-9223372036854775808", 64, TParamKind::Number, std::numeric_limits<int64_t>::min(), 0, ""},
        {"9223372036854775808", 64, TParamKind::Number, 0, 0, ""},
        {"*256", 32, TParamKind::ZeroBuffer, 0, 256, ""},
        {"* 0x10", 32, TParamKind::ZeroBuffer, 0, 16, ""},
        {"*0", 32, TParamKind::ZeroBuffer, 0, 0, ""},
        {"*-5", 32, TParamKind::ZeroBuffer, 0, -5, ""},
        {"*junk", 32, TParamKind::ZeroBuffer, 0, 0, ""},
        {"*", 32, TParamKind::ZeroBuffer, 0, 0, ""},
        {"@\"abc\"", 32, TParamKind::TextBuffer, 0, 0, std::string("abc\0", 4)},
        {"@\"\"", 32, TParamKind::TextBuffer, 0, 0, std::string("\0", 1)},
        {"@\"a\"b\"", 32, TParamKind::TextBuffer, 0, 0, std::string("a\"b\0", 4)},
        {"@\"a\\n\"", 32, TParamKind::TextBuffer, 0, 0, std::string("a\\n\0", 4)},
        // Without its closing quote the text is no text: the current buffer, which a new message lacks.
        {"@\"abc", 32, TParamKind::CurrentBuffer, 0, 0, ""},
        {"@\"", 32, TParamKind::CurrentBuffer, 0, 0, ""},
        {"@123", 32, TParamKind::IntBuffer, 0, 0, IntBytes(123)},
        {"@0x10", 32, TParamKind::IntBuffer, 0, 0, IntBytes(16)},
        {"@9z", 32, TParamKind::IntBuffer, 0, 0, IntBytes(0)},
        {"@x", 32, TParamKind::CurrentBuffer, 0, 0, ""},
        {"@", 32, TParamKind::CurrentBuffer, 0, 0, ""},
        {" *5", 32, TParamKind::Number, 0, 0, ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TParamText parsed = ParseParamText(c.Text, c.PointerBits);
        EXPECT_EQ(parsed.Kind, c.Kind);
        EXPECT_EQ(parsed.Number, c.Number);
        EXPECT_EQ(parsed.Size, c.Size);
        EXPECT_EQ(parsed.Bytes, c.Bytes);
    }
}

struct ApplyCase {
    const char* Text;
    size_t Size;          // the buffer made, 0 for none
    std::string Contents; // its bytes
    uintptr_t Value;      // the value without a buffer
};

TEST(MessageBuffers, MakeTheBuffersTheTextsDescribe) {
    const ApplyCase cases[] = {
        {"*4", 4, std::string(4, '\0'), 0},
        {"@\"abc\"", 4, std::string("abc\0", 4), 0},
        {"@123", 4, IntBytes(123), 0},
        {"*0", 0, "", 0},
        {"*-1", 0, "", 0},
        {"*-2147483648", 0, "", 0},
        {"@x", 0, "", 0},
        {"@\"open", 0, "", 0},
        {"77", 0, "", 77},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.Text);
        TMessageBuffers buffers;
        uintptr_t value = buffers.Apply(1, ParseParamText(c.Text, 64));
        ASSERT_EQ(buffers.GetBufferSize(1), c.Size);
        EXPECT_EQ(buffers.GetBufferSize(0), 0u);
        if (c.Size == 0) {
            EXPECT_EQ(buffers.GetBuffer(1), nullptr);
            EXPECT_EQ(value, c.Value);
            continue;
        }
        ASSERT_NE(buffers.GetBuffer(1), nullptr);
        EXPECT_EQ(value, reinterpret_cast<uintptr_t>(buffers.GetBuffer(1)));
        EXPECT_EQ(std::string(static_cast<const char*>(buffers.GetBuffer(1)), c.Size), c.Contents);
    }
}

TEST(MessageBuffers, PlainNumbersKeepTheirFullWidth) {
    TMessageBuffers buffers;
    EXPECT_EQ(buffers.Apply(0, ParseParamText("77", 64)), 77u);
    EXPECT_EQ(buffers.Apply(0, ParseParamText("-1", 64)), static_cast<uintptr_t>(-1));
    EXPECT_EQ(buffers.Apply(0, ParseParamText("-1", 32)), static_cast<uintptr_t>(-1));
    EXPECT_EQ(buffers.GetBuffer(0), nullptr);
}

void* NoMemory(size_t, size_t) {
    return nullptr;
}

TEST(MessageBuffers, MemoryThatCannotBeHadGivesNoBufferAndZero) {
    TMessageBuffers buffers(NoMemory);
    for (const char* text : {"*65536", "@\"abc\"", "@5"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(buffers.Apply(0, ParseParamText(text, 32)), 0u);
        EXPECT_EQ(buffers.GetBuffer(0), nullptr);
        EXPECT_EQ(buffers.GetBufferSize(0), 0u);
    }
}

TEST(MessageBuffers, ResizingKeepsWhatFitsAndZeroesTheRest) {
    TMessageBuffers buffers;
    buffers.Apply(0, ParseParamText("@\"abcdef\"", 32));
    buffers.SetBufferSize(0, 3);
    ASSERT_EQ(buffers.GetBufferSize(0), 3u);
    EXPECT_EQ(std::string(static_cast<const char*>(buffers.GetBuffer(0)), 3), "abc");
    buffers.SetBufferSize(0, 6);
    EXPECT_EQ(std::string(static_cast<const char*>(buffers.GetBuffer(0)), 6), std::string("abc\0\0\0", 6));
    // "@" followed by anything else is the buffer as it stands.
    EXPECT_EQ(buffers.Apply(0, ParseParamText("@?", 32)), reinterpret_cast<uintptr_t>(buffers.GetBuffer(0)));
    buffers.SetBufferSize(0, 0);
    EXPECT_EQ(buffers.GetBuffer(0), nullptr);
    // Indexes other than 0 and 1 are no parameter.
    buffers.SetBufferSize(2, 8);
    buffers.SetBufferSize(-1, 8);
    EXPECT_EQ(buffers.GetBuffer(2), nullptr);
    EXPECT_EQ(buffers.GetBufferSize(-1), 0u);
}

TEST(MessageTexts, ListEntriesResultLinesAndSearchAddress) {
    EXPECT_EQ(MessageListEntry("WM_PAINT", 15), "WM_PAINT                          0x000F");
    EXPECT_EQ(MessageListEntry("WM_USER", 0x400).size(), 34u + 6u);
    EXPECT_EQ(MessageListEntry("A_NAME_LONGER_THAN_THIRTY_FOUR_CHARS", 0x12345),
              "A_NAME_LONGER_THAN_THIRTY_FOUR_CHARS0x12345");
    EXPECT_EQ(MessageResultLine("Send", 0x1A2B, 13, 256, 1234567, 11),
              "SendMessage(0x1A2B,13,256,1234567) = 11");
    EXPECT_EQ(MessageResultLine("Post", 0xABC, 16, -1, 0, 1), "PostMessage(0xABC,16,-1,0) = 1");
    // A 64-bit buffer address and result are shown whole.
    EXPECT_EQ(MessageResultLine("Send", 1, 0xFFFFFFFF, 0, 0x7FF612345678LL, -0x100000000LL),
              "SendMessage(0x1,-1,0,140694844102264) = -4294967296");
    EXPECT_EQ(MessageWaitingLine(0x1A2B, 16, 0, -1),
              "SendMessage(0x1A2B,16,0,-1) is waiting for the window to answer");
    const struct {
        TSendOutcome Outcome;
        const char* Tail;
    } unanswered[] = {
        {TSendOutcome::TimedOut, " did not return within 5000 ms"},
        {TSendOutcome::NotResponding, " did not return: the window is not responding"},
        {TSendOutcome::Refused, " was refused: the window belongs to a program that runs with higher rights"},
        {TSendOutcome::NotSent, " was not sent: too many calls already wait for windows that do not answer"},
    };
    for (const auto& c : unanswered)
        EXPECT_EQ(MessageUnansweredLine(0x1A2B, 13, 256, 0, 5000, c.Outcome),
                  std::string("SendMessage(0x1A2B,13,256,0)") + c.Tail);
    EXPECT_EQ(MessageSearchUrl("WM_SETTEXT"),
              "https://www.google.com/search?hl=en&q=WM_SETTEXT&btnI=I%27m+Feeling+Lucky");
}

} // namespace
