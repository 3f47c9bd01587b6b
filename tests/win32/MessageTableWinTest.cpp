// The message table beside the executable: it names every message of the platform headers with the headers'
// own number, and loading it neither needs exclusive access nor keeps others from writing it.
#include <windows.h>

#include "HeaderMessages.h"
#include "app/QrLib.h"
#include "messages/CsvFile.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::string ExecutableFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

void LoadTable(TCsvFile& table) {
    ASSERT_TRUE(table.LoadFromFile(ExecutableFolder() + "WindowMessages.csv"));
    // A list cut short, or headers that hide most names, would let both comparisons pass on a short table.
    ASSERT_GE(HeaderMessageCount, 1200u);
}

TEST(MessageTableFile, EveryRowHasTheNumberOfItsHeaderName) {
    TCsvFile table(',', '#');
    ASSERT_NO_FATAL_FAILURE(LoadTable(table));
    std::map<std::string, uint32_t> header;
    for (size_t i = 0; i < HeaderMessageCount; ++i)
        header.emplace(HeaderMessages[i].Name, HeaderMessages[i].Value);

    std::vector<std::string> unknown;
    for (int row = 0; row < table.RowCount(); ++row) {
        const std::string name = table.GetCell(row, 0);
        const auto found = header.find(name);
        if (found == header.end()) {
            unknown.push_back(name);
            continue;
        }
        EXPECT_EQ(static_cast<uint32_t>(IntFromText(table.GetCell(row, 1), -1)), found->second) << name;
    }
    EXPECT_TRUE(unknown.empty()) << unknown.size()
                                 << " rows name no message of the headers: " << JoinNames(unknown);
}

TEST(MessageTableFile, EveryHeaderMessageHasARow) {
    TCsvFile table(',', '#');
    ASSERT_NO_FATAL_FAILURE(LoadTable(table));
    std::set<std::string> names;
    for (int row = 0; row < table.RowCount(); ++row)
        names.insert(table.GetCell(row, 0));

    std::vector<std::string> missing;
    for (size_t i = 0; i < HeaderMessageCount; ++i)
        if (names.count(HeaderMessages[i].Name) == 0) missing.push_back(HeaderMessages[i].Name);
    EXPECT_TRUE(missing.empty()) << missing.size() << " header messages have no row: " << JoinNames(missing);
}

TEST(MessageTableFile, LoadsWhileAnotherProgramHoldsItOpenForWriting) {
    char folder[MAX_PATH] = "";
    ASSERT_NE(GetTempPathA(MAX_PATH, folder), 0u);
    const std::string fileName = std::string(folder) + "paneprobe-shared-table.csv";
    HANDLE writer =
        CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    const char text[] = "Name,Value\nWM_CLOSE,0x0010\n";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, text, sizeof text - 1, &written, nullptr));

    TCsvFile table(',', '#');
    EXPECT_TRUE(table.LoadFromFile(fileName));
    EXPECT_EQ(table.GetCell(0, 1), "0x0010");
    // The writer can still append after the load.
    EXPECT_TRUE(WriteFile(writer, "WM_QUIT,0x0012\n", 15, &written, nullptr));
    CloseHandle(writer);
    EXPECT_TRUE(table.LoadFromFile(fileName));
    EXPECT_EQ(table.RowCount(), 2);

    // A program that refuses to share writing keeps us out, and the table stays as it was.
    HANDLE exclusive = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(table.LoadFromFile(fileName));
    EXPECT_EQ(table.RowCount(), 2);
    CloseHandle(exclusive);
    DeleteFileA(fileName.c_str());
}

} // namespace
