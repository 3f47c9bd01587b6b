// The message table beside the executable: its numbers agree with the platform's constants, and loading it
// neither needs exclusive access nor keeps others from writing it.
#include <windows.h>

#include "app/QrLib.h"
#include "messages/CsvFile.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::string ExecutableFolder() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

TEST(MessageTableFile, NumbersMatchThePlatformHeaders) {
    TCsvFile table(',', '#');
    ASSERT_TRUE(table.LoadFromFile(ExecutableFolder() + "WindowMessages.csv"));
    std::map<std::string, int32_t> numbers;
    for (int row = 0; row < table.RowCount(); ++row)
        numbers[table.GetCell(row, 0)] = IntFromText(table.GetCell(row, 1), -1);

    const struct {
        const char* Name;
        UINT Value;
    } expected[] = {
#define PANEPROBE_MESSAGE(name) {#name, name}
        PANEPROBE_MESSAGE(WM_NULL),
        PANEPROBE_MESSAGE(WM_CREATE),
        PANEPROBE_MESSAGE(WM_SETTEXT),
        PANEPROBE_MESSAGE(WM_GETTEXT),
        PANEPROBE_MESSAGE(WM_GETTEXTLENGTH),
        PANEPROBE_MESSAGE(WM_PAINT),
        PANEPROBE_MESSAGE(WM_CLOSE),
        PANEPROBE_MESSAGE(WM_SETTINGCHANGE),
        PANEPROBE_MESSAGE(WM_GETMINMAXINFO),
        PANEPROBE_MESSAGE(WM_NOTIFY),
        PANEPROBE_MESSAGE(WM_NCHITTEST),
        PANEPROBE_MESSAGE(WM_NCPAINT),
        PANEPROBE_MESSAGE(WM_KEYLAST),
        PANEPROBE_MESSAGE(WM_INITDIALOG),
        PANEPROBE_MESSAGE(WM_COMMAND),
        PANEPROBE_MESSAGE(WM_MENUSELECT),
        PANEPROBE_MESSAGE(WM_CTLCOLORSTATIC),
        PANEPROBE_MESSAGE(WM_MOUSEMOVE),
        PANEPROBE_MESSAGE(WM_MOUSEHWHEEL),
        PANEPROBE_MESSAGE(WM_MOUSELAST),
        PANEPROBE_MESSAGE(WM_MDIREFRESHMENU),
        PANEPROBE_MESSAGE(WM_TOUCH),
        PANEPROBE_MESSAGE(WM_IME_KEYUP),
        PANEPROBE_MESSAGE(WM_NCMOUSELEAVE),
        PANEPROBE_MESSAGE(WM_CLIPBOARDUPDATE),
        PANEPROBE_MESSAGE(WM_PENWINLAST),
        PANEPROBE_MESSAGE(WM_USER),
        PANEPROBE_MESSAGE(WM_APP),
        PANEPROBE_MESSAGE(LB_ADDSTRING),
        PANEPROBE_MESSAGE(LB_GETLISTBOXINFO),
        PANEPROBE_MESSAGE(CB_GETEDITSEL),
        PANEPROBE_MESSAGE(CB_GETCOMBOBOXINFO),
        PANEPROBE_MESSAGE(EM_GETSEL),
        PANEPROBE_MESSAGE(EM_SETLIMITTEXT),
        PANEPROBE_MESSAGE(EM_CHARFROMPOS),
        PANEPROBE_MESSAGE(BM_GETCHECK),
        PANEPROBE_MESSAGE(BM_SETDONTCLICK),
        PANEPROBE_MESSAGE(STM_GETIMAGE),
        PANEPROBE_MESSAGE(SBM_GETSCROLLBARINFO),
        PANEPROBE_MESSAGE(DM_REPOSITION),
#undef PANEPROBE_MESSAGE
    };
    for (const auto& message : expected) {
        ASSERT_EQ(numbers.count(message.Name), 1u) << message.Name;
        EXPECT_EQ(static_cast<UINT>(numbers[message.Name]), message.Value) << message.Name;
    }
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
