// Paneprobe inspects itself: every message number up to 0x3FF and the common controls' ranges, with the
// usual extreme parameters, sent to every window of the main window and to its dialogs while they are open.
// Afterwards the program must still work: switch tabs, follow the mouse, save its settings.
#include "StressSupport.h"

#include "FormFixture.h"
#include "config/IniFile.h"
#include "ui/QrDialogs.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <cstring>

namespace {

const size_t BufferSize = 64 * 1024;
const UINT SendTimeoutMs = 500;
const int PumpEvery = 64;

// Message ranges sent to every window: the classic range and the common controls' families.
struct TRange {
    UINT First, Last;
};
const TRange Ranges[] = {
    {0, 0x3FF},
    {LVM_FIRST, LVM_FIRST + 0xFF},
    {TV_FIRST, TV_FIRST + 0xFF},
    {HDM_FIRST, HDM_FIRST + 0xFF},
    {TCM_FIRST, TCM_FIRST + 0xFF},
    {SB_SETTEXTA, SB_GETICON},
};
const WPARAM WParams[] = {0, 1, static_cast<WPARAM>(-1)};

// The messages that legitimately close or destroy a window, and for a dialog the command that confirms it.
bool Closes(UINT message, WPARAM wParam, bool dialog) {
    switch (message) {
    case WM_CLOSE:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_QUIT:
        return true;
    case WM_COMMAND:
        return dialog && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL);
    default:
        return false;
    }
}

struct TInspection {
    long long Sent = 0;
    long long Skipped = 0;
    long long Answered = 0; // sends that the window answered within the time-out
    int Windows = 0;
};

// Sends the way the Messages tab does: never waiting for ever, whatever the window does with the message.
bool SendLikeMessagesTab(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, SendTimeoutMs, &result) != 0;
}

std::atomic<UINT> CurrentMessage{0};

// A button pressed by a message is released at once, as a user's would be: list views and tab controls
// otherwise wait in their own drag-tracking loop for a release that never comes.
UINT ReleaseOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return WM_LBUTTONUP;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return WM_RBUTTONUP;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return WM_MBUTTONUP;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
        return WM_XBUTTONUP;
    default:
        return 0;
    }
}

// Every message of every range to the windows, with every parameter pair.
void Bombard(const std::vector<HWND>& windows, bool dialog, std::vector<char>& buffer, TInspection& figures) {
    long long sinceLastPump = 0;
    for (HWND window : windows) {
        ++figures.Windows;
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        DWORD started = GetTickCount();
        for (const TRange& range : Ranges)
            for (UINT message = range.First; message <= range.Last; ++message)
                for (WPARAM wParam : WParams)
                    for (int withBuffer = 0; withBuffer < 2; ++withBuffer) {
                        if (!IsWindow(window) || Closes(message, wParam, dialog)) {
                            ++figures.Skipped;
                            continue;
                        }
                        LPARAM lParam = 0;
                        if (withBuffer) {
                            std::memset(buffer.data(), 0, buffer.size());
                            lParam = reinterpret_cast<LPARAM>(buffer.data());
                        }
                        CurrentMessage = message;
                        if (UINT release = ReleaseOf(message)) PostMessageA(window, release, 0, 0);
                        DWORD_PTR result = 0;
                        if (SendLikeMessagesTab(window, message, wParam, lParam, result)) ++figures.Answered;
                        ++figures.Sent;
                        if (++sinceLastPump % PumpEvery == 0) PumpMessages();
                    }
        // Progress on the error stream: a run that stalls shows where.
        std::fprintf(stderr, "  %s: %lu ms\n", className, static_cast<unsigned long>(GetTickCount() - started));
    }
}

// Runs inside the input dialog's own message loop: bombards the dialog, then closes it.
struct TDialogVisit {
    std::vector<char>* Buffer;
    TInspection* Figures;
    bool Visited = false;
};
TDialogVisit* CurrentVisit = nullptr;

void CALLBACK VisitOpenDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!CurrentVisit) return;
    for (HWND dialog : ThreadDialogs(GetCurrentThreadId())) {
        Bombard(WindowAndDescendants(dialog), true, *CurrentVisit->Buffer, *CurrentVisit->Figures);
        CurrentVisit->Visited = true;
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

TEST(StressRun, PaneprobeInspectsItself) {
    DeleteFileA(SettingsPath().c_str());
    auto form = std::make_unique<TPaneprobeForm>();
    form->ScanAtMouse->SetValue(false);
    PumpMessages(100);
    std::vector<char> buffer(BufferSize);
    TInspection figures;
    int hangs = 0, dismissed = 0;
    bool dialogVisited = false;
    std::atomic<bool> finished{false};
    // Names the message being sent every few seconds, so that a run that stalls shows where.
    std::thread reporter([&finished] {
        for (int tick = 1; !finished; ++tick) {
            Sleep(100);
            if (tick % 50 == 0) std::fprintf(stderr, "  at message 0x%X\n", CurrentMessage.load());
        }
    });
    {
        TUiWatchdog watchdog(form->Handle());
        {
            // The main window's commands may open the about box or a menu: answered like a user would.
            TDialogDismisser dismisser(GetCurrentThreadId());
            for (int i = 0; i < form->TabManager->Count(); ++i) {
                form->PageIndex->SetValue(i);
                PumpMessages(50);
            }
            Bombard(WindowAndDescendants(form->Handle()), false, buffer, figures);
            PumpMessages(200);
            dismissed += dismisser.Answered();
        }
        // A dialog while it is open: the input dialog over the main window. Its system menu may open.
        TDialogDismisser menuCloser(GetCurrentThreadId(), true);
        TDialogVisit visit{&buffer, &figures};
        CurrentVisit = &visit;
        SetTimer(nullptr, 0, 200, VisitOpenDialog);
        std::string value = "value";
        InputDialog(form->Handle(), "Prompt", value, nullptr, "Self-inspection");
        CurrentVisit = nullptr;
        dialogVisited = visit.Visited;
        dismissed += menuCloser.Answered();
        hangs = watchdog.Hangs();
    }
    finished = true;
    reporter.join();

    // Still working: the main window exists, every tab can be shown, the status bar follows.
    ASSERT_TRUE(IsWindow(form->Handle())) << "a message closed the main window";
    for (int i = 0; i < form->TabManager->Count(); ++i) {
        form->PageIndex->SetValue(i);
        PumpMessages(30);
    }
    form->FastTick();
    form->UpdateInterval->SetValue(45);
    form.reset();
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(SettingsPath(), bytes));
    EXPECT_NE(bytes.find("update_interval_ms=45"), std::string::npos);
    DeleteFileA(SettingsPath().c_str());

    const std::string name = "self-inspection";
    PrintFigure(name, "windows", std::to_string(figures.Windows));
    PrintFigure(name, "messages sent", std::to_string(figures.Sent));
    PrintFigure(name, "answered", std::to_string(figures.Answered));
    PrintFigure(name, "skipped (close or destroy, or window gone)", std::to_string(figures.Skipped));
    PrintFigure(name, "dialogs and menus that opened and were answered", std::to_string(dismissed));
    PrintFigure(name, "hangs (2 s)", std::to_string(hangs));
    EXPECT_TRUE(dialogVisited) << "the input dialog was not inspected while open";
    EXPECT_EQ(hangs, 0);
    EXPECT_GT(figures.Sent, 10000);
}

} // namespace
