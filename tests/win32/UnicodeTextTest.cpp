// Window texts beyond any 8-bit code page, on the target's Unicode windows: the lists and the status bar
// show them, the clipboard gets them as Unicode, and "Set Window Text..." confirmed unchanged keeps them.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "Watchdog.h"
#include "config/EasyConfig.h"
#include "tabs/TabEnum.h"
#include "tabs/TabWindows.h"
#include "tabs/WndFuncs.h"
#include "tests/target/TargetUnicode.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Utf8Of(const std::wstring& wide) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], bytes, nullptr,
                        nullptr);
    return text;
}

std::wstring TitleOf(HWND window) {
    std::vector<wchar_t> text(512, L'\0');
    int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return std::wstring(text.data(), static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring UnicodeClipboard() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

TNvMenuItem& CommandOfRow(TPaneprobeForm& form, int row) {
    for (auto& item : form.CommandsMenu->Items)
        if (item->Tag == row) return *item;
    throw std::runtime_error("no such command");
}

class UnicodeText : public FormTest {
  protected:
    TTargetProcess target{"unicode unicode"};
    HWND top = nullptr;
    struct Titled {
        HWND Window;
        std::wstring Title;
    };
    std::vector<Titled> windows;

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        top = FindWindowW(UnicodeClass, UnicodeTopTitle);
        ASSERT_NE(top, nullptr);
        windows = {{top, UnicodeTopTitle},
                   {GetDlgItem(top, UnicodeCjkId), UnicodeCjkTitle},
                   {GetDlgItem(top, UnicodeEmojiId), UnicodeEmojiTitle}};
    }
};

TEST_F(UnicodeText, TrackedAndEnumListsShowTheTitles) {
    TWatchdog dog(20000,
                  [this] { TerminateProcess(OpenProcess(PROCESS_TERMINATE, FALSE, target.ProcessId()), 1); });
    TEnumTab& enumTab = Tab<TEnumTab>();
    for (const Titled& w : windows) {
        const std::string expected = Utf8Of(w.Title);
        TrackWindow(w.Window, false, true);
        PumpMessages(50);
        EXPECT_EQ(TrackedList->Current()->Caption, expected);
        EXPECT_EQ(Tab<TWindowsTab>().ListView->CellText(0, 2), expected);
    }
    TrackWindow(top, false, true);
    enumTab.SetMode(emCurrentChildren);
    enumTab.SetFindText("");
    enumTab.Enumerate();
    std::vector<std::string> captions;
    for (int row = 0; row < enumTab.ListView->RowCount(); ++row)
        captions.push_back(enumTab.ListView->CellText(row, 2));
    EXPECT_EQ(captions.size(), 2u);
    for (size_t i = 1; i < windows.size(); ++i)
        EXPECT_NE(std::find(captions.begin(), captions.end(), Utf8Of(windows[i].Title)), captions.end()) << i;
    // The filter ignores case beyond ASCII too: lower-case Cyrillic finds the capitalised title.
    enumTab.SetMode(emTopLevel);
    enumTab.SetFindText(Utf8Of(L"\u043f\u0420\u0418\u0432\u0435\u0442 \u4f60"));
    enumTab.Enumerate();
    bool listed = false;
    for (int row = 0; row < enumTab.ListView->RowCount(); ++row)
        listed = listed || enumTab.ListView->CellText(row, 2) == Utf8Of(UnicodeTopTitle);
    EXPECT_TRUE(listed);
    EXPECT_FALSE(dog.Fired());
}

TEST_F(UnicodeText, CopiesReachTheClipboardAsUnicode) {
    TrackWindow(windows[2].Window, false, true);
    TNvActionListView& list = *Tab<TWindowsTab>().ListView;
    list.SelectRow(0);
    TNvPopupMenu& popup = *list.PopupMenu;
    ASSERT_TRUE(popup.RunCommand(popup.FindMenuItem(cmdCopyCaption)->CommandId));
    EXPECT_EQ(UnicodeClipboard(), UnicodeEmojiTitle);
    SetFocus(list.Handle());
    PressKey(list.Handle(), 'C', ssCtrl);
    EXPECT_NE(UnicodeClipboard().find(UnicodeEmojiTitle), std::wstring::npos) << "Ctrl+C on the rows";
}

TEST_F(UnicodeText, SetWindowTextConfirmedUnchangedKeepsTheTitle) {
    TWatchdog dog(30000,
                  [this] { TerminateProcess(OpenProcess(PROCESS_TERMINATE, FALSE, target.ProcessId()), 1); });
    for (const Titled& w : windows) {
        TrackWindow(w.Window, false, true);
        TDialogAnswerer answerer({{TrackedList->Current()->ClassName, TAnswer::Ok, ""}});
        ASSERT_TRUE(form->Menu->RunCommand(CommandOfRow(*form, WndSetText).CommandId));
        const std::vector<TSeenDialog>& seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].InitialText, Utf8Of(w.Title));
        SettleWindowCalls({w.Window});
        EXPECT_EQ(TitleOf(w.Window), w.Title);
    }
    EXPECT_FALSE(dog.Fired());
}

TEST(UnicodeSettings, LoadAndSaveInAFolderWithANonAsciiName) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"\u041f\u0430\u043d\u0435\u043b\u044c \u8a2d\u5b9a\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::string fileName = Utf8Of(folder) + "Paneprobe.ini";
    const std::string value = Utf8Of(UnicodeTopTitle);
    {
        TEasyConfigIni config(fileName);
        TConfigVarStr::Get(&config, "tabs.messages", "filter", "").SetValue(value);
        config.Save(true);
    }
    EXPECT_NE(GetFileAttributesW((folder + L"Paneprobe.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    {
        TEasyConfigIni config(fileName);
        TConfigVarStr& filter = TConfigVarStr::Get(&config, "tabs.messages", "filter", "");
        config.Load();
        EXPECT_EQ(filter.Value, value);
    }
    DeleteFileW((folder + L"Paneprobe.ini").c_str());
    RemoveDirectoryW(folder.c_str());
}

} // namespace
