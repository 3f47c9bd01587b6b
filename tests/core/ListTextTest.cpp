// Rows as tab-separated clipboard text.
#include "ui/ListText.h"

#include <gtest/gtest.h>

namespace {

TEST(ListText, HeaderThenOneLinePerRow) {
    const struct {
        std::vector<std::string> Captions;
        std::vector<std::vector<std::string>> Rows;
        const char* Expected;
    } cases[] = {
        {{"Class", "Handle"}, {}, "Class\tHandle\r\n"},
        {{"Class", "Handle"},
         {{"Button", "0x00010042"}, {"Edit", ""}},
         "Class\tHandle\r\nButton\t0x00010042\r\nEdit\t\r\n"},
        {{"A"}, {{"one\ttwo"}, {"line\r\nbreak"}}, "A\r\none two\r\nline  break\r\n"},
        {{"Name", "Value", "Type"}, {{"", "", ""}}, "Name\tValue\tType\r\n\t\t\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TabSeparatedRows(c.Captions, c.Rows), c.Expected);
}

} // namespace
