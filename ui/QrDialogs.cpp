// The input dialog: a plain dialog procedure over template 1001.
#include "ui/QrDialogs.h"

#include "ui/EditMargins.h"
#include "ui/WinHandles.h"

#include <algorithm>
#include <vector>

const char* const InputDialogDefaultCaption = "Please Enter a Value";

namespace {

struct TInputDialogData {
    std::string Caption;
    std::string Prompt;
    std::string Value;
    HWND PlaceOver = nullptr;
    TFont EditFont;
};

TInputDialogData* DataOf(HWND hDlg) {
    return reinterpret_cast<TInputDialogData*>(GetWindowLongPtrA(hDlg, DWLP_USER));
}

// Reading another window's rectangle sends it nothing, so a hung window cannot hold the dialog here.
void PlaceOverWindow(HWND hDlg, HWND window) {
    RECT target = {}, dialog = {};
    if (!window || !GetWindowRect(window, &target) || !GetWindowRect(hDlg, &dialog)) return;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    int width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
    int x = (target.left + target.right - width) / 2, y = (target.top + target.bottom - height) / 2;
    x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - width));
    y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - height));
    SetWindowPos(hDlg, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnInitDialog(HWND hDlg, TInputDialogData& data) {
    SetWindowTextA(hDlg, data.Caption.c_str());
    PlaceOverWindow(hDlg, data.PlaceOver);
    SetDlgItemTextA(hDlg, InputDialogPromptId, data.Prompt.c_str());
    HWND hEdit = GetDlgItem(hDlg, InputDialogEditId);
    SetWindowTextA(hEdit, data.Value.c_str());
    RefuseUndrawableMargins(hEdit);
    LOGFONTA font = {};
    font.lfHeight = -13; // a character height of 13 pixels, not a cell height
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, "Courier New", LF_FACESIZE);
    data.EditFont.Reset(CreateFontIndirectA(&font));
    if (data.EditFont) SendMessageA(hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(data.EditFont.Get()), FALSE);
    SendMessageA(hEdit, EM_LIMITTEXT, InputDialogMaxLength, 0);
    SendMessageA(hEdit, EM_SETSEL, 0, -1);
    SetFocus(hEdit);
}

std::string EditText(HWND hDlg) {
    HWND hEdit = GetDlgItem(hDlg, InputDialogEditId);
    int length = GetWindowTextLengthA(hEdit);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(hEdit, buffer.data(), length + 1);
    return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

INT_PTR CALLBACK InputDialogProc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (auto data = TakeInitDialogData<TInputDialogData>(hDlg, lParam)) OnInitDialog(hDlg, *data);
        return FALSE; // the focus is already on the edit
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (TInputDialogData* data = DataOf(hDlg)) data->Value = EditText(hDlg);
            EndDialog(hDlg, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        // The edit is gone with the dialog, so its font can go too.
        if (TInputDialogData* data = DataOf(hDlg)) data->EditFont.Reset();
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

bool InputDialog(HWND ownerWindow, const std::string& prompt, std::string& value, HINSTANCE moduleHandle,
                 const std::string& caption, HWND placeOver) {
    TInputDialogData data;
    data.PlaceOver = placeOver;
    data.Caption = caption.empty() ? InputDialogDefaultCaption : caption;
    data.Prompt = prompt;
    data.Value = value;
    HINSTANCE module = moduleHandle ? moduleHandle : GetModuleHandleA(nullptr);
    TFocusReturn focus;
    INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(InputDialogTemplate), ownerWindow,
                                     InputDialogProc, reinterpret_cast<LPARAM>(&data));
    if (result != IDOK) return false;
    value = data.Value;
    return true;
}
