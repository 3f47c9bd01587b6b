// The input dialogs of the window commands: a target that hangs while one is open cannot hold Paneprobe.
#include "DialogAnswerer.h"
#include "FormFixture.h"
#include "Watchdog.h"
#include "tabs/WndFuncs.h"

#include <functional>

namespace {

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (condition()) return true;
        PumpMessages(20);
    }
    return condition();
}

bool Answers(HWND h) {
    DWORD_PTR unused = 0;
    return SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &unused) != 0;
}

bool Contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

using CommandDialog = FormTest;

TEST_F(CommandDialog, OkReturnsAtOnceWhenTheTargetHangsMeanwhileAndTheCommandTakesEffectLater) {
    TTargetProcess target("dialogowner", true);
    ASSERT_NE(target.MainWindow(), nullptr);
    ASSERT_NE(target.Probe(), nullptr);
    const HWND main = target.MainWindow();
    const HWND probe = target.Probe();
    const LONG exStyle = GetWindowLongA(probe, GWL_EXSTYLE);
    auto textOf = [](HWND h) {
        char text[256] = {};
        GetWindowTextA(h, text, sizeof text);
        return std::string(text);
    };
    struct Case {
        TWndCommandRow Row;
        HWND Window;
        const char* Caption;
        std::string Answer;
        std::function<bool()> TookEffect;
    };
    const Case cases[] = {
        {WndSetText, main, "PaneprobeTargetMain", "Renamed under the dialog",
         [&] { return textOf(main) == "Renamed under the dialog"; }},
        {WndMoveSize, main, "Move/Size Window", "40x50; 320x240",
         [&] {
             RECT r = {};
             GetWindowRect(main, &r);
             return r.left == 40 && r.top == 50 && r.right == 360 && r.bottom == 290;
         }},
        {WndSetStyle, probe, "PaneprobeTargetProbe", "0x10CF0000",
         [&] { return GetWindowLongA(probe, GWL_STYLE) == (0x10CF0000 | WS_CLIPSIBLINGS); }},
        {WndSetExStyle, probe, "PaneprobeTargetProbe", std::to_string(exStyle | WS_EX_ACCEPTFILES),
         [&] { return GetWindowLongA(probe, GWL_EXSTYLE) == (exStyle | WS_EX_ACCEPTFILES); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WndCommands[c.Row].Caption);
        ASSERT_TRUE(Answers(c.Window)) << "the dialog opens while the target answers";
        TWindowDetails record(c.Window);
        record.Refresh();
        const TWndTarget copy = WndTargetOf(record);
        RECT targetRect = {};
        GetWindowRect(c.Window, &targetRect);

        HWND owner = nullptr;
        POINT dialogCentre = {};
        bool hung = false;
        DWORD okAt = 0, returnedAt = 0;
        TExpectedDialog expected{c.Caption, TAnswer::TypeAndOk, c.Answer, [&] {
                                     HWND dialog = FindOwnDialog(c.Caption);
                                     owner = GetWindow(dialog, GW_OWNER);
                                     RECT r = {};
                                     GetWindowRect(dialog, &r);
                                     dialogCentre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
                                     hung = target.Hang();
                                     okAt = GetTickCount();
                                 }};
        std::vector<TSeenDialog> seen;
        {
            TWatchdog watchdog(10000, [&] { target.Release(); });
            TDialogAnswerer answerer({expected}, 8000);
            WndCommands[c.Row].Execute(copy);
            returnedAt = GetTickCount();
            seen = answerer.Seen();
            EXPECT_FALSE(watchdog.Fired()) << "the command waited for the hung target";
        }
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_TRUE(hung);
        EXPECT_LT(returnedAt - okAt, 1000u) << "OK returns within a second";
        EXPECT_EQ(owner, MainWindowHandle) << "Paneprobe's main window owns the dialog";
        EXPECT_TRUE(Contains(targetRect, dialogCentre)) << "the dialog is placed over the target";
        EXPECT_TRUE(IsWindowEnabled(MainWindowHandle)) << "the owner is enabled again";
        ASSERT_TRUE(target.Release());
        EXPECT_TRUE(WaitFor(c.TookEffect, 5000)) << "the command took effect once the target answered";
    }
}

} // namespace
