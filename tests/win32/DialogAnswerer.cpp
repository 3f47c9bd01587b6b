// Answers dialogs from a second thread, by caption, with the messages that a user's input produces.
#include "DialogAnswerer.h"

#include <vector>

namespace {

struct TFindContext {
    const std::string* Caption;
    HWND Found;
};

// A shown dialog or message box of this process.
bool IsOwnDialog(HWND hWnd) {
    DWORD processId = 0;
    GetWindowThreadProcessId(hWnd, &processId);
    if (processId != GetCurrentProcessId() || !IsWindowVisible(hWnd)) return false;
    char className[64] = {};
    GetClassNameA(hWnd, className, sizeof className);
    return std::string(className) == "#32770";
}

BOOL CALLBACK FindDialogProc(HWND hWnd, LPARAM lParam) {
    auto* context = reinterpret_cast<TFindContext*>(lParam);
    if (!IsOwnDialog(hWnd)) return TRUE;
    char text[512] = {};
    GetWindowTextA(hWnd, text, sizeof text);
    if (*context->Caption != text) return TRUE;
    context->Found = hWnd;
    return FALSE;
}

std::string TextOf(HWND hWnd) {
    if (!hWnd) return std::string();
    int length = static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(hWnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

BOOL CALLBACK CancelDialogProc(HWND hWnd, LPARAM cancelled) {
    if (IsOwnDialog(hWnd)) {
        PostMessageA(hWnd, WM_COMMAND, IDCANCEL, 0);
        ++*reinterpret_cast<int*>(cancelled);
    }
    return TRUE;
}

} // namespace

int CancelOwnDialogs() {
    int cancelled = 0;
    EnumWindows(CancelDialogProc, reinterpret_cast<LPARAM>(&cancelled));
    return cancelled;
}

HWND FindOwnDialog(const std::string& caption) {
    TFindContext context = {&caption, nullptr};
    EnumWindows(FindDialogProc, reinterpret_cast<LPARAM>(&context));
    return context.Found;
}

TDialogAnswerer::TDialogAnswerer(std::vector<TExpectedDialog> expectedDialogs, DWORD timeout)
    : expected(std::move(expectedDialogs)), timeoutMs(timeout), worker([this] {
          Run();
          done = true;
      }) {}

TDialogAnswerer::~TDialogAnswerer() {
    Finish();
}

const std::vector<TSeenDialog>& TDialogAnswerer::Seen() {
    Finish();
    return seen;
}

// The answering thread reads texts of this thread's windows, which sends messages to this thread: keep
// handling sent messages while waiting for it, or both threads wait for each other.
void TDialogAnswerer::Finish() {
    if (!worker.joinable()) return;
    while (!done) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    worker.join();
}

void TDialogAnswerer::Run() {
    for (const TExpectedDialog& dialog : expected) {
        HWND hDlg = nullptr;
        for (DWORD waited = 0; waited < timeoutMs && !hDlg; waited += 20) {
            hDlg = FindOwnDialog(dialog.Caption);
            if (!hDlg) Sleep(20);
        }
        if (!hDlg) {
            CancelOwnDialogs();
            return;
        }
        Sleep(30); // let the dialog finish its initialisation

        TSeenDialog view;
        view.Caption = dialog.Caption;
        HWND hEdit = GetDlgItem(hDlg, 11);
        HWND hPrompt = GetDlgItem(hDlg, 10);
        // A message box keeps its text in the static control 0xFFFF.
        view.Prompt = TextOf(hPrompt ? hPrompt : GetDlgItem(hDlg, 0xFFFF));
        if (hEdit) {
            view.InitialText = TextOf(hEdit);
            DWORD start = 0, end = 0;
            SendMessageA(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            view.EditLimit = static_cast<UINT_PTR>(SendMessageA(hEdit, EM_GETLIMITTEXT, 0, 0));
            view.EditFont = reinterpret_cast<HFONT>(SendMessageA(hEdit, WM_GETFONT, 0, 0));
            GetObjectA(view.EditFont, sizeof view.EditFontInfo, &view.EditFontInfo);
            if (end > start && end <= view.InitialText.size())
                view.Selection = view.InitialText.substr(start, end - start);
        }
        HWND hOwner = GetWindow(hDlg, GW_OWNER);
        view.OwnerDisabled = hOwner && !IsWindowEnabled(hOwner);
        if (dialog.Before) dialog.Before();

        switch (dialog.Answer) {
        case TAnswer::TypeAndOk:
            SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dialog.Text.c_str()));
            PostMessageA(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
            break;
        case TAnswer::TypeAndEnter:
            SendMessageA(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(dialog.Text.c_str()));
            PostMessageA(hEdit, WM_KEYDOWN, VK_RETURN, 0);
            break;
        case TAnswer::Escape:
            PostMessageA(hEdit ? hEdit : hDlg, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case TAnswer::CloseBox:
            PostMessageA(hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case TAnswer::Yes:
            PostMessageA(GetDlgItem(hDlg, IDYES), BM_CLICK, 0, 0);
            break;
        case TAnswer::No:
            PostMessageA(GetDlgItem(hDlg, IDNO), BM_CLICK, 0, 0);
            break;
        case TAnswer::Ok:
            PostMessageA(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
            break;
        }
        // The next expected dialog may share this caption: wait until this one is gone. Only a dialog that
        // took its answer counts as seen.
        for (DWORD waited = 0; waited < timeoutMs && IsWindow(hDlg); waited += 10)
            Sleep(10);
        if (IsWindow(hDlg)) {
            CancelOwnDialogs();
            return;
        }
        seen.push_back(view);
    }
}
