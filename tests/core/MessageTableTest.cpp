// The message table delivered beside the program parses into well-formed rows.
#include "app/QrLib.h"
#include "messages/CsvFile.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#ifndef PANEPROBE_SOURCE_DIR
#error "PANEPROBE_SOURCE_DIR must name the source tree"
#endif

namespace {

TCsvFile LoadTable() {
    TCsvFile table(',', '#');
    EXPECT_TRUE(table.LoadFromFile(std::string(PANEPROBE_SOURCE_DIR) + "/resources/WindowMessages.csv"));
    return table;
}

TEST(MessageTable, EveryRowIsANameANumberAndAResult) {
    const TCsvFile table = LoadTable();
    EXPECT_EQ(table.Header, (TStrArray{"Name", "Value", "Result"}));
    ASSERT_GE(table.RowCount(), 1200);

    const std::regex name(
        "(WM|LB|CB|EM|BM|STM|SBM|DM|MN|CDM|CCM|LVM|TV|TVM|TCM|HDM|SB|TB|TTM|PBM|TBM|UDM|RB|DTM|"
        "MCM|CBEM|PGM|BCM|IPM|ACM|LM|HKM|PSM|ECM|CBM)_[A-Z0-9_]+");
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
        // The reader does not unescape quotes, so one inside a result would show up doubled or stray.
        EXPECT_EQ(fields[2].find('"'), std::string::npos) << fields[0];
        if (fields[0].compare(0, 3, "WM_") == 0) ++windowMessages;
    }
    EXPECT_GE(windowMessages, 250);
    for (const char* required : {"WM_NULL",
                                 "WM_SETTEXT",
                                 "WM_GETTEXT",
                                 "WM_CLOSE",
                                 "WM_USER",
                                 "WM_APP",
                                 "LB_ADDSTRING",
                                 "CB_GETCURSEL",
                                 "EM_GETSEL",
                                 "BM_CLICK",
                                 "LVM_GETITEMA",
                                 "LVM_GETITEMW",
                                 "TVM_INSERTITEMA",
                                 "TCM_SETCURSEL",
                                 "SB_SETTEXTA",
                                 "TB_ADDBUTTONSW",
                                 "EM_STREAMIN",
                                 "EM_SETCUEBANNER",
                                 "CB_SETMINVISIBLE",
                                 "WM_DDE_INITIATE",
                                 "WM_CHOOSEFONT_GETLOGFONT",
                                 "WM_PSD_PAGESETUPDLG",
                                 "PSM_SETCURSEL",
                                 "CCM_SETVERSION"})
        EXPECT_EQ(names.count(required), 1u) << required;
}

// The ANSI and Unicode forms of a message carry different numbers but return the same thing.
TEST(MessageTable, AnsiAndUnicodeFormsDifferInNumberOnly) {
    const TCsvFile table = LoadTable();
    std::map<std::string, int> rowOf;
    for (int row = 0; row < table.RowCount(); ++row)
        rowOf[table.GetCell(row, 0)] = row;

    int pairs = 0;
    for (const auto& [name, row] : rowOf) {
        if (name.back() != 'A') continue;
        const auto wide = rowOf.find(name.substr(0, name.size() - 1) + "W");
        if (wide == rowOf.end()) continue;
        ++pairs;
        EXPECT_NE(table.GetCell(row, 1), table.GetCell(wide->second, 1)) << name;
        EXPECT_EQ(table.GetCell(row, 2), table.GetCell(wide->second, 2)) << name;
    }
    EXPECT_GE(pairs, 60);
}

// Messages whose result is easy to mistake for the usual "0 if processed".
TEST(MessageTable, UnusualResultsAreDescribed) {
    const TCsvFile table = LoadTable();
    std::map<std::string, std::string> result;
    for (int row = 0; row < table.RowCount(); ++row)
        result[table.GetCell(row, 0)] = table.GetCell(row, 2);

    const struct {
        const char* Name;
        const char* Mentions;
    } cases[] = {
        {"WM_XBUTTONDOWN", "TRUE if processed"},
        {"WM_XBUTTONUP", "TRUE if processed"},
        {"WM_XBUTTONDBLCLK", "TRUE if processed"},
        {"WM_NCXBUTTONDOWN", "TRUE if processed"},
        {"WM_NCXBUTTONUP", "TRUE if processed"},
        {"WM_NCXBUTTONDBLCLK", "TRUE if processed"},
        {"WM_INPUTLANGCHANGEREQUEST", "refuse"},
        {"WM_POWER", "PWR_FAIL to refuse"},
        {"SBM_SETRANGE", "otherwise 0"},
        {"SBM_SETRANGEREDRAW", "otherwise 0"},
        {"WM_SETHOTKEY", "-1 for an invalid hot key"},
        {"LVM_INSERTITEMA", "-1 on failure"},
        {"TVM_INSERTITEMW", "NULL on failure"},
        {"EM_SETTEXTMODE", "0 if the text mode was set"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(result.count(c.Name), 1u) << c.Name;
        EXPECT_NE(result[c.Name].find(c.Mentions), std::string::npos) << c.Name << ": " << result[c.Name];
    }
}

} // namespace
