// The about box from template 2001: its texts, font, colours and buttons, and what its clicks open, answered
// from a second thread; the shell is replaced by a recorder so that nothing is opened.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "app/WinApiEx.h"
#include "ui/QrAboutBox.h"

#include <functional>
#include <vector>

namespace {

std::vector<std::string> Opened;
void RecordOpen(HWND, const std::string& target) {
    Opened.push_back(target);
}

std::string TextOf(HWND window) {
    char text[256] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// What the box showed, read by the answering thread while it was open.
struct TAboutView {
    std::string Title;
    std::string Texts[5]; // controls 10 to 14
    LOGFONTA NameFont = {};
    HFONT NameFontHandle = nullptr;
    bool ReadmeEnabled = false;
    bool CloseFocused = false;
    COLORREF TextColours[5] = {};
    int BackModes[5] = {};
    COLORREF BandColour = 0;
    COLORREF DialogColour = 0;
    RECT Band = {};
    RECT Client = {};
};

RECT WindowRectIn(HWND parent, HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH info = {};
    GetObjectA(brush, sizeof info, &info);
    return info.lbColor;
}

void ReadView(HWND hDlg, DWORD uiThread, TAboutView& view) {
    view.Title = TextOf(hDlg);
    HDC dc = CreateCompatibleDC(nullptr);
    for (int i = 0; i < 5; ++i) {
        HWND control = GetDlgItem(hDlg, AboutProductId + i);
        view.Texts[i] = TextOf(control);
        SetTextColor(dc, RGB(1, 1, 1));
        SetBkMode(dc, OPAQUE);
        SendMessageA(hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(control));
        view.TextColours[i] = GetTextColor(dc);
        view.BackModes[i] = GetBkMode(dc);
    }
    view.BandColour = BrushColour(
        reinterpret_cast<HBRUSH>(SendMessageA(hDlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                              reinterpret_cast<LPARAM>(GetDlgItem(hDlg, AboutBandId)))));
    view.DialogColour = BrushColour(reinterpret_cast<HBRUSH>(
        SendMessageA(hDlg, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hDlg))));
    DeleteDC(dc);
    view.NameFontHandle =
        reinterpret_cast<HFONT>(SendDlgItemMessageA(hDlg, AboutProductId, WM_GETFONT, 0, 0));
    GetObjectA(view.NameFontHandle, sizeof view.NameFont, &view.NameFont);
    view.ReadmeEnabled = IsWindowEnabled(GetDlgItem(hDlg, AboutReadmeId)) != FALSE;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(uiThread, &info);
    view.CloseFocused = info.hwndFocus == GetDlgItem(hDlg, AboutCloseId);
    view.Band = WindowRectIn(hDlg, GetDlgItem(hDlg, AboutBandId));
    GetClientRect(hDlg, &view.Client);
}

// A click as the mouse gives it: notifying texts and the icon report it to the box themselves.
void ClickControl(HWND hDlg, int id) {
    HWND control = GetDlgItem(hDlg, id);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

class AboutBoxTest : public ::testing::Test {
  protected:
    std::string folder;

    void SetUp() override {
        Opened.clear();
        AboutShellOpen = RecordOpen;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "paneprobe-about\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        RemoveReadme();
        AboutDocumentFolder = folder;
        HoldKeys({});
    }
    void TearDown() override {
        HoldKeys({});
        RemoveReadme();
        RemoveDirectoryA(folder.c_str());
        AboutDocumentFolder.clear();
        AboutShellOpen = ShellOpenDefault;
    }
    void RemoveReadme() {
        DeleteFileA((folder + AboutReadmeFile).c_str());
        RemoveDirectoryA((folder + AboutReadmeFile).c_str());
    }
    void WriteReadme() {
        HANDLE file = CreateFileA((folder + AboutReadmeFile).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
    }
    // Opens the box, lets `inside` act on it from the answering thread, then closes it with Escape.
    TAboutView Run(const std::string& product, const std::function<void(HWND)>& inside = nullptr) {
        TAboutView view;
        DWORD uiThread = GetCurrentThreadId();
        std::string caption = "About " + product;
        TDialogAnswerer answerer({{caption, TAnswer::Escape, "", [&] {
                                       HWND hDlg = FindOwnDialog(caption);
                                       ReadView(hDlg, uiThread, view);
                                       if (inside) inside(hDlg);
                                   }}});
        AboutBox(nullptr, PaneprobeVersion, product, nullptr);
        EXPECT_EQ(answerer.Seen().size(), 1u) << "the box opened and closed";
        return view;
    }
};

TEST_F(AboutBoxTest, ShowsTheNameTheBuildDateAndTheMakersLines) {
    WriteReadme();
    TAboutView view = Run("Paneprobe");
    EXPECT_EQ(view.Title, "About Paneprobe");
    EXPECT_EQ(view.Texts[0], "Paneprobe");
    EXPECT_EQ(view.NameFont.lfHeight, -19);
    EXPECT_EQ(view.NameFont.lfWeight, FW_BOLD);
    EXPECT_STREQ(view.NameFont.lfFaceName, "Verdana");
    EXPECT_EQ(GetObjectType(view.NameFontHandle), 0u) << "the bold font goes with the box";

    SYSTEMTIME built = {};
    built.wYear = 2016;
    built.wMonth = 6;
    built.wDay = 28;
    built.wDayOfWeek = 2; // a Tuesday
    char date[128] = {};
    ASSERT_GT(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &built, nullptr, date, sizeof date), 0);
    EXPECT_EQ(view.Texts[4], std::string("Compiled on ") + date);

    EXPECT_NE(view.Texts[1].find('\n'), std::string::npos) << "the credit has two lines";
    EXPECT_NE(view.Texts[1].find("Paneprobe developers"), std::string::npos);
    EXPECT_EQ(view.Texts[2], "paneprobe@example.org");
    EXPECT_EQ(view.Texts[3], "https://example.org");
    EXPECT_TRUE(view.ReadmeEnabled);
    EXPECT_TRUE(view.CloseFocused);

    const COLORREF expected[5] = {AboutNameColor, AboutNameColor, AboutLinkColor, AboutLinkColor,
                                  AboutDateColor};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(view.TextColours[i], expected[i]) << "control " << AboutProductId + i;
        EXPECT_EQ(view.BackModes[i], TRANSPARENT) << "control " << AboutProductId + i;
    }
    EXPECT_EQ(view.DialogColour, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(view.BandColour, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(view.Band.left, 0);
    EXPECT_EQ(view.Band.right, view.Client.right);
    EXPECT_EQ(view.Band.bottom, view.Client.bottom);
    EXPECT_EQ(view.Band.bottom - view.Band.top, AboutBandHeight);
}

// Anyone may send the box WM_INITDIALOG again; it keeps its data and its one bold font.
TEST_F(AboutBoxTest, ALateInitDialogChangesNothing) {
    std::vector<char> zeroes(4096);
    HFONT before = nullptr, after = nullptr;
    TAboutView view = Run("Paneprobe", [&](HWND hDlg) {
        before = reinterpret_cast<HFONT>(SendDlgItemMessageA(hDlg, AboutProductId, WM_GETFONT, 0, 0));
        for (LPARAM data : {LPARAM(0), reinterpret_cast<LPARAM>(zeroes.data())})
            SendMessageA(hDlg, WM_INITDIALOG, 0, data);
        after = reinterpret_cast<HFONT>(SendDlgItemMessageA(hDlg, AboutProductId, WM_GETFONT, 0, 0));
    });
    EXPECT_EQ(view.Title, "About Paneprobe");
    EXPECT_EQ(after, before) << "no second font was made";
    EXPECT_EQ(GetObjectType(before), 0u) << "the one font went with the box";
}

TEST_F(AboutBoxTest, TheTitleFollowsTheProductName) {
    EXPECT_EQ(Run("Widget").Title, "About Widget");
}

TEST_F(AboutBoxTest, ReadmeIsEnabledOnlyWhenTheReadmeFileIsThere) {
    EXPECT_FALSE(Run("Paneprobe").ReadmeEnabled) << "no readme.txt";
    WriteReadme();
    EXPECT_TRUE(Run("Paneprobe").ReadmeEnabled);
    RemoveReadme();
    CreateDirectoryA((folder + AboutReadmeFile).c_str(), nullptr);
    EXPECT_FALSE(Run("Paneprobe").ReadmeEnabled) << "a folder named readme.txt is no read-me";
}

TEST_F(AboutBoxTest, ClicksOpenTheMailAndWebLinesAndTheDocuments) {
    WriteReadme();
    auto clickAll = [](HWND hDlg) {
        for (int id : {AboutMailId, AboutWebId, AboutIconId})
            ClickControl(hDlg, id);
        PostMessageA(GetDlgItem(hDlg, AboutReadmeId), BM_CLICK, 0, 0);
    };
    Run("Paneprobe", clickAll);
    const std::vector<std::string> plain = {"mailto://paneprobe@example.org", "https://example.org",
                                            folder + "changelog.txt", folder + "readme.txt"};
    EXPECT_EQ(Opened, plain);

    // Shift swaps the read-me and the change log.
    Opened.clear();
    HoldKeys({VK_SHIFT});
    Run("Paneprobe", clickAll);
    const std::vector<std::string> shifted = {"mailto://paneprobe@example.org", "https://example.org",
                                              folder + "readme.txt", folder + "changelog.txt"};
    EXPECT_EQ(Opened, shifted);
}

TEST_F(AboutBoxTest, WithoutAReadmeShiftClickOnTheIconStillAsksForIt) {
    HoldKeys({VK_SHIFT});
    Run("Paneprobe", [](HWND hDlg) { ClickControl(hDlg, AboutIconId); });
    EXPECT_EQ(Opened, std::vector<std::string>{folder + "readme.txt"});
}

class AboutFromTheMainWindow : public FormTest {};

TEST_F(AboutFromTheMainWindow, F1OpensTheBoxOwnedByTheMainWindow) {
    AboutShellOpen = RecordOpen;
    HWND owner = nullptr;
    TDialogAnswerer answerer({{"About Paneprobe", TAnswer::CloseBox, "",
                               [&] { owner = GetWindow(FindOwnDialog("About Paneprobe"), GW_OWNER); }}});
    PressKey(form->Handle(), VK_F1, ssNone);
    const std::vector<TSeenDialog>& seen = answerer.Seen();
    AboutShellOpen = ShellOpenDefault;
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Prompt, "Paneprobe") << "the product name";
    EXPECT_TRUE(seen[0].OwnerDisabled);
    EXPECT_EQ(owner, form->Handle());
}

} // namespace
