// The window commands. Each works only on the copies in its TWndTarget, never on a tracked-window record.
#include "tabs/WndFuncs.h"

#include "app/Shared.h"
#include "app/Utf8Text.h"
#include "app/WinApiEx.h"
#include "app/WindowCalls.h"
#include "ui/WinHandles.h"
#include "tabs/MoveSizeText.h"
#include "ui/Monitors.h"
#include "ui/QrDialogs.h"

#include <algorithm>
#include <vector>

const char* const DestroyQuestionCaption = "Destroy Window?";
const char* const DestroyFailedCaption = "Destroy Window";
const char* const DestroyFailedText = "Failed to destroy the window.";
const char* const EndDialogFailedCaption = "End Dialog";
const char* const EndDialogFailedText = "Failed to end the dialog.";
const char* const MoveSizeCaption = "Move/Size Window";
const char* const MoveSizeFailedText = "Error moving or sizing the Window!";

namespace {

const UINT NoMoveNoSize = SWP_NOMOVE | SWP_NOSIZE;
const DWORD DestroyWaitMs = 250;

// The caller clears the error code before the failing call: a call that fails without setting a code must
// not show the text of some earlier, unrelated error, nor "completed successfully".
void ShowFailure(const char* text, const char* caption) {
    DWORD code = GetLastError();
    std::string message = text;
    if (code != ERROR_SUCCESS) message += "\r\n\r\n" + ErrorText(code);
    ShowMessageBox(message, caption, MB_OK | MB_ICONERROR, nullptr);
}

bool IsEnabled(const TWndTarget& t) {
    return IsWindowEnabled(t.Handle) != FALSE;
}
bool IsVisible(const TWndTarget& t) {
    return IsWindowVisible(t.Handle) != FALSE;
}
bool IsMinimized(const TWndTarget& t) {
    return IsIconic(t.Handle) != FALSE;
}
bool IsMaximized(const TWndTarget& t) {
    return IsZoomed(t.Handle) != FALSE;
}
bool IsTopMost(const TWndTarget& t) {
    return (GetWindowLongA(t.Handle, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}
// The scroll-bar rows read the style of the last refresh, not a fresh one.
bool HasHorizontalScrollBar(const TWndTarget& t) {
    return (t.Style & WS_HSCROLL) != 0;
}
bool HasVerticalScrollBar(const TWndTarget& t) {
    return (t.Style & WS_VSCROLL) != 0;
}

// Commands on another thread's window must not wait for it: see WindowCalls.h. A toggle reads the state when
// it runs, so that two toggles queued for a hung window cancel out as the user meant.
void ToggleEnabled(const TWndTarget& t) {
    HWND h = t.Handle;
    CallWithoutWaiting(h, [h] { EnableWindow(h, !IsWindowEnabled(h)); });
}
void ToggleVisible(const TWndTarget& t) {
    ShowWindowAsync(t.Handle, IsWindowVisible(t.Handle) ? SW_HIDE : SW_SHOW);
}
void Restore(const TWndTarget& t) {
    ShowWindowAsync(t.Handle, SW_RESTORE);
}
void Minimize(const TWndTarget& t) {
    ShowWindowAsync(t.Handle, SW_MINIMIZE);
}
void Maximize(const TWndTarget& t) {
    ShowWindowAsync(t.Handle, SW_MAXIMIZE);
}
void BringToTop(const TWndTarget& t) {
    SetWindowPosSafely(t.Handle, HWND_TOP, 0, 0, 0, 0, NoMoveNoSize);
}
void SendToBack(const TWndTarget& t) {
    SetWindowPosSafely(t.Handle, HWND_BOTTOM, 0, 0, 0, 0, NoMoveNoSize);
}

void ToggleTopMost(const TWndTarget& t) {
    SetWindowPosSafely(t.Handle, IsTopMost(t) ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, NoMoveNoSize);
}

// The steps depend on each other (the rectangle is read once the window is restored), so for another
// thread's window the whole sequence runs off this thread rather than each call on its own.
void MakeViewableNow(HWND h) {
    if (IsIconic(h)) OpenIcon(h);
    if (!IsWindowVisible(h)) ShowWindowAsync(h, SW_SHOW);
    SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, NoMoveNoSize);
    SetForegroundWindow(h);
    SetFocus(h);
    RECT r = {};
    if (!GetWindowRect(h, &r)) return;
    // The monitor the window is nearest to, not the primary one: a window on a second monitor stays there.
    std::vector<TMonitorArea> monitors = DisplayMonitors();
    const TMonitorArea& monitor = monitors[static_cast<size_t>(NearestMonitor(monitors, ToIntRect(r)))];
    const TIntRect& screen = monitor.Bounds;
    if (r.left >= screen.Left - 10 && r.top >= screen.Top - 10 && r.right <= screen.Right + 10 &&
        r.bottom <= screen.Bottom + 10)
        return;
    const TIntRect placed = CenterInArea(ToIntRect(r), monitor.WorkArea);
    SetWindowPos(h, nullptr, placed.Left, placed.Top, placed.Right - placed.Left, placed.Bottom - placed.Top,
                 SWP_NOZORDER);
}

void MakeViewable(const TWndTarget& t) {
    HWND h = t.Handle;
    CallWithoutWaiting(h, [h] { MakeViewableNow(h); });
}

// Text messages go to another program's window: one that hangs must not hang us too. It gets the same
// half second as the tracked-window record's caption fallback.
const UINT TextTimeoutMs = 500;

bool SendWithin(HWND h, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(h, message, wParam, lParam, SMTO_ABORTIFHUNG, TextTimeoutMs, &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

// The window's own answer is its length, and a window may answer anything: the buffer is bounded, so a
// window cannot make us allocate without limit; a longer text is read up to the bound. The length is in
// bytes of our code page, but a window may count its characters instead: room for the longest UTF-8 form
// of that many, so that the text is not cut short.
bool ReadWindowText(HWND h, std::string& text) {
    LRESULT length = 0;
    if (!SendWithin(h, WM_GETTEXTLENGTH, 0, 0, length)) return false;
    if (length <= 0) {
        text.clear();
        return true;
    }
    const size_t room = static_cast<size_t>(std::min<LRESULT>(length, MaxWindowTextLength)) * MaxBytesPerUnit;
    std::vector<char> buffer(room + 1, '\0');
    LRESULT copied = 0;
    if (!SendWithin(h, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), copied))
        return false;
    text.assign(buffer.data(), EndAtWholeCharacter(buffer.data(), buffer.size()));
    return true;
}

// A window that does not answer in time starts the dialog from its stored title rather than from nothing:
// confirming the dialog unchanged must not wipe the window's text.
std::string FullWindowText(HWND h, bool answers) {
    std::string text;
    if (answers && ReadWindowText(h, text)) return text;
    return StoredWindowText(h, MaxWindowTextLength);
}

bool Answers(HWND h) {
    LRESULT unused = 0;
    return SendWithin(h, WM_NULL, 0, 0, unused);
}

// The dialog belongs to Paneprobe's main window and only stands over the target. Owned by the target, it
// would disable the target while open, and closing it would re-enable it with a WM_ENABLE sent to the
// target's thread (and join that thread's input to ours): a target that hangs meanwhile held Paneprobe.
bool AskAbout(HWND h, const char* prompt, std::string& value, const std::string& caption) {
    HWND owner = IsWindow(MainWindowHandle) ? MainWindowHandle : nullptr;
    return InputDialog(owner, prompt, value, nullptr, caption, h);
}

void SetText(const TWndTarget& t) {
    // Asked first because Wine's WM_GETTEXTLENGTH to a hung window of another process ignores the timeout.
    bool answers = Answers(t.Handle);
    std::string text = FullWindowText(t.Handle, answers);
    if (!AskAbout(t.Handle, "Enter a new Window Text...", text, t.ClassName)) return;
    SetWindowTextSafely(t.Handle, text);
}

void MoveSize(const TWndTarget& t) {
    HWND h = t.Handle;
    RECT r = {};
    GetWindowRect(h, &r);
    HWND parent = GetParent(h);
    if ((t.Style & WS_CHILD) && IsWindow(parent))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    TMoveSize geometry;
    geometry.Left = r.left;
    geometry.Top = r.top;
    geometry.Width = r.right - r.left;
    geometry.Height = r.bottom - r.top;
    std::string text = MoveSizeText(geometry);
    if (!AskAbout(h, "New Window Position (Left x Top; Width x Height)...", text, MoveSizeCaption)) return;
    TMoveSize wanted = ParseMoveSizeText(text, geometry);
    // The report is the fixed text alone. For another thread's window the move is only requested, so only
    // a request the platform refused (a window gone meanwhile) is reported.
    if (!SetWindowPosSafely(h, nullptr, wanted.Left, wanted.Top, wanted.Width, wanted.Height, wanted.Flags))
        ShowMessageBox(MoveSizeFailedText, MoveSizeCaption, MB_OK | MB_ICONERROR, nullptr);
}

void Redraw(const TWndTarget& t) {
    RedrawWindowSafely(t.Handle, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW | RDW_FRAME);
}

void ToggleHorizontalScrollBar(const TWndTarget& t) {
    ShowScrollBarSafely(t.Handle, SB_HORZ, !HasHorizontalScrollBar(t));
}
void ToggleVerticalScrollBar(const TWndTarget& t) {
    ShowScrollBarSafely(t.Handle, SB_VERT, !HasVerticalScrollBar(t));
}
void DrawFrame(const TWndTarget&) {}

void InvertColors(const TWndTarget& t) {
    RECT r = {};
    GetWindowRect(t.Handle, &r);
    TWindowDc dc(t.Handle, true);
    if (dc) BitBlt(dc.Get(), 0, 0, r.right - r.left, r.bottom - r.top, nullptr, 0, 0, DSTINVERT);
}

void Destroy(const TWndTarget& t) {
    std::string question = "Are you 100% sure you want to destroy the window?\r\n\r\n\"" + t.ClassName + "\"";
    if (ShowMessageBox(question, DestroyQuestionCaption, MB_YESNO | MB_ICONQUESTION, nullptr) != IDYES)
        return;
    PostMessageA(t.Handle, WM_CLOSE, 0, 0);
    PostMessageA(t.Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    Sleep(DestroyWaitMs);
    if (!IsWindow(t.Handle)) return;
    SetLastError(ERROR_SUCCESS);
    if (!DestroyWindow(t.Handle)) ShowFailure(DestroyFailedText, DestroyFailedCaption);
}

void EndDialogCommand(const TWndTarget& t) {
    SetLastError(ERROR_SUCCESS);
    if (!EndDialog(t.Handle, 0)) ShowFailure(EndDialogFailedText, EndDialogFailedCaption);
}

void SetStyleAt(const TWndTarget& t, int index, const char* prompt) {
    LONG current = GetWindowLongA(t.Handle, index);
    std::string text = FormatText("%s%x", HexPrefix.c_str(), static_cast<uint32_t>(current));
    if (!AskAbout(t.Handle, prompt, text, t.ClassName)) return;
    SetWindowLongSafely(t.Handle, index, IntFromText(text, current));
}

void SetStyle(const TWndTarget& t) {
    SetStyleAt(t, GWL_STYLE, "Enter the new style value...");
}
void SetExStyle(const TWndTarget& t) {
    SetStyleAt(t, GWL_EXSTYLE, "Enter the new extended style value...");
}

} // namespace

const TWndCommand WndCommands[WndCommandCount] = {
    {"Enable", ToggleEnabled, IsEnabled, ShortCutCtrl | 'E', false},
    {"Visible", ToggleVisible, IsVisible, ShortCutCtrl | 'W', false},
    {"Restore", Restore, nullptr, ShortCutCtrl | VK_MULTIPLY, true},
    {"Minimize", Minimize, IsMinimized, ShortCutCtrl | VK_SUBTRACT, false},
    {"Maximize", Maximize, IsMaximized, ShortCutCtrl | VK_ADD, false},
    {"Bring to Top", BringToTop, nullptr, ShortCutCtrl | VK_PRIOR, true},
    {"Send to Back", SendToBack, nullptr, ShortCutCtrl | VK_NEXT, false},
    {"Top Most", ToggleTopMost, IsTopMost, 0, false},
    {"Make Viewable", MakeViewable, nullptr, ShortCutCtrl | 'G', true},
    {"Set Window Text...", SetText, nullptr, ShortCutCtrl | 'T', false},
    {"Move/Size Window...", MoveSize, nullptr, ShortCutCtrl | 'S', false},
    {"Redraw Window", Redraw, nullptr, ShortCutCtrl | 'R', false},
    {"Horizontal Scrollbar", ToggleHorizontalScrollBar, HasHorizontalScrollBar, 0, true},
    {"Vertical Scrollbar", ToggleVerticalScrollBar, HasVerticalScrollBar, 0, false},
    {"Draw Frame (n/a)", DrawFrame, nullptr, ShortCutCtrl | 'F', true},
    {"Invert Colors", InvertColors, nullptr, ShortCutCtrl | 'I', false},
    {"Destroy Window...", Destroy, nullptr, ShortCutCtrl | 'Q', true},
    {"End Dialog...", EndDialogCommand, nullptr, 0, false},
    {"Set Style...", SetStyle, nullptr, ShortCutAlt | 'S', true},
    {"Set Extended Style...", SetExStyle, nullptr, ShortCutShift | ShortCutAlt | 'S', false},
};

TWndTarget WndTargetOf(const TWindowDetails& record) {
    TWndTarget target;
    target.Handle = record.Handle;
    target.ClassName = record.ClassName;
    target.Style = record.Style;
    return target;
}

void RunWindowCommand(int row, TWindowList& list, bool allWindows) {
    if (row < 0 || row >= WndCommandCount) return;
    const TWndCommand& command = WndCommands[row];
    if (!allWindows) {
        if (const TWindowDetails* record = list.Current()) command.Execute(WndTargetOf(*record));
        return;
    }
    // Each record is looked up again when its turn comes: a dialog of an earlier run may have let the timers
    // replace the list.
    int count = list.Count();
    for (int i = 0; i < count; ++i)
        if (const TWindowDetails* record = list.Get(i)) command.Execute(WndTargetOf(*record));
}
