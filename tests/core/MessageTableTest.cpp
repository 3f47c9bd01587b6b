// The message table delivered beside the program parses into well-formed rows.
#include "app/QrLib.h"
#include "messages/CsvFile.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

#ifndef PANEPROBE_SOURCE_DIR
#error "PANEPROBE_SOURCE_DIR must name the source tree"
#endif

namespace {

TEST(MessageTable, EveryRowIsANameANumberAndAResult) {
    TCsvFile table(',', '#');
    ASSERT_TRUE(table.LoadFromFile(std::string(PANEPROBE_SOURCE_DIR) + "/resources/WindowMessages.csv"));
    EXPECT_EQ(table.Header, (TStrArray{"Name", "Value", "Result"}));
    ASSERT_GE(table.RowCount(), 250);

    const std::regex name("(WM|LB|CB|EM|BM|STM|SBM|DM)_[A-Z0-9_]+");
    std::set<std::string> names;
    int windowMessages = 0;
    for (int row = 0; row < table.RowCount(); ++row) {
        const TStrArray& fields = table.Rows[static_cast<size_t>(row)];
        ASSERT_EQ(fields.size(), 3u) << "row " << row << ": " << table.GetCell(row, 0);
        EXPECT_TRUE(std::regex_match(fields[0], name)) << fields[0];
        EXPECT_TRUE(names.insert(fields[0]).second) << "duplicate " << fields[0];
        int32_t value = -1;
        EXPECT_TRUE(TryIntFromText(fields[1], value)) << fields[0];
        EXPECT_EQ(fields[1], FormatText("0x%.4x", value)) << fields[0];
        EXPECT_GE(value, 0) << fields[0];
        EXPECT_LE(value, 0xFFFF) << fields[0];
        EXPECT_FALSE(fields[2].empty()) << fields[0];
        if (fields[0].compare(0, 3, "WM_") == 0) ++windowMessages;
    }
    EXPECT_GE(windowMessages, 250);
    for (const char* required : {"WM_NULL", "WM_SETTEXT", "WM_GETTEXT", "WM_CLOSE", "WM_USER", "WM_APP",
                                 "LB_ADDSTRING", "CB_GETCURSEL", "EM_GETSEL", "BM_CLICK"})
        EXPECT_EQ(names.count(required), 1u) << required;
}

} // namespace
