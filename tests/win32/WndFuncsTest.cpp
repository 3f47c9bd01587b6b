// The window commands on real windows of another process (the target program), checked through what the
// window system reports afterwards.
#include "DialogAnswerer.h"
#include "TargetProcess.h"
#include "app/Shared.h"
#include "app/WinApiEx.h"
#include "tabs/WndFuncs.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// What the menu hands a command: the copies taken from a freshly refreshed record.
TWndTarget TargetOf(HWND h) {
    TWindowDetails record(h);
    record.Refresh();
    return WndTargetOf(record);
}

void RunCommand(TWndCommandRow row, HWND h) {
    WndCommands[row].Execute(TargetOf(h));
}
bool Checked(TWndCommandRow row, HWND h) {
    return WndCommands[row].IsChecked(TargetOf(h));
}

// Commands that act asynchronously on another process's window take effect once the target has run.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

RECT RectOf(HWND h) {
    RECT r = {};
    GetWindowRect(h, &r);
    return r;
}

bool IsAbove(HWND upper, HWND lower) {
    for (HWND h = GetWindow(upper, GW_HWNDNEXT); h; h = GetWindow(h, GW_HWNDNEXT))
        if (h == lower) return true;
    return false;
}

std::string TextOf(HWND h) {
    char text[512] = {};
    GetWindowTextA(h, text, sizeof text);
    return text;
}

class WndCommand : public ::testing::Test {
  protected:
    TTargetProcess target{"commands"};
    void SetUp() override {
        HexPrefix = "0x";
        ASSERT_NE(target.MainWindow(), nullptr);
        ASSERT_NE(target.Probe(), nullptr);
        ASSERT_NE(target.Dialog(), nullptr);
    }
};

TEST_F(WndCommand, EnableAndVisibleToggleAndShowTheirState) {
    HWND h = target.MainWindow();
    EXPECT_TRUE(Checked(WndEnable, h));
    RunCommand(WndEnable, h);
    EXPECT_FALSE(IsWindowEnabled(h));
    EXPECT_FALSE(Checked(WndEnable, h));
    RunCommand(WndEnable, h);
    EXPECT_TRUE(IsWindowEnabled(h));

    EXPECT_TRUE(Checked(WndVisible, h));
    RunCommand(WndVisible, h);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(h); }));
    EXPECT_FALSE(Checked(WndVisible, h));
    RunCommand(WndVisible, h);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(h) != FALSE; }));
}

TEST_F(WndCommand, MinimizeMaximizeRestore) {
    HWND h = target.MainWindow();
    RunCommand(WndMinimize, h);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(h) != FALSE; }));
    EXPECT_TRUE(Checked(WndMinimize, h));
    EXPECT_FALSE(Checked(WndMaximize, h));
    RunCommand(WndMaximize, h);
    ASSERT_TRUE(WaitUntil([&] { return IsZoomed(h) != FALSE; }));
    EXPECT_TRUE(Checked(WndMaximize, h));
    EXPECT_FALSE(Checked(WndMinimize, h));
    RunCommand(WndRestore, h);
    ASSERT_TRUE(WaitUntil([&] { return !IsZoomed(h) && !IsIconic(h); }));
    EXPECT_FALSE(Checked(WndMaximize, h));
}

TEST_F(WndCommand, BringToTopAndSendToBackChangeTheZOrder) {
    HWND main = target.MainWindow();
    HWND probe = target.Probe();
    RunCommand(WndBringToTop, probe);
    EXPECT_TRUE(WaitUntil([&] { return IsAbove(probe, main); }));
    RunCommand(WndBringToTop, main);
    EXPECT_TRUE(WaitUntil([&] { return IsAbove(main, probe); }));

    // Among siblings, where activation cannot move a window back up (Wine raises an activated top-level
    // window again, so the bottom is checked on child windows).
    HWND button = target.Child(TTargetProcess::ButtonId);
    HWND keeper = target.Child(TTargetProcess::KeeperId);
    ASSERT_EQ(GetWindow(main, GW_CHILD), button);
    RunCommand(WndSendToBack, button);
    EXPECT_TRUE(WaitUntil([&] { return GetWindow(button, GW_HWNDNEXT) == nullptr; })) << "the last sibling";
    RunCommand(WndBringToTop, keeper);
    EXPECT_TRUE(WaitUntil([&] { return GetWindow(main, GW_CHILD) == keeper; })) << "the first sibling";
}

TEST_F(WndCommand, TopMostToggles) {
    HWND h = target.Probe();
    EXPECT_FALSE(Checked(WndTopMost, h));
    RunCommand(WndTopMost, h);
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(Checked(WndTopMost, h));
    RunCommand(WndTopMost, h);
    EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(Checked(WndTopMost, h));
}

TEST_F(WndCommand, MakeViewableCentresOnlyWindowsOffTheScreen) {
    HWND h = target.MainWindow();
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        int x, y;
        bool centred;
    } cases[] = {{-5, -5, false}, {-500, 100, true}, {100, screenHeight - 100, true}, {-10, -10, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        SetWindowPos(h, nullptr, c.x, c.y, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] { return RectOf(h).left == c.x && RectOf(h).top == c.y; }));
        RunCommand(WndMakeViewable, h);
        RECT r = RectOf(h);
        if (c.centred) {
            EXPECT_EQ(r.left, (screenWidth - 400) / 2);
            EXPECT_EQ(r.top, (screenHeight - 300) / 2);
        } else {
            EXPECT_EQ(r.left, c.x);
            EXPECT_EQ(r.top, c.y);
        }
        EXPECT_EQ(r.right - r.left, 400);
        EXPECT_EQ(r.bottom - r.top, 300);
    }
}

TEST_F(WndCommand, MakeViewableShowsAndRestoresTheWindow) {
    HWND h = target.MainWindow();
    ShowWindow(h, SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(h) != FALSE; }));
    RunCommand(WndMakeViewable, h);
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(h); }));
    ShowWindow(h, SW_HIDE);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(h); }));
    RunCommand(WndMakeViewable, h);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(h) != FALSE; }));
}

TEST_F(WndCommand, SetWindowTextAsksWithTheFullTextAndSetsTheAnswer) {
    HWND h = target.MainWindow();
    {
        TDialogAnswerer answerer({{"PaneprobeTargetMain", TAnswer::TypeAndOk, "Renamed target"}});
        RunCommand(WndSetText, h);
        const auto& seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 1u) << "the dialog's title is the class name";
        EXPECT_EQ(seen[0].Prompt, "Enter a new Window Text...");
        EXPECT_EQ(seen[0].InitialText, "Paneprobe Target commands");
        EXPECT_TRUE(seen[0].OwnerDisabled) << "the target window owns the dialog";
    }
    EXPECT_EQ(TextOf(h), "Renamed target");
    {
        TDialogAnswerer answerer({{"PaneprobeTargetMain", TAnswer::Escape, ""}});
        RunCommand(WndSetText, h);
        EXPECT_EQ(answerer.Seen().size(), 1u);
    }
    EXPECT_EQ(TextOf(h), "Renamed target");

    // A control that keeps its text itself shows that text, not the empty stored title.
    TDialogAnswerer answerer({{"PaneprobeTextKeeper", TAnswer::Escape, ""}});
    RunCommand(WndSetText, target.Child(TTargetProcess::KeeperId));
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].InitialText, "Text kept by the control");
}

TEST(WndCommandHungTarget, TextAndStyleDialogsDoNotWaitForAHungWindow) {
    TTargetProcess hung("hungcommands", true);
    ASSERT_NE(hung.MainWindow(), nullptr);
    hung.Hang(); // the target's thread now sleeps for a minute
    Sleep(200);
    for (TWndCommandRow row : {WndSetText, WndMoveSize, WndSetStyle}) {
        SCOPED_TRACE(WndCommands[row].Caption);
        const char* caption = row == WndMoveSize ? "Move/Size Window" : "PaneprobeTargetMain";
        TDialogAnswerer answerer({{caption, TAnswer::Escape, ""}});
        DWORD start = GetTickCount();
        RunCommand(row, hung.MainWindow());
        DWORD elapsed = GetTickCount() - start;
        ASSERT_EQ(answerer.Seen().size(), 1u) << "the dialog still comes up";
        EXPECT_FALSE(answerer.Seen()[0].OwnerDisabled) << "a hung window does not own the dialog";
        EXPECT_LT(elapsed, 8000u);
    }
}

TEST_F(WndCommand, MoveSizeTakesTwoOrFourNumbers) {
    HWND h = target.MainWindow();
    struct Case {
        const char* answer;
        RECT expected; // left, top, right, bottom
    } cases[] = {
        {"50x60", {50, 60, 450, 360}},
        {"50x60; 640x480", {50, 60, 690, 540}},
        {"50", {100, 100, 500, 400}},
        // A captioned window cannot be narrower than the platform's minimum tracking width (about 100
        // pixels).
        {"-10x-20; 200x150", {-10, -20, 190, 130}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        SetWindowPos(h, nullptr, 100, 100, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] { return RectOf(h).left == 100 && RectOf(h).right == 500; }));
        TDialogAnswerer answerer({{"Move/Size Window", TAnswer::TypeAndOk, c.answer}});
        RunCommand(WndMoveSize, h);
        const auto& seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Prompt, "New Window Position (Left x Top; Width x Height)...");
        EXPECT_EQ(seen[0].InitialText, "100x100; 400x300");
        RECT r = RectOf(h);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

TEST_F(WndCommand, MoveSizeOfAChildUsesItsParentsClientCoordinates) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    TDialogAnswerer answerer({{"Move/Size Window", TAnswer::TypeAndOk, "20x30"}});
    RunCommand(WndMoveSize, button);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].InitialText, "10x10; 120x24");
    RECT r = RectOf(button);
    MapWindowPoints(nullptr, target.MainWindow(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 120);
}

TEST_F(WndCommand, MoveSizeReportsAWindowThatVanishedWhileAsking) {
    HWND button = target.Child(TTargetProcess::ButtonId);
    HWND main = target.MainWindow();
    TDialogAnswerer answerer({{"Move/Size Window", TAnswer::TypeAndOk, "1x2; 3x4",
                               [&] {
                                   PostMessageA(main, WM_CLOSE, 0, 0);
                                   WaitUntil([&] { return !IsWindow(button); });
                               }},
                              {"Move/Size Window", TAnswer::Ok, ""}});
    RunCommand(WndMoveSize, button);
    const auto& seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Prompt,
              "Error moving or sizing the Window!\r\n\r\n" + ErrorText(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WndCommand, RedrawRepaintsTheWindow) {
    HWND probe = target.Probe();
    ASSERT_TRUE(WaitUntil([&] { return target.ProbeCount("PaneprobePaints") > 0; }));
    UINT_PTR before = target.ProbeCount("PaneprobePaints");
    RunCommand(WndRedraw, probe);
    EXPECT_TRUE(WaitUntil([&] { return target.ProbeCount("PaneprobePaints") > before; }));
}

TEST_F(WndCommand, ScrollBarsToggleFromTheRecordedStyle) {
    HWND scroller = target.Scroller();
    ASSERT_TRUE(IsWindow(scroller));
    EXPECT_TRUE(Checked(WndHorizontalScrollBar, scroller));
    EXPECT_FALSE(Checked(WndVerticalScrollBar, scroller));
    RunCommand(WndHorizontalScrollBar, scroller);
    RunCommand(WndVerticalScrollBar, scroller);
    EXPECT_TRUE(WaitUntil([&] {
        DWORD style = static_cast<DWORD>(GetWindowLongA(scroller, GWL_STYLE));
        return !(style & WS_HSCROLL) && (style & WS_VSCROLL);
    }));

    // The check mark follows the record, not the window: a stale record still shows the old state.
    TWndTarget stale = TargetOf(scroller);
    stale.Style |= WS_HSCROLL;
    EXPECT_TRUE(WndCommands[WndHorizontalScrollBar].IsChecked(stale));
    WndCommands[WndHorizontalScrollBar].Execute(stale); // hides the bar, which is hidden already
    Sleep(100);
    EXPECT_FALSE(GetWindowLongA(scroller, GWL_STYLE) & WS_HSCROLL);
}

TEST_F(WndCommand, InvertColorsInvertsThePixels) {
    HWND probe = target.Probe();
    SetWindowPos(probe, HWND_TOPMOST, 520, 100, 300, 200, SWP_NOACTIVATE);
    RedrawWindow(probe, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    RECT r = RectOf(probe);
    POINT spot = {r.left + 250, r.top + 150}; // inside the client area, away from the child
    HDC screen = GetDC(nullptr);
    const COLORREF probeColor = RGB(0x20, 0x60, 0xA0);
    EXPECT_TRUE(WaitUntil([&] { return GetPixel(screen, spot.x, spot.y) == probeColor; }));
    RunCommand(WndInvertColors, probe);
    EXPECT_EQ(GetPixel(screen, spot.x, spot.y), RGB(0xDF, 0x9F, 0x5F));
    ReleaseDC(nullptr, screen);
}

TEST_F(WndCommand, DestroyAnsweredNoSendsNothing) {
    HWND probe = target.Probe();
    TDialogAnswerer answerer({{"Destroy Window?", TAnswer::No, ""}});
    RunCommand(WndDestroy, probe);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].Prompt,
              "Are you 100% sure you want to destroy the window?\r\n\r\n\"PaneprobeTargetProbe\"");
    Sleep(100);
    EXPECT_TRUE(IsWindow(probe));
    EXPECT_EQ(target.ProbeCount("PaneprobeCloses"), 0u);
}

TEST_F(WndCommand, DestroyOfAWindowThatRefusesToCloseReportsTheFailure) {
    HWND probe = target.Probe();
    TDialogAnswerer answerer({{"Destroy Window?", TAnswer::Yes, ""}, {"Destroy Window", TAnswer::Ok, ""}});
    RunCommand(WndDestroy, probe);
    const auto& seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].Prompt, "Failed to destroy the window.\r\n\r\n" + ErrorText(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(IsWindow(probe));
    EXPECT_EQ(target.ProbeCount("PaneprobeCloses"), 2u) << "WM_CLOSE and SC_CLOSE";
}

TEST_F(WndCommand, DestroyOfAWindowThatClosesReportsNothing) {
    HWND main = target.MainWindow();
    // The command gives a closing window 250 ms: make sure the target is idle and answering first.
    DWORD_PTR unused = 0;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &unused);
    TDialogAnswerer answerer({{"Destroy Window?", TAnswer::Yes, ""}, {"Destroy Window", TAnswer::Ok, ""}},
                             1500);
    RunCommand(WndDestroy, main);
    EXPECT_EQ(answerer.Seen().size(), 1u) << "no failure message";
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(WndCommand, EndDialogOfAnotherProcessReportsTheFailure) {
    HWND dialog = target.Dialog();
    TDialogAnswerer answerer({{"End Dialog", TAnswer::Ok, ""}});
    SetLastError(ERROR_FILE_NOT_FOUND); // an earlier failure that has nothing to do with the command
    RunCommand(WndEndDialog, dialog);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    const std::string& shown = answerer.Seen()[0].Prompt;
    const std::string text = "Failed to end the dialog.";
    EXPECT_EQ(shown.substr(0, text.size()), text);
    EXPECT_EQ(shown.find(ErrorText(ERROR_FILE_NOT_FOUND)), std::string::npos) << shown;
    EXPECT_EQ(shown.find(ErrorText(ERROR_SUCCESS)), std::string::npos) << shown;
    if (shown.size() > text.size()) {
        EXPECT_EQ(shown.substr(text.size(), 4), "\r\n\r\n");
    }
    EXPECT_TRUE(IsWindowVisible(dialog));
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

TEST(WndCommandOwnProcess, EndDialogEndsADialogOfThisThread) {
    std::string unused;
    // The input dialog's template, shown modeless.
    HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1001), nullptr, PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    TDialogAnswerer answerer({{"End Dialog", TAnswer::Ok, ""}}, 500);
    RunCommand(WndEndDialog, dialog);
    EXPECT_EQ(answerer.Seen().size(), 0u);
    EXPECT_FALSE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
}

TEST_F(WndCommand, SetStyleReadsTheIntegerTextRule) {
    HWND probe = target.Probe();
    struct Case {
        const char* answer;
        LONG expected;
    } cases[] = {
        // Top-level windows always keep WS_CLIPSIBLINGS, whatever is written.
        {"$10CF0000", 0x10CF0000 | WS_CLIPSIBLINGS},     {"0x10CF0000", 0x10CF0000 | WS_CLIPSIBLINGS},
        {"282001408", 0x10CF0000 | WS_CLIPSIBLINGS},     {"abc", static_cast<LONG>(0x94CF0000)},
        {" 0x10CF0000 ", static_cast<LONG>(0x94CF0000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        SetWindowLongA(probe, GWL_STYLE, static_cast<LONG>(0x94CF0000));
        ASSERT_EQ(GetWindowLongA(probe, GWL_STYLE), static_cast<LONG>(0x94CF0000));
        TDialogAnswerer answerer({{"PaneprobeTargetProbe", TAnswer::TypeAndOk, c.answer}});
        RunCommand(WndSetStyle, probe);
        const auto& seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].Prompt, "Enter the new style value...");
        EXPECT_EQ(seen[0].InitialText, "0x94CF0000");
        EXPECT_EQ(GetWindowLongA(probe, GWL_STYLE), c.expected);
    }
}

TEST_F(WndCommand, SetExtendedStyleWritesTheExtendedStyle) {
    HWND probe = target.Probe();
    LONG before = GetWindowLongA(probe, GWL_EXSTYLE);
    ASSERT_FALSE(before & WS_EX_ACCEPTFILES);
    std::string answer = std::to_string(before | WS_EX_ACCEPTFILES);
    TDialogAnswerer answerer({{"PaneprobeTargetProbe", TAnswer::TypeAndOk, answer}});
    RunCommand(WndSetExStyle, probe);
    const auto& seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].Prompt, "Enter the new extended style value...");
    EXPECT_EQ(seen[0].InitialText, FormatText("0x%x", static_cast<uint32_t>(before)));
    EXPECT_EQ(GetWindowLongA(probe, GWL_EXSTYLE), before | WS_EX_ACCEPTFILES);
}

} // namespace
