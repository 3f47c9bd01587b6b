// Answers the modal dialogs and message boxes that the code under test opens: a second thread finds each
// expected dialog of this process by its caption, records what it shows, and answers it as a user would.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

enum class TAnswer {
    TypeAndOk,    // replace the edit text, then click OK
    TypeAndEnter, // replace the edit text, then press Enter in the edit
    Escape,       // press Escape in the focused control
    CloseBox,     // the close box (a system close command)
    Yes,          // click the Yes button of a message box
    No,           // click the No button of a message box
    Ok,           // click OK unchanged
};

struct TExpectedDialog {
    std::string Caption;
    TAnswer Answer;
    std::string Text; // for the typing answers
    // Runs on the answering thread once the dialog is seen, before the answer.
    std::function<void()> Before = nullptr;
};

struct TSeenDialog {
    std::string Caption;
    std::string Prompt;      // the static text 10 of the input dialog, or the message box text
    std::string InitialText; // the edit 11 of the input dialog as it opened
    std::string Selection;   // the selected part of that text
    bool OwnerDisabled = false;
    UINT_PTR EditLimit = 0; // the most characters the user can type into edit 11
    HFONT EditFont = nullptr;
    LOGFONTA EditFontInfo = {};
};

class TDialogAnswerer {
  public:
    // Starts answering at once; each dialog is waited for up to timeoutMs.
    explicit TDialogAnswerer(std::vector<TExpectedDialog> expected, DWORD timeoutMs = 20000);
    ~TDialogAnswerer();
    TDialogAnswerer(const TDialogAnswerer&) = delete;
    TDialogAnswerer& operator=(const TDialogAnswerer&) = delete;

    // Waits for the thread; the dialogs that were found and closed by their answer, in order.
    const std::vector<TSeenDialog>& Seen();

  private:
    void Run();
    void Finish();
    std::vector<TExpectedDialog> expected;
    std::vector<TSeenDialog> seen;
    DWORD timeoutMs;
    std::atomic<bool> done{false};
    std::thread worker;
};

// A top-level dialog of this process with the caption, or 0.
HWND FindOwnDialog(const std::string& caption);
// Cancels every shown dialog and message box of this process; how many there were. A dialog that did not
// come, or did not take its answer, must fail the test rather than keep the code under test waiting in its
// modal loop for ever.
int CancelOwnDialogs();
