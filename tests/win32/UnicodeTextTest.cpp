// Window texts beyond any 8-bit code page, on the target's Unicode windows: the lists and the status bar
// show them, the clipboard gets them as Unicode, and "Set Window Text..." confirmed unchanged keeps them.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "Watchdog.h"
#include "WholeFile.h"
#include "WorkerWait.h"
#include "config/EasyConfig.h"
#include "processes/TabProcesses.h"
#include "tabs/TabBranch.h"
#include "tabs/TabProperties.h"
#include "tabs/TabEnum.h"
#include "tabs/TabWindows.h"
#include "tabs/WndFuncs.h"
#include "tests/target/TargetUnicode.h"

#include <algorithm>
#include <utility>
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
    ASSERT_TRUE(WaitForWorker([&enumTab] { return enumTab.Gathering(); }));
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
    ASSERT_TRUE(WaitForWorker([&enumTab] { return enumTab.Gathering(); }));
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

TEST_F(UnicodeText, BranchShowsTheClassNames) {
    TrackWindow(top, false, true);
    TBranchTab& branch = Tab<TBranchTab>();
    branch.SetStartMode(bsCurrent);
    ASSERT_TRUE(RebuildAndWait(branch));
    TNvActionTreeView& tree = *branch.Tree;
    const HTREEITEM root = TreeView_GetRoot(tree.Handle());
    EXPECT_EQ(tree.NodeText(root), "PaneprobeTargetUnicode");
    std::vector<std::string> children;
    for (HTREEITEM node = TreeView_GetChild(tree.Handle(), root); node;
         node = TreeView_GetNextSibling(tree.Handle(), node))
        children.push_back(tree.NodeText(node));
    EXPECT_EQ(children, (std::vector<std::string>{"PaneprobeTargetUnicode", Utf8Of(UnicodeChildClass)}));
}

// The columns that hold pixels of a colour in a bitmap's strip: their first and last, or -1.
std::pair<int, int> ColouredSpan(HDC dc, int width, int height, COLORREF colour) {
    std::pair<int, int> span(-1, -1);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            if (GetPixel(dc, x, y) == colour) {
                if (span.first < 0) span.first = x;
                span.second = x;
            }
    return span;
}

// The width a text takes drawn as the bar draws: in its font (its own, or the stock one it falls back to).
int DrawnWidth(HWND bar, HDC like, const std::wstring& text) {
    const int width = 1000, height = 40;
    TMemoryDc dc(like);
    TBitmap bitmap(CreateCompatibleBitmap(like, width, height));
    TSelectGuard select(dc.Get(), bitmap.Get());
    HFONT barFont = reinterpret_cast<HFONT>(SendMessageA(bar, WM_GETFONT, 0, 0));
    TSelectGuard font(dc.Get(), barFont ? static_cast<HGDIOBJ>(barFont) : GetStockObject(DEFAULT_GUI_FONT));
    RECT all = {0, 0, width, height};
    FillRect(dc.Get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), PanelCaption);
    DrawTextW(dc.Get(), text.c_str(), -1, &all, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    const std::pair<int, int> span = ColouredSpan(dc.Get(), width, height, PanelCaption);
    return span.first < 0 ? 0 : span.second - span.first + 1;
}

// Panel 0 draws the caption itself, right-aligned in its own colour: the drawn width is that of the title,
// not of the question marks that an 8-bit page without these letters would make of it.
TEST_F(UnicodeText, TheStatusBarDrawsTheTitle) {
    TrackWindow(top, false, true);
    PumpMessages(50);
    HWND bar = form->StatusBar->Handle();
    RECT client = {};
    GetClientRect(bar, &client);
    TWindowDc screen(bar);
    TMemoryDc memory(screen.Get());
    TBitmap bitmap(CreateCompatibleBitmap(screen.Get(), client.right, client.bottom));
    TSelectGuard select(memory.Get(), bitmap.Get());
    SendMessageA(bar, WM_PAINT, reinterpret_cast<WPARAM>(memory.Get()), 0);
    const std::pair<int, int> drawn =
        ColouredSpan(memory.Get(), form->StatusBar->PanelWidth(0), client.bottom, PanelCaption);
    ASSERT_GE(drawn.first, 0) << "no caption drawn";

    const int wanted = DrawnWidth(bar, screen.Get(), UnicodeTopTitle);
    const int wrong = DrawnWidth(bar, screen.Get(), L"?????? ?? \u00e9t\u00e9");
    ASSERT_NE(wanted, wrong) << "the two texts must differ in width for the check to tell";
    EXPECT_EQ(drawn.second - drawn.first + 1, wanted);
}

// A copy of the target program in a folder with a non-ASCII name, removed again at the end.
class TForeignFolder {
  public:
    explicit TForeignFolder(const std::vector<std::wstring>& files) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"\u041f\u0440\u043e\u0433\u0440 \u7a0b\u5e8f\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring from = WideOf(TestProgramFolder());
        for (const std::wstring& file : files)
            if (CopyFileW((from + file).c_str(), (folder + file).c_str(), FALSE)) copied.push_back(file);
    }
    ~TForeignFolder() {
        for (const std::wstring& file : copied)
            DeleteFileW((folder + file).c_str());
        RemoveDirectoryW(folder.c_str());
    }
    TForeignFolder(const TForeignFolder&) = delete;
    TForeignFolder& operator=(const TForeignFolder&) = delete;
    std::string Utf8() const { return Utf8Of(folder); }
    const std::wstring& Wide() const { return folder; }
    size_t Copied() const { return copied.size(); }
    // A file made there by the test, removed with the others.
    void Adopt(const std::wstring& file) { copied.push_back(file); }

  private:
    static std::wstring WideOf(const std::string& utf8) {
        std::wstring wide(utf8.size(), L'\0');
        const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                               &wide[0], static_cast<int>(wide.size()));
        wide.resize(static_cast<size_t>(length > 0 ? length : 0));
        return wide;
    }
    std::wstring folder;
    std::vector<std::wstring> copied;
};

class UnicodeFolder : public FormTest {};

TEST_F(UnicodeFolder, ProcessesAndPropertiesShowAProgramPathWithANonAsciiFolder) {
    TForeignFolder folder({L"PaneprobeTarget.exe"});
    ASSERT_EQ(folder.Copied(), 1u);
    TTargetProcess target("abroad", false, folder.Utf8());
    ASSERT_NE(target.MainWindow(), nullptr);
    const std::string path = folder.Utf8() + "PaneprobeTarget.exe";

    TrackWindow(target.MainWindow(), false, true);
    TPropertiesTab& properties = Tab<TPropertiesTab>();
    form->PageIndex->SetValue(properties.Sheet->PageIndex());
    PumpMessages(20);
    std::string moduleName;
    for (int row = 0; row < properties.ListView->RowCount(); ++row)
        if (properties.ListView->CellText(row, 0) == "Module Name")
            moduleName = properties.ListView->CellText(row, 1);
    EXPECT_EQ(moduleName, path);

    TProcessesTab& processes = Tab<TProcessesTab>();
    form->PageIndex->SetValue(processes.Sheet->PageIndex());
    PumpMessages(20);
    int row = -1;
    for (size_t i = 0; i < processes.Rows().size(); ++i)
        if (processes.Rows()[i].ProcessId == target.ProcessId()) row = static_cast<int>(i);
    ASSERT_GE(row, 0);
    EXPECT_EQ(processes.ListView->CellText(row, 0), "PaneprobeTarget.exe");
    EXPECT_EQ(processes.ListView->CellText(row, 9), path);
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

namespace {

HWND MainWindowOfProcess(DWORD processId) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, nullptr); window;
             window = FindWindowExA(nullptr, window, nullptr, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && IsWindowVisible(window) && GetMenu(window)) return window;
        }
        Sleep(25);
    }
    return nullptr;
}

} // namespace

// The program itself started from such a folder finds its settings beside it, and saves them there.
TEST(UnicodeSettings, TheProgramInSuchAFolderLoadsAndSavesThemBesideItself) {
    TForeignFolder folder({L"Paneprobe.exe", L"WindowMessages.csv"});
    ASSERT_EQ(folder.Copied(), 2u);
    folder.Adopt(L"Paneprobe.ini");
    const std::wstring ini = folder.Wide() + L"Paneprobe.ini";
    {
        HANDLE file = CreateFileW(ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::string text = "[window]\r\nleft=37\r\ntop=41\r\n";
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::wstring commandLine = L"\"" + folder.Wide() + L"Paneprobe.exe\"";
    ASSERT_TRUE(CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info));
    CloseHandle(info.hThread);
    TWatchdog dog(20000, [&info] { TerminateProcess(info.hProcess, 1); });
    const HWND main = MainWindowOfProcess(info.dwProcessId);
    ASSERT_NE(main, nullptr);
    RECT bounds = {};
    GetWindowRect(main, &bounds);
    EXPECT_EQ(bounds.left, 37) << "loaded";
    EXPECT_EQ(bounds.top, 41);
    // As at the end of a move by the user: the new place is a modified setting, saved on closing.
    SetWindowPos(main, nullptr, 53, 59, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(main, WM_EXITSIZEMOVE, 0, 0, SMTO_NORMAL, 5000, &unused);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 15000), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);
    EXPECT_FALSE(dog.Fired());
    const std::string saved = WholeFile(ini);
    EXPECT_NE(saved.find("left=53"), std::string::npos) << saved;
    EXPECT_NE(saved.find("top=59"), std::string::npos) << saved;
}
