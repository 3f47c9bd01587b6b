// The CSV reader: lines, comments, header and rows, fields with quotes, cells and file loading.
#include "messages/CsvFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

TEST(CsvLine, FieldsQuotesAndSeparators) {
    const struct {
        const char* Line;
        TStrArray Fields;
    } cases[] = {
        {"WM_SETTEXT,0x000C,\"TRUE if set, else FALSE\"",
         {"WM_SETTEXT", "0x000C", "TRUE if set, else FALSE"}},
        {"a,,b", {"a", "", "b"}},
        {"a,b,", {"a", "b"}},
        {"a", {"a"}},
        {",", {""}},
        {",,", {"", ""}},
        {",a", {"", "a"}},
        {"  a  ,  b  ", {"a", "b"}},
        {"\"abc", {"\"abc"}},
        {"\"abc,def", {"\"abc,def"}},
        {"\"a\"\"b\"", {"a\"\"b"}},
        {"\"", {""}},
        {"\"\"", {""}},
        {"x\"1,2\"y,z", {"x\"1,2\"y", "z"}},
        {"\"a\",\"b\"", {"a", "b"}},
        {"  \" padded \"  ", {" padded "}},
        {"a\tb", {"a\tb"}},
        {"x#y", {"x#y"}},
    };
    const TCsvFile csv(',', '#');
    for (const auto& c : cases)
        EXPECT_EQ(csv.ParseLine(c.Line), c.Fields) << c.Line;
}

TEST(CsvLine, SeparatorIsTheCallersChoice) {
    const TCsvFile csv(';', '/');
    EXPECT_EQ(csv.ParseLine("a,b;c"), (TStrArray{"a,b", "c"}));
    EXPECT_EQ(csv.ParseLine("\"a;b\";c;"), (TStrArray{"a;b", "c"}));
}

TEST(CsvText, HeaderThenRowsSkippingBlankAndCommentLines) {
    const struct {
        const char* Text;
        TStrArray Header;
        std::vector<TStrArray> Rows;
    } cases[] = {
        {"# only comments\n\n   \n  # indented comment\r\n", {}, {}},
        {"", {}, {}},
        {"Name,Value\nWM_NULL,0\nWM_CREATE,1\n", {"Name", "Value"}, {{"WM_NULL", "0"}, {"WM_CREATE", "1"}}},
        {"WM_NULL,0\nWM_CREATE,1", {"WM_NULL", "0"}, {{"WM_CREATE", "1"}}},
        {"h\r\na,1\r\nb,2\r\n", {"h"}, {{"a", "1"}, {"b", "2"}}},
        {"h\ra,1\rb,2\r", {"h"}, {{"a", "1"}, {"b", "2"}}},
        {"h\n\ra,1\n\rb,2", {"h"}, {{"a", "1"}, {"b", "2"}}},
        {"h\nx#y\n#z\n  ,\n", {"h"}, {{"x#y"}, {""}}},
        {"h\na,1,extra,more\nb\n", {"h"}, {{"a", "1", "extra", "more"}, {"b"}}},
        {"h\na,\"1\n2\"", {"h"}, {{"a", "\"1"}, {"2\""}}},
    };
    for (const auto& c : cases) {
        TCsvFile csv(',', '#');
        csv.LoadFromText(c.Text);
        EXPECT_EQ(csv.Header, c.Header) << c.Text;
        EXPECT_EQ(csv.Rows, c.Rows) << c.Text;
        EXPECT_EQ(csv.RowCount(), static_cast<int>(c.Rows.size())) << c.Text;
    }
}

TEST(CsvText, AZeroByteEndsTheText) {
    TCsvFile csv(',', '#');
    csv.LoadFromText(std::string("h\na,1\nb,2\0c,3\n", 14));
    EXPECT_EQ(csv.Rows, (std::vector<TStrArray>{{"a", "1"}, {"b", "2"}}));
}

TEST(CsvText, LoadingReplacesTheTable) {
    TCsvFile csv(',', '#');
    csv.LoadFromText("h\na\nb\n");
    csv.LoadFromText("k\nc\n");
    EXPECT_EQ(csv.Header, TStrArray{"k"});
    EXPECT_EQ(csv.Rows, std::vector<TStrArray>{{"c"}});
    csv.Clear();
    EXPECT_TRUE(csv.Header.empty());
    EXPECT_EQ(csv.RowCount(), 0);
}

TEST(CsvCells, OutOfRangeReadsEmpty) {
    TCsvFile csv(',', '#');
    csv.LoadFromText("h\na,1,x\nb\n");
    const struct {
        int Row, Column;
        const char* Expected;
    } cases[] = {
        {0, 0, "a"},
        {0, 2, "x"},
        {1, 0, "b"},
        {1, 1, ""},
        {0, 3, ""},
        {2, 0, ""},
        {-1, 0, ""},
        {0, -1, ""},
        {INT32_MAX, 0, ""},
        {0, INT32_MAX, ""},
        {INT32_MIN, INT32_MIN, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(csv.GetCell(c.Row, c.Column), c.Expected) << c.Row << "," << c.Column;
}

class CsvFileLoading : public ::testing::Test {
  protected:
    std::filesystem::path Folder;
    void SetUp() override {
        Folder = std::filesystem::temp_directory_path() /
                 ("paneprobe-csv-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(Folder);
    }
    void TearDown() override { std::filesystem::remove_all(Folder); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::filesystem::path path = Folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
};

TEST_F(CsvFileLoading, ReadsAFileAndLeavesTheTableAloneOnFailure) {
    TCsvFile csv(',', '#');
    ASSERT_TRUE(csv.LoadFromFile(Write("table.csv", "# messages\nName,Value,Result\nWM_NULL,0x0000,zero\n")));
    EXPECT_EQ(csv.Header, (TStrArray{"Name", "Value", "Result"}));
    ASSERT_EQ(csv.RowCount(), 1);
    EXPECT_EQ(csv.GetCell(0, 2), "zero");

    const std::string failing[] = {(Folder / "missing.csv").string(), Write("empty.csv", ""), Folder.string(),
                                   ""};
    for (const std::string& name : failing) {
        EXPECT_FALSE(csv.LoadFromFile(name)) << name;
        EXPECT_EQ(csv.RowCount(), 1) << name;
        EXPECT_EQ(csv.GetCell(0, 0), "WM_NULL") << name;
    }
}

TEST_F(CsvFileLoading, AFileOfBlankLinesIsReadButGivesNoTable) {
    TCsvFile csv(',', '#');
    csv.LoadFromText("h\nold\n");
    EXPECT_TRUE(csv.LoadFromFile(Write("blank.csv", "\r\n\r\n# nothing\n")));
    EXPECT_TRUE(csv.Header.empty());
    EXPECT_EQ(csv.RowCount(), 0);
}

} // namespace
