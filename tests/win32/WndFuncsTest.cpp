// The window commands on real windows of another process (the target program), checked through what the
// window system reports afterwards.
#include "DialogAnswerer.h"
#include "TargetProcess.h"
#include "Watchdog.h"
#include "app/Shared.h"
#include "app/WinApiEx.h"
#include "app/WindowCalls.h"
#include "tabs/WndFuncs.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <vector>

namespace {

// What the menu hands a command: the copies taken from a freshly refreshed record.
TWndTarget TargetOf(HWND h) {
    TWindowDetails record(h);
    record.Refresh();
    return WndTargetOf(record);
}

void Settle(HWND h) {
    SettleWindowCalls({h});
}

void RunCommand(TWndCommandRow row, HWND h) {
    WndCommands[row].Execute(TargetOf(h));
    Settle(h);
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
        EXPECT_FALSE(seen[0].OwnerDisabled) << "the target window does not own the dialog";
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

// Runs the action; should it still not have returned after the watchdog's time (it waits for the hung
// target), the target is released so that the action returns and the test fails instead of hanging.
bool ReturnsWhileHung(const TTargetProcess& target, const std::function<void()>& action) {
    TWatchdog watchdog(10000, [&target] { target.Release(); });
    action();
    return !watchdog.Fired();
}

// Every command on a window whose thread does not handle messages: the command returns while the window
// still hangs, and what it asked for happens once the window answers again.
TEST(WndCommandHungTarget, EveryCommandReturnsAndTakesEffectOnceTheWindowAnswers) {
    TTargetProcess target("hungcommands", true);
    ASSERT_NE(target.MainWindow(), nullptr);
    ASSERT_NE(target.Probe(), nullptr);
    HexPrefix = "0x";
    const HWND main = target.MainWindow();
    const HWND probe = target.Probe();
    const HWND dialog = target.Dialog();
    const HWND button = target.Child(TTargetProcess::ButtonId);
    const HWND keeper = target.Child(TTargetProcess::KeeperId);
    const HWND scroller = target.Scroller();
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const LONG exStyle = GetWindowLongA(probe, GWL_EXSTYLE);
    UINT_PTR counted = 0; // a probe counter as it was before the command

    struct Case {
        TWndCommandRow Row;
        HWND Window;
        std::vector<TExpectedDialog> Dialogs;
        std::function<void()> Setup;
        std::function<bool()> TookEffect;
        std::function<void()> Undo;
    };
    auto restore = [&] {
        ShowWindow(main, SW_RESTORE);
        WaitUntil([&] { return !IsIconic(main) && !IsZoomed(main); });
    };
    auto nothing = [] {};
    const Case cases[] = {
        {WndEnable,
         main,
         {},
         nothing,
         [&] { return !IsWindowEnabled(main); },
         [&] { EnableWindow(main, TRUE); }},
        {WndVisible,
         main,
         {},
         nothing,
         [&] { return !IsWindowVisible(main); },
         [&] { ShowWindow(main, SW_SHOW); }},
        {WndRestore,
         main,
         {},
         [&] { ShowWindow(main, SW_MINIMIZE); },
         [&] { return !IsIconic(main); },
         nothing},
        {WndMinimize, main, {}, nothing, [&] { return IsIconic(main) != FALSE; }, restore},
        {WndMaximize, main, {}, nothing, [&] { return IsZoomed(main) != FALSE; }, restore},
        {WndBringToTop, keeper, {}, nothing, [&] { return GetWindow(main, GW_CHILD) == keeper; }, nothing},
        {WndSendToBack,
         button,
         {},
         nothing,
         [&] { return GetWindow(button, GW_HWNDNEXT) == nullptr; },
         nothing},
        {WndTopMost,
         probe,
         {},
         nothing,
         [&] { return (GetWindowLongA(probe, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; },
         [&] { SetWindowPos(probe, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }},
        {WndMakeViewable,
         main,
         {},
         [&] { SetWindowPos(main, nullptr, -500, 100, 400, 300, SWP_NOZORDER); },
         [&] { return RectOf(main).left == (screenWidth - 400) / 2; },
         nothing},
        {WndSetText,
         main,
         {{"PaneprobeTargetMain", TAnswer::TypeAndOk, "Renamed while hung"}},
         nothing,
         [&] { return TextOf(main) == "Renamed while hung"; },
         nothing},
        {WndMoveSize,
         main,
         {{"Move/Size Window", TAnswer::TypeAndOk, "50x60; 300x200"}},
         nothing,
         [&] {
             RECT r = RectOf(main);
             return r.left == 50 && r.top == 60 && r.right == 350 && r.bottom == 260;
         },
         nothing},
        {WndRedraw,
         probe,
         {},
         [&] { counted = target.ProbeCount("PaneprobePaints"); },
         [&] { return target.ProbeCount("PaneprobePaints") > counted; },
         nothing},
        {WndHorizontalScrollBar,
         scroller,
         {},
         nothing,
         [&] { return !(GetWindowLongA(scroller, GWL_STYLE) & WS_HSCROLL); },
         nothing},
        {WndVerticalScrollBar,
         scroller,
         {},
         nothing,
         [&] { return (GetWindowLongA(scroller, GWL_STYLE) & WS_VSCROLL) != 0; },
         nothing},
        {WndDrawFrame, probe, {}, nothing, [] { return true; }, nothing},
        {WndInvertColors, probe, {}, nothing, [] { return true; }, nothing},
        {WndDestroy,
         probe,
         {{"Destroy Window?", TAnswer::Yes, ""}, {"Destroy Window", TAnswer::Ok, ""}},
         [&] { counted = target.ProbeCount("PaneprobeCloses"); },
         [&] { return target.ProbeCount("PaneprobeCloses") == counted + 2 && IsWindow(probe); },
         nothing},
        {WndEndDialog,
         dialog,
         {{"End Dialog", TAnswer::Ok, ""}},
         nothing,
         [&] { return IsWindowVisible(dialog) != FALSE; },
         nothing},
        {WndSetStyle,
         probe,
         {{"PaneprobeTargetProbe", TAnswer::TypeAndOk, "0x10CF0000"}},
         nothing,
         [&] { return GetWindowLongA(probe, GWL_STYLE) == (0x10CF0000 | WS_CLIPSIBLINGS); },
         nothing},
        {WndSetExStyle,
         probe,
         {{"PaneprobeTargetProbe", TAnswer::TypeAndOk, std::to_string(exStyle | WS_EX_ACCEPTFILES)}},
         nothing,
         [&] { return GetWindowLongA(probe, GWL_EXSTYLE) == (exStyle | WS_EX_ACCEPTFILES); },
         nothing},
    };
    ASSERT_EQ(std::size(cases), static_cast<size_t>(WndCommandCount)) << "every row of the table";
    for (const Case& c : cases) {
        SCOPED_TRACE(WndCommands[c.Row].Caption);
        c.Setup();
        ASSERT_TRUE(WaitUntil([&] {
            DWORD_PTR unused = 0;
            return SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &unused) != 0;
        }));
        const TWndTarget targetCopy = TargetOf(c.Window); // taken before the hang, as the menu would have it
        ASSERT_TRUE(target.Hang());
        std::vector<TSeenDialog> seen;
        EXPECT_TRUE(ReturnsWhileHung(target, [&] {
            TDialogAnswerer answerer(c.Dialogs, 8000);
            WndCommands[c.Row].Execute(targetCopy);
            seen = answerer.Seen();
        })) << "the command waited for the hung window";
        EXPECT_EQ(seen.size(), c.Dialogs.size());
        for (const TSeenDialog& shown : seen)
            EXPECT_FALSE(shown.OwnerDisabled) << "a hung window does not own a dialog";
        if (c.Row == WndSetText && !seen.empty()) {
            EXPECT_EQ(seen[0].InitialText, "Paneprobe Target hungcommands")
                << "the stored title, not nothing";
        }
        ASSERT_TRUE(target.Release());
        EXPECT_TRUE(WaitUntil(c.TookEffect, 5000)) << "the command took effect once the window answered";
        c.Undo();
    }
    EXPECT_TRUE(WaitUntil([] { return WindowCallWorkers() == 0; }))
        << "the workers end once their calls are done";
}

// However often the user repeats a command on a window that stays hung, Paneprobe neither waits nor starts
// a thread per command.
TEST(WndCommandHungTarget, RepeatedCommandsOnAHungWindowAreBounded) {
    TTargetProcess target("hungrepeat", true);
    ASSERT_NE(target.MainWindow(), nullptr);
    const HWND main = target.MainWindow();
    ASSERT_TRUE(WaitUntil([] { return WindowCallWorkers() == 0; }));
    const TWndTarget targetCopy = TargetOf(main);
    ASSERT_TRUE(target.Hang());
    EXPECT_TRUE(ReturnsWhileHung(target, [&] {
        for (int i = 0; i < 200; ++i) {
            WndCommands[WndEnable].Execute(targetCopy);
            WndCommands[WndVerticalScrollBar].Execute(targetCopy);
            WndCommands[WndMakeViewable].Execute(targetCopy);
        }
    }));
    EXPECT_EQ(WindowCallWorkers(), 1) << "one worker for the one hung thread";
    EXPECT_LE(PendingWindowCalls(), 32);
    ASSERT_TRUE(target.Release());
    EXPECT_TRUE(WaitUntil([] { return WindowCallWorkers() == 0; }));
    EnableWindow(main, TRUE);
}

TEST(WndCommandOwnThread, CommandsOnThisThreadsWindowsTakeEffectAtOnce) {
    HWND window = CreateWindowExA(0, "STATIC", "own", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsOwnThreadWindow(window));
    RunCommand(WndEnable, window);
    EXPECT_FALSE(IsWindowEnabled(window)) << "no worker: done when the command returns";
    RunCommand(WndVerticalScrollBar, window);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL);
    RunCommand(WndTopMost, window);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(WindowCallWorkers(), 0);
    DestroyWindow(window);
}

LRESULT CALLBACK BoastfulTextProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH) return static_cast<LRESULT>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window may claim any text length; reading its text must neither fail nor allocate what it claims.
TEST(WndCommandOwnThread, SetWindowTextBoundsTheLengthAWindowClaims) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BoastfulTextProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PaneprobeBoastfulText";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "PaneprobeBoastfulText", "Modest text", WS_OVERLAPPEDWINDOW, 10, 10, 200,
                                  100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    const LONG_PTR claims[] = {static_cast<LONG_PTR>(1)
                                   << (sizeof(LONG_PTR) * 8 - 2), // beyond any allocation (2^62, or 2^30)
                               static_cast<LONG_PTR>(0x7FFFFFFF), 3, -5};
    // A claim counts characters, and a character takes up to three bytes of UTF-8: a claim of 3 reads at
    // most 9 bytes.
    const char* const expected[] = {"Modest text", "Modest text", "Modest te", ""};
    for (size_t i = 0; i < std::size(claims); ++i) {
        SCOPED_TRACE(claims[i]);
        SetWindowLongPtrA(window, GWLP_USERDATA, claims[i]);
        TDialogAnswerer answerer({{"PaneprobeBoastfulText", TAnswer::Escape, ""}});
        EXPECT_NO_THROW(RunCommand(WndSetText, window));
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].InitialText, expected[i]);
    }
    DestroyWindow(window);
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
    EXPECT_EQ(seen[1].Prompt, "Error moving or sizing the Window!") << "the fixed text alone";
    EXPECT_EQ(seen[1].Caption, "Move/Size Window");
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
    Settle(scroller);
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
    // Drawn at once by this thread, and undone by the window's next paint: so no paint may be pending, and
    // the window must not run before the pixel is read.
    Settle(probe);
    WndCommands[WndInvertColors].Execute(TargetOf(probe));
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
