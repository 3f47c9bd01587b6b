// The about box: a plain dialog procedure over template 2001.
#include "ui/QrAboutBox.h"

#include "app/WinApiEx.h"
#include "ui/QrDialogs.h"
#include "ui/WinHandles.h"

#include <shellapi.h>

#include <vector>

const char* const AboutReadmeFile = "readme.txt";
const char* const AboutChangelogFile = "changelog.txt";
const char* const AboutMailPrefix = "mailto://";

TShellOpen AboutShellOpen = ShellOpenDefault;
std::string AboutDocumentFolder;

void ShellOpenDefault(HWND owner, const std::string& target) {
    // A failure leaves nothing to do: the box stays as it is.
    ShellExecuteA(owner, nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string AboutDocumentsPath() {
    if (!AboutDocumentFolder.empty()) {
        char last = AboutDocumentFolder.back();
        return last == '\\' || last == '/' ? AboutDocumentFolder : AboutDocumentFolder + "\\";
    }
    char path[MAX_PATH] = {};
    std::string name(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return name.substr(0, name.find_last_of("\\/") + 1);
}

namespace {

struct TAboutBoxData {
    uint32_t Build;
    std::string Product;
    TFont NameFont;
};

bool IsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ControlText(HWND hDlg, int id) {
    HWND control = GetDlgItem(hDlg, id);
    std::vector<char> buffer(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
    int length = GetWindowTextA(control, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<size_t>(length > 0 ? length : 0));
}

void OnInitDialog(HWND hDlg, TAboutBoxData& data) {
    SetWindowTextA(hDlg, ("About " + data.Product).c_str());
    data.NameFont.Reset(CreateFontA(-19, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Verdana"));
    SendDlgItemMessageA(hDlg, AboutProductId, WM_SETFONT, reinterpret_cast<WPARAM>(data.NameFont.Get()),
                        FALSE);
    SetDlgItemTextA(hDlg, AboutProductId, data.Product.c_str());
    SetDlgItemTextA(hDlg, AboutCompiledId, ("Compiled on " + VersionText(data.Build, false)).c_str());
    RECT client = {};
    GetClientRect(hDlg, &client);
    SetWindowPos(GetDlgItem(hDlg, AboutBandId), nullptr, 0, client.bottom - AboutBandHeight, client.right,
                 AboutBandHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SetFocus(GetDlgItem(hDlg, AboutCloseId));
    if (!IsFile(AboutDocumentsPath() + AboutReadmeFile)) EnableWindow(GetDlgItem(hDlg, AboutReadmeId), FALSE);
}

HBRUSH OnCtlColorStatic(HDC dc, HWND control) {
    switch (GetDlgCtrlID(control)) {
    case AboutSeparatorId:
    case AboutBandId:
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return GetSysColorBrush(COLOR_BTNFACE);
    case AboutProductId:
    case AboutCreditId:
        SetTextColor(dc, AboutNameColor);
        break;
    case AboutMailId:
    case AboutWebId:
        SetTextColor(dc, AboutLinkColor);
        break;
    case AboutCompiledId:
        SetTextColor(dc, AboutDateColor);
        break;
    default:
        break;
    }
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_WINDOW);
}

void OpenDocument(HWND hDlg, bool readme) {
    AboutShellOpen(hDlg, AboutDocumentsPath() + (readme ? AboutReadmeFile : AboutChangelogFile));
}

void OnClick(HWND hDlg, int id) {
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (id) {
    case AboutCloseId:
        EndDialog(hDlg, 0);
        break;
    case AboutMailId:
        AboutShellOpen(hDlg, AboutMailPrefix + ControlText(hDlg, AboutMailId));
        break;
    case AboutWebId:
        AboutShellOpen(hDlg, ControlText(hDlg, AboutWebId));
        break;
    case AboutReadmeId:
        OpenDocument(hDlg, !shift);
        break;
    case AboutIconId:
        OpenDocument(hDlg, shift);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK AboutBoxProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (auto data = TakeInitDialogData<TAboutBoxData>(hDlg, lParam)) OnInitDialog(hDlg, *data);
        return FALSE; // the focus is already on "&Close"
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_COMMAND:
        // Buttons report BN_CLICKED, the notifying texts and the icon STN_CLICKED: both are 0.
        if (HIWORD(wParam) == BN_CLICKED) OnClick(hDlg, LOWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        // Control 10 is gone with the dialog, so its font can go too, however the dialog ended.
        if (auto data = reinterpret_cast<TAboutBoxData*>(GetWindowLongPtrA(hDlg, DWLP_USER)))
            data->NameFont.Reset();
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void AboutBox(HWND owner, uint32_t packedBuild, const std::string& productName, HINSTANCE moduleHandle) {
    TAboutBoxData data{packedBuild, productName, {}};
    HINSTANCE module = moduleHandle ? moduleHandle : GetModuleHandleA(nullptr);
    DialogBoxParamA(module, MAKEINTRESOURCEA(AboutBoxTemplate), owner, AboutBoxProc,
                    reinterpret_cast<LPARAM>(&data));
}
