// The finder dragged with the pointer onto a window of the target program: pick, add with Shift, cancel.
#include "FormFixture.h"
#include "Watchdog.h"
#include "app/QrLib.h"
#include "app/WinApiEx.h"

namespace {

void SendMouse(DWORD flags, POINT at = {0, 0}) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        // Absolute positions are in 65536ths of the primary screen.
        input.mi.dx = static_cast<LONG>((at.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN));
        input.mi.dy = static_cast<LONG>((at.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN));
    }
    SendInput(1, &input, sizeof input);
}

void SendKey(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

POINT CentreOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

enum class TEnd { Release, ShiftRelease, Escape, ReleaseOnFinder };

class FinderDrag : public FormTest {
  protected:
    TTargetProcess target{"finder"};

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        SetForegroundWindow(form->Handle());
        SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        PumpMessages(50);
    }
    void MoveTo(POINT point) {
        SetCursorPos(point.x, point.y);
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, point);
        POINT now = {};
        for (int i = 0; i < 50 && (!GetCursorPos(&now) || now.x != point.x || now.y != point.y); ++i)
            PumpMessages(20);
        PumpMessages(100); // a fast tick looks again where the pointer rests
    }
    // Press on the finder, move over the window in steps, and end the drag one way or another.
    void Drag(HWND onto, TEnd end) {
        const DWORD processId = target.ProcessId();
        TWatchdog watchdog(15000, [processId] {
            if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId)) {
                TerminateProcess(process, 1);
                CloseHandle(process);
            }
        });
        const POINT start = CentreOf(form->Finder->Handle()), goal = CentreOf(onto);
        MoveTo(start);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        PumpMessages(60);
        EXPECT_TRUE(form->Finder->Dragging()) << "the press starts the drag";
        for (int step = 1; step <= 3; ++step)
            MoveTo({start.x + (goal.x - start.x) * step / 3, start.y + (goal.y - start.y) * step / 3});
        EXPECT_NE(FindWindowA("TPaneprobeOutline", nullptr), nullptr) << "the window is outlined";
        EXPECT_EQ(form->StatusBar->PanelText(3), FormatText("0x%.8x", HandleValue(onto)))
            << "shown live in the status bar";
        if (end == TEnd::ShiftRelease) SendKey(VK_SHIFT, false);
        if (end == TEnd::Escape) {
            SendKey(VK_ESCAPE, false);
            SendKey(VK_ESCAPE, true);
            PumpMessages(60);
        }
        if (end == TEnd::ReleaseOnFinder) MoveTo(start);
        SendMouse(MOUSEEVENTF_LEFTUP);
        PumpMessages(60);
        if (end == TEnd::ShiftRelease) SendKey(VK_SHIFT, true);
        PumpMessages(60);
        EXPECT_FALSE(watchdog.Fired());
        EXPECT_FALSE(form->Finder->Dragging());
        EXPECT_EQ(FindWindowA("TPaneprobeOutline", nullptr), nullptr) << "the outline goes with the drag";
    }
};

// Not run yet: under Wine the pointer moved by SendInput and SetCursorPos during the capture does not
// always arrive where it was sent, so the window under it is not yet the one aimed at.
TEST_F(FinderDrag, DISABLED_EachWayOfEndingTheDrag) {
    struct TCase {
        TEnd End;
        bool Picked;
        int Count; // tracked windows after the drag, from one
    };
    const TCase cases[] = {
        {TEnd::Release, true, 1},
        {TEnd::ReleaseOnFinder, false, 1},
    };
    HWND onto = target.Probe(); // no other window of the target covers its middle
    ASSERT_NE(onto, nullptr);
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.End));
        TrackWindow(form->Handle(), false, false);
        form->ScanAtMouse->SetValue(true); // following waits while the finder is dragged
        Drag(onto, c.End);
        ASSERT_NE(TrackedList->Current(), nullptr);
        EXPECT_EQ(TrackedList->Count(), c.Count);
        EXPECT_EQ(TrackedList->Current()->Handle == onto, c.Picked);
        EXPECT_EQ(form->ScanAtMouse->Value, !c.Picked) << "a pick switches following off";
        form->ScanAtMouse->SetValue(false);
    }
}

} // namespace
