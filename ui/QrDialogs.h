// The input dialog: one line of text asked for in a modal dialog built from resource template 1001.
#pragma once

#include <windows.h>

#include <string>

const int InputDialogTemplate = 1001;
const int InputDialogPromptId = 10;
const int InputDialogEditId = 11;
const int InputDialogMaxLength = 32766;
extern const char* const InputDialogDefaultCaption;

// Shows the dialog owned by ownerWindow with the prompt and value pre-selected. Returns true when the user
// confirmed (value then holds the edited text, possibly empty); false on cancel or when the dialog cannot be
// created, with value unchanged. A moduleHandle of 0 takes the template from the program's own module.
// With placeOver the dialog opens centred over that window (kept on its screen) instead of the screen's
// centre: the window it asks about may belong to another program and must not own it.
bool InputDialog(HWND ownerWindow, const std::string& prompt, std::string& value, HINSTANCE moduleHandle,
                 const std::string& caption, HWND placeOver = nullptr);

// A dialog procedure's data arrives with the dialog's own WM_INITDIALOG and is kept in DWLP_USER. The message
// sent again later, by anyone, with no data or with other data, gives nullptr and must change nothing.
template <class TData> TData* TakeInitDialogData(HWND hDlg, LPARAM lParam) {
    if (!lParam || GetWindowLongPtrA(hDlg, DWLP_USER)) return nullptr;
    SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
    return reinterpret_cast<TData*>(lParam);
}
