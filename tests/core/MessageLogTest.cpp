// The message log's portable core: the shared ring, the row texts and details, CSV, filters and rows kept.
#include "messages/CsvFile.h"
#include "msglog/LogRing.h"
#include "msglog/LogRows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TLogRecord Message(uint32_t message, uint64_t wParam = 0, uint64_t lParam = 0, uint8_t kind = lkSent) {
    TLogRecord record = {};
    record.Message = message;
    record.WParam = wParam;
    record.LParam = lParam;
    record.Kind = kind;
    return record;
}

struct RingFixture {
    explicit RingFixture(uint32_t capacity) : memory(LogRingBytes(capacity)), ring(memory.data()) {
        ring.Init(capacity, 0x1234, 77, lsWindow, 0);
    }
    std::vector<unsigned char> memory;
    TLogRing ring;
};

TEST(LogRing, WritesUntilFullThenDropsAndCountsEachDrop) {
    RingFixture f(8);
    for (uint32_t i = 0; i < 11; ++i) {
        TLogRecord record = Message(0x400 + i);
        EXPECT_EQ(f.ring.Write(record), i < 8) << i;
        EXPECT_EQ(record.Sequence, i);
    }
    EXPECT_EQ(f.ring.Header().Dropped.load(), 3u);
    std::vector<TLogRecord> out;
    ASSERT_EQ(f.ring.Read(out), 8u);
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(out[i].Message, 0x400 + i);
    // Freed slots take new records; the sequence shows where the dropped ones were.
    TLogRecord next = Message(0x500);
    EXPECT_TRUE(f.ring.Write(next));
    out.clear();
    ASSERT_EQ(f.ring.Read(out), 1u);
    EXPECT_EQ(out[0].Sequence, 11u);
    EXPECT_EQ(f.ring.Waiting(), 0u);
}

TEST(LogRing, IndexesWrapAroundTheirRange) {
    RingFixture f(4);
    // Start just below the wrap of the 32-bit indexes.
    f.ring.Header().WriteIndex.store(0xFFFFFFFEu);
    f.ring.Header().ReadIndex.store(0xFFFFFFFEu);
    std::vector<TLogRecord> out;
    for (uint32_t round = 0; round < 3; ++round) {
        for (uint32_t i = 0; i < 4; ++i) {
            TLogRecord record = Message(i + round * 4);
            ASSERT_TRUE(f.ring.Write(record));
        }
        TLogRecord extra = Message(99);
        EXPECT_FALSE(f.ring.Write(extra));
        ASSERT_EQ(f.ring.Read(out, 3), 3u);
        ASSERT_EQ(f.ring.Read(out), 1u);
    }
    ASSERT_EQ(out.size(), 12u);
    for (uint32_t i = 0; i < 12; ++i)
        EXPECT_EQ(out[i].Message, i);
    EXPECT_EQ(f.ring.Header().Dropped.load(), 3u);
}

TEST(LogRing, AttachRefusesWhatIsNoRingOfThisSize) {
    RingFixture f(16);
    TLogRing other(f.memory.data());
    EXPECT_TRUE(other.Attach(f.memory.size()));
    EXPECT_EQ(other.Capacity(), 16u);
    EXPECT_FALSE(other.Attach(f.memory.size() - 1));
    f.ring.Header().Capacity = 12; // not a power of two
    EXPECT_FALSE(other.Attach(f.memory.size()));
    f.ring.Header().Capacity = 16;
    f.ring.Header().Magic = 0;
    EXPECT_FALSE(other.Attach(f.memory.size()));
    // A reader that never attached writes nothing.
    TLogRecord record = Message(1);
    EXPECT_FALSE(other.Write(record));
}

TEST(LogRing, ReaderKeepsItsCapacityWhenTheSharedHeaderChanges) {
    RingFixture f(4);
    f.ring.Header().WriteIndex.store(1000); // a writer that broke the layout
    std::vector<TLogRecord> out;
    EXPECT_EQ(f.ring.Read(out), 4u);
}

TEST(LogNames, TableNamesAndPrivateRanges) {
    TCsvFile table(',', '#');
    // A range marker sharing a message's number names it only when nothing else does.
    table.LoadFromText("Name,Number,Result\nWM_SETTEXT,0x000C,x\nWM_SETTEXTALIAS,0x000C,x\nTB_X,0x0401,y\n"
                       "WM_MOUSEFIRST,0x0200,first mouse message; a range marker\nWM_MOUSEMOVE,0x0200,0\n"
                       "WM_PENFIRST,0x0380,first of the numbers; a range marker\n");
    TLogMessageNames names;
    names.Load(table);
    const struct {
        uint32_t Message;
        const char* Name;
    } cases[] = {{0x000C, "WM_SETTEXT"},   {0x000D, "0x000D"},     {0x0400, "WM_USER"},
                 {0x0401, "WM_USER+1"},    {0x8002, "WM_APP+2"},   {0xC0DE, "0xC0DE"},
                 {0x0200, "WM_MOUSEMOVE"}, {0x0380, "WM_PENFIRST"}};
    for (const auto& c : cases)
        EXPECT_EQ(names.Name(c.Message), c.Name) << c.Message;
}

TEST(LogDetails, CommonMessagesDecoded) {
    TLogRecord pos = Message(0x0047);
    pos.Copied = lcWindowPos;
    int32_t values[] = {10, -20, 300, 200, 0x0001 | 0x0004 | 0x8000};
    std::memcpy(pos.Fields.Values, values, sizeof values);
    TLogRecord text = Message(0x000C);
    text.Copied = lcText;
    std::strcpy(text.Fields.Text, "Hello");
    TLogRecord style = Message(0x007D, 0xFFFFFFF0);
    style.Copied = lcStyle;
    style.Fields.Values[0] = 0x10000000;
    style.Fields.Values[1] = 0x10CF0000;
    const struct {
        TLogRecord Record;
        const char* Details;
    } cases[] = {
        {Message(0x0200, 0x0009, 0x00280014), "client x=20 y=40 buttons=L|Ctrl"},
        {Message(0x0200, 0, 0xFFFEFFFF), "client x=-1 y=-2 buttons=0"},
        {Message(0x020A, 0xFF880000, 0x00640032), "delta=-120 screen x=50 y=100 buttons=0"},
        {Message(0x0100, 'A', 0x001E0003), "key=A repeat=3 scan=0x1E"},
        {Message(0x0101, 0x0D, 0xC01C0001), "key=Enter repeat=1 scan=0x1C was-down up"},
        {Message(0x0102, 'x', 1), "char='x' repeat=1"},
        {Message(0x0005, 2, 0x01E00280), "MAXIMIZED 640x480"},
        {Message(0x0003, 0, 0x00C80064), "x=100 y=200"},
        {Message(0x0006, 2, 0x1234), "CLICKACTIVE other=0x00001234"},
        {Message(0x0018, 1, 0), "shown"},
        {Message(0x0018, 0, 1), "hidden PARENTCLOSING"},
        {pos, "x=10 y=-20 cx=300 cy=200 flags=NOSIZE|NOZORDER|0x8000"},
        {text, "\"Hello\""},
        {style, "old=0x10000000 new=0x10CF0000"},
        {Message(0x0401, 1, 2), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogDetails(c.Record), c.Details) << std::hex << c.Record.Message;
}

TEST(LogCells, EachColumnOfOneRecord) {
    TLogMessageNames names;
    names.Add("WM_SETTEXT", 0x000C);
    TLogRecord record = Message(0x000C, 0, 0x00ABCDEF, lkReturned);
    record.Sequence = 42;
    record.Time = 1000 + 12345; // 12.345 ms at a million counts a second
    record.Window = 0x10042;
    record.Result = 1;
    TLogTextContext context{&names, 1000, 1000000};
    const char* const expected[LogColumnCount] = {
        "42", "12.345", "R", "0x00010042", "WM_SETTEXT", "0x00000000", "0x00ABCDEF", "0x00000001", ""};
    for (int column = 0; column < LogColumnCount; ++column)
        EXPECT_EQ(LogCellText(record, column, context), expected[column]) << LogColumnCaptions[column];
    record.Kind = lkPosted;
    record.LParam = 0xFFFFFFFFFFFFFFFFull;
    EXPECT_EQ(LogCellText(record, lcolResult, context), "");
    EXPECT_EQ(LogCellText(record, lcolKind, context), "P");
    EXPECT_EQ(LogCellText(record, lcolLParam, context), "0xFFFFFFFFFFFFFFFF");
}

TEST(LogCsv, QuotesOnlyWhatNeedsIt) {
    std::string text = CsvRows({"#", "Details"}, {{"1", "x=1 y=2"}, {"2", "rect=(1,2)"}, {"3", "\"Hi\""}});
    EXPECT_EQ(text, "#,Details\r\n1,x=1 y=2\r\n2,\"rect=(1,2)\"\r\n3,\"\"\"Hi\"\"\"\r\n");
}

TEST(LogRowsFilter, IncludeAndExcludeApplyToRowsAlreadyRecorded) {
    TLogMessageNames names;
    names.Add("WM_MOUSEMOVE", 0x0200);
    names.Add("WM_SETTEXT", 0x000C);
    names.Add("WM_PAINT", 0x000F);
    TLogRows rows(names);
    rows.Append({Message(0x0200), Message(0x000C), Message(0x000F), Message(0x0401), Message(0x0200)});
    const struct {
        const char* Include;
        const char* Exclude;
        std::vector<uint32_t> Shown;
    } cases[] = {
        {"", "", {0x0200, 0x000C, 0x000F, 0x0401, 0x0200}}, {"mouse", "", {0x0200, 0x0200}},
        {"^WM_", "PAINT USER", {0x0200, 0x000C, 0x0200}},   {"TEXT  PAINT", "", {0x000C, 0x000F}},
        {"", "^WM_MOUSE", {0x000C, 0x000F, 0x0401}},        {"text$", "", {0x000C}},
    };
    for (const auto& c : cases) {
        rows.Filter.SetInclude(c.Include);
        rows.Filter.SetExclude(c.Exclude);
        rows.Refilter();
        std::vector<uint32_t> shown;
        for (size_t i = 0; i < rows.ShownCount(); ++i)
            shown.push_back(rows.Shown(i).Message);
        EXPECT_EQ(shown, c.Shown) << c.Include << " / " << c.Exclude;
        EXPECT_EQ(rows.RecordedCount(), 5u);
    }
    // New rows go through the filter in force; a bad pattern keeps the old one.
    rows.Filter.SetInclude("SETTEXT");
    rows.Refilter();
    EXPECT_THROW(rows.Filter.SetInclude("[abc"), std::runtime_error);
    rows.Append({Message(0x000C), Message(0x0200)});
    EXPECT_EQ(rows.ShownCount(), 2u);
    rows.Clear();
    EXPECT_EQ(rows.RecordedCount(), 0u);
    EXPECT_EQ(rows.ShownCount(), 0u);
}

// A million rows must cost what the memory goal allows, and keep every field the columns and details show.
TEST(LogRowsMemory, AtMost64BytesARowWithEveryShownFieldKept) {
    TLogMessageNames names;
    TLogRows rows(names);
    const uint32_t count = 200000;
    std::vector<TLogRecord> batch;
    auto made = [](uint32_t i) {
        TLogRecord r = Message(i % 50 == 0 ? 0x0047 : 0x0200 + i % 7, i * 3ull, ~static_cast<uint64_t>(i),
                               static_cast<uint8_t>(i % 3));
        r.Sequence = i + (1ull << 40);
        r.Time = static_cast<int64_t>(i) * 977 - 5;
        r.Window = 0xFFFF000000010000ull + i % 5;
        r.Result = r.Kind == lkReturned ? i * 11ull : 0;
        r.Thread = 99;
        if (r.Message == 0x0047) {
            r.Copied = lcWindowPos;
            for (int v = 0; v < 8; ++v)
                r.Fields.Values[v] = static_cast<int32_t>(i) * (v + 1) - 4;
        }
        return r;
    };
    for (uint32_t i = 0; i < count; ++i) {
        batch.push_back(made(i));
        if (batch.size() == 4096 || i + 1 == count) {
            rows.Append(batch);
            batch.clear();
        }
    }
    ASSERT_EQ(rows.RecordedCount(), count);
    EXPECT_LE(rows.Bytes(), 64ull * count) << static_cast<double>(rows.Bytes()) / count << " bytes a row";
    for (uint32_t i = 0; i < count; i += 7) {
        TLogRecord expected = made(i), kept = rows.Shown(i);
        ASSERT_EQ(kept.Sequence, expected.Sequence) << i;
        ASSERT_EQ(kept.Time, expected.Time) << i;
        ASSERT_EQ(kept.Window, expected.Window) << i;
        ASSERT_EQ(kept.WParam, expected.WParam) << i;
        ASSERT_EQ(kept.LParam, expected.LParam) << i;
        ASSERT_EQ(kept.Result, expected.Result) << i;
        ASSERT_EQ(kept.Message, expected.Message) << i;
        ASSERT_EQ(kept.Kind, expected.Kind) << i;
        ASSERT_EQ(kept.Copied, expected.Copied) << i;
        ASSERT_EQ(LogDetails(kept), LogDetails(expected)) << i;
    }
    // A filter that shows a few rows finds their copied fields too.
    rows.Filter.SetInclude("^0x0047$");
    rows.Refilter();
    ASSERT_EQ(rows.ShownCount(), count / 50);
    EXPECT_EQ(LogDetails(rows.Shown(3)), LogDetails(made(150)));
    rows.Clear();
    // Only the filter's verdicts, one byte for each message number, outlive a clear.
    EXPECT_LE(rows.Bytes(), 0x10000u + 64) << "Clear gives the rows' memory back";
}

} // namespace
