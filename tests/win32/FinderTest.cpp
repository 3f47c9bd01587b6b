// The finder dragged with the pointer onto a window of the target program: pick, add with Shift, cancel.
#include "FormFixture.h"
#include "Watchdog.h"
#include "app/QrLib.h"
#include "app/WinApiEx.h"

#include <string>

namespace {

// Input as a person gives it: xdotool moves the X pointer and presses real buttons and keys, which Wine
// delivers as hardware input. Wine starts a Unix program given by its path on the Z: drive, but what it
// writes into the process information for one is no handle of ours: closing it would close some other
// handle of this process. Callers wait for what the input does instead.
bool RunXdotool(const std::string& arguments) {
    std::string command = "Z:\\usr\\bin\\xdotool " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION ignored = {};
    return CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &ignored) != FALSE;
}

// Pumps until the condition holds, at most about two seconds.
template <class TCondition> bool PumpUntil(TCondition condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        PumpMessages(10);
    }
    return condition();
}

bool CursorAt(POINT point) {
    POINT now = {};
    return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
}

// A point inside the window's client area that belongs to the window itself, not to a child.
POINT OwnPointOf(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT point = {client.right * 3 / 4, client.bottom / 4}; // above Paneprobe, right of the scroller
    ClientToScreen(window, &point);
    return point;
}

POINT CentreOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

enum class TEnd { Release, ShiftRelease, Escape, ReleaseOnFinder };

const char* NameOf(TEnd end) {
    switch (end) {
    case TEnd::Release:
        return "release";
    case TEnd::ShiftRelease:
        return "release with Shift";
    case TEnd::Escape:
        return "Escape";
    case TEnd::ReleaseOnFinder:
        return "release over the finder";
    }
    return "";
}

class FinderDrag : public FormTest {
  protected:
    TTargetProcess target{"finder"};

    void SetUp() override {
        FormTest::SetUp();
        ASSERT_NE(target.MainWindow(), nullptr);
        ASSERT_TRUE(PumpUntil([this] { return IsWindowVisible(target.Probe()) != FALSE; }));
    }
    // The user works in another program when the drag begins: the press must bring the keys to Paneprobe.
    void ActivateTarget() {
        SetForegroundWindow(target.MainWindow());
        ASSERT_TRUE(PumpUntil([this] { return GetForegroundWindow() == target.MainWindow(); }));
    }
    void TearDown() override {
        // A failed case never leaves a button or key held for the next test.
        if (GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_SHIFT) < 0) {
            RunXdotool("mouseup 1 keyup shift");
            PumpUntil([] { return GetAsyncKeyState(VK_LBUTTON) >= 0 && GetAsyncKeyState(VK_SHIFT) >= 0; });
        }
        FormTest::TearDown();
    }

    void MoveTo(POINT point) {
        ASSERT_TRUE(
            RunXdotool(FormatText("mousemove %d %d", static_cast<int>(point.x), static_cast<int>(point.y))))
            << "xdotool could not start";
        ASSERT_TRUE(PumpUntil([point] { return CursorAt(point); }))
            << "the pointer reaches " << point.x << "," << point.y;
        PumpMessages(80); // the mouse move and a fast tick reach the form
    }
    // Press on the finder, move onto the window in steps, and end the drag one way or another.
    void Drag(POINT goal, HWND onto, TEnd end, bool paneprobeInFront) {
        const POINT start = CentreOf(form->Finder->Handle());
        HWND focused = nullptr;
        if (paneprobeInFront) {
            SetForegroundWindow(form->Handle());
            ASSERT_TRUE(PumpUntil([this] { return GetForegroundWindow() == form->Handle(); }));
            SetFocus(form->PageControl->Handle());
            focused = GetFocus();
            ASSERT_EQ(focused, form->PageControl->Handle());
        } else {
            ActivateTarget();
        }
        MoveTo(start);
        ASSERT_TRUE(RunXdotool("mousedown 1"));
        ASSERT_TRUE(PumpUntil([this] { return form->Finder->Dragging(); })) << "the press starts the drag";
        EXPECT_EQ(GetForegroundWindow(), form->Handle()) << "the press brings Paneprobe to the front";
        ASSERT_NE(TrackedList->Current(), nullptr);
        const HWND trackedAtPress = TrackedList->Current()->Handle;
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_CROSS)) << "the cursor becomes a crosshair";
        for (int step = 1; step <= 3; ++step)
            MoveTo({start.x + (goal.x - start.x) * step / 3, start.y + (goal.y - start.y) * step / 3});
        RECT outlined = {}, aimed = {};
        HWND outline = FindWindowA("TPaneprobeOutline", nullptr);
        ASSERT_NE(outline, nullptr) << "the window is outlined";
        GetWindowRect(outline, &outlined);
        GetWindowRect(onto, &aimed);
        EXPECT_TRUE(outlined.left < aimed.left && outlined.right > aimed.right && outlined.top < aimed.top &&
                    outlined.bottom > aimed.bottom)
            << "the outline goes round the window under the pointer";
        EXPECT_EQ(form->StatusBar->PanelText(3), FormatText("0x%.8x", HandleValue(onto)))
            << "shown live in the status bar";
        ASSERT_NE(TrackedList->Current(), nullptr);
        EXPECT_EQ(TrackedList->Current()->Handle, trackedAtPress)
            << "following waits while the finder is dragged";
        switch (end) {
        case TEnd::Release:
            ASSERT_TRUE(RunXdotool("mouseup 1"));
            break;
        case TEnd::ShiftRelease:
            ASSERT_TRUE(RunXdotool("keydown shift"));
            ASSERT_TRUE(PumpUntil([] { return GetAsyncKeyState(VK_SHIFT) < 0; }));
            ASSERT_TRUE(RunXdotool("mouseup 1"));
            break;
        case TEnd::Escape:
            ASSERT_TRUE(RunXdotool("key Escape"));
            EXPECT_TRUE(PumpUntil([this] { return !form->Finder->Dragging(); })) << "Escape ends the drag";
            ASSERT_TRUE(RunXdotool("mouseup 1"));
            break;
        case TEnd::ReleaseOnFinder:
            MoveTo(start);
            ASSERT_TRUE(RunXdotool("mouseup 1"));
            break;
        }
        EXPECT_TRUE(PumpUntil([] { return GetAsyncKeyState(VK_LBUTTON) >= 0; })) << "the button is up";
        EXPECT_TRUE(PumpUntil([this] { return !form->Finder->Dragging(); })) << "the drag ends";
        if (end == TEnd::ShiftRelease) {
            ASSERT_TRUE(RunXdotool("keyup shift"));
        }
        PumpMessages(80);
        EXPECT_EQ(FindWindowA("TPaneprobeOutline", nullptr), nullptr) << "the outline goes with the drag";
        EXPECT_EQ(GetCapture(), nullptr);
        if (paneprobeInFront) {
            EXPECT_EQ(GetFocus(), focused) << "the keys go back where they were";
        }
    }
};

TEST_F(FinderDrag, EachWayOfEndingTheDrag) {
    struct TCase {
        TEnd End;
        bool InFront;   // Paneprobe rather than the target program is the foreground window at the press
        bool Following; // before the drag; it waits while the finder is dragged
        bool Picked;
        int Count; // tracked windows after the drag; one window is tracked before it
    };
    // A cancelled drag with following on would hand the window under the pointer to following at once.
    const TCase cases[] = {
        {TEnd::Release, false, true, true, 1},          {TEnd::Release, true, false, true, 1},
        {TEnd::ShiftRelease, false, true, true, 2},     {TEnd::ShiftRelease, true, false, true, 2},
        {TEnd::Escape, false, false, false, 1},         {TEnd::Escape, true, false, false, 1},
        {TEnd::ReleaseOnFinder, true, false, false, 1},
    };
    HWND onto = target.Probe();
    const POINT goal = OwnPointOf(onto);
    ASSERT_EQ(WindowFromPoint(goal), onto) << "nothing covers the point aimed at";
    const DWORD processId = target.ProcessId();
    // Ending the target and letting go of the button unblocks any wait on its window or on the drag.
    TWatchdog watchdog(60000, [processId] {
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, processId)) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
        RunXdotool("mouseup 1 keyup shift");
    });
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(NameOf(c.End)) + (c.InFront ? ", Paneprobe in front" : ", target in front") +
                     (c.Following ? ", following" : ""));
        TrackWindow(form->Handle(), false, false);
        form->ScanAtMouse->SetValue(c.Following);
        Drag(goal, onto, c.End, c.InFront);
        ASSERT_NE(TrackedList->Current(), nullptr);
        ASSERT_EQ(TrackedList->Count(), c.Count);
        EXPECT_EQ(TrackedList->Get(c.Count - 1)->Handle == onto, c.Picked) << "the picked window comes last";
        EXPECT_EQ(TrackedList->ItemIndex(), 0) << "an added window does not become the current one";
        EXPECT_FALSE(form->ScanAtMouse->Value) << "a pick switches following off";
        EXPECT_EQ(form->StatusBar->PanelText(3),
                  FormatText("0x%.8x", HandleValue(TrackedList->Current()->Handle)))
            << "the status bar shows the tracked window again";
        form->ScanAtMouse->SetValue(false);
        MoveTo(CentreOf(form->Handle())); // away from the target before the next case
    }
    EXPECT_FALSE(watchdog.Fired());
}

} // namespace
