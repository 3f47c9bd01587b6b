// Measures one fast-timer tick with scanning on over another process's window against the bare platform
// queries such a tick must make, in the same run, and prints the ratio and the ticks per second.
#include "app/Main.h"
#include "config/EasyConfig.h"
#include "tests/win32/TargetProcess.h"

#include <commctrl.h>

#include <cstdio>

void RunPlacementBench(TPaneprobeForm& form, TTargetProcess& target);

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

// Exactly what a tick asks the platform: the cursor, the window under it, the record's six reads, the
// rectangle and whether the window still exists.
void BareQueries() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    HWND window = WindowFromPoint(cursor);
    DWORD processId = 0;
    char className[260], caption[260];
    volatile HWND parent = GetParent(window);
    volatile DWORD threadId = GetWindowThreadProcessId(window, &processId);
    volatile LONG style = GetWindowLongA(window, GWL_STYLE);
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (caption[0] == '\0') {
        DWORD_PTR length = 0;
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof caption, reinterpret_cast<LPARAM>(caption),
                            SMTO_ABORTIFHUNG, 500, &length);
    }
    RECT rect;
    GetWindowRect(window, &rect);
    volatile BOOL alive = IsWindow(window);
    (void)parent, (void)threadId, (void)style, (void)alive;
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    TTargetProcess target("bench");
    if (!target.MainWindow()) {
        std::printf("The target program did not start.\n");
        return 1;
    }
    {
        TPaneprobeForm form;
        form.UpdateInterval->SetValue(0); // the ticks are driven here, not by the timer
        SetWindowPos(form.Handle(), nullptr, 560, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(target.MainWindow(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
        // The pointer rests on the target's control that keeps its text itself.
        HWND keeperWindow = target.Child(TTargetProcess::KeeperId);
        for (int attempt = 0; attempt < 100; ++attempt) {
            RECT keeper = {};
            GetWindowRect(keeperWindow, &keeper);
            POINT centre = {(keeper.left + keeper.right) / 2, (keeper.top + keeper.bottom) / 2};
            SetCursorPos(centre.x, centre.y);
            Pump();
            if (WindowFromPoint(centre) == keeperWindow) break;
            Sleep(20);
        }
        POINT cursor = {};
        GetCursorPos(&cursor);
        if (WindowFromPoint(cursor) != keeperWindow) {
            RECT keeper = {};
            GetWindowRect(keeperWindow, &keeper);
            std::printf("Could not rest the pointer on the target's control: pointer at %ld,%ld, control at "
                        "%ld,%ld-%ld,%ld.\n",
                        cursor.x, cursor.y, keeper.left, keeper.top, keeper.right, keeper.bottom);
            return 1;
        }
        form.ScanAtMouse->SetValue(true);
        Pump();
        form.FastTick();
        TWindowDetails* tracked = TrackedList->Current();
        std::printf("Tracking %s \"%s\" of process %lu (Paneprobe is %lu)\n", tracked->ClassName,
                    tracked->Caption, static_cast<unsigned long>(tracked->ProcessId),
                    static_cast<unsigned long>(GetCurrentProcessId()));

        // Resting: the pointer stays on one window, as when the user reads the status bar. Moving: it
        // alternates between two windows, so every tick shows another window and repaints the bar; both loops
        // then also pay for moving the pointer.
        RECT button = {};
        GetWindowRect(target.Child(TTargetProcess::ButtonId), &button);
        POINT spots[2] = {{}, {(button.left + button.right) / 2, (button.top + button.bottom) / 2}};
        GetCursorPos(&spots[0]);
        for (bool moving : {false, true}) {
            const int rounds = 10, perRound = 200;
            double tickTime = 0, bareTime = 0;
            for (int round = 0; round < rounds; ++round) {
                double start = Now();
                for (int i = 0; i < perRound; ++i) {
                    if (moving) SetCursorPos(spots[i & 1].x, spots[i & 1].y);
                    BareQueries();
                }
                bareTime += Now() - start;
                start = Now();
                for (int i = 0; i < perRound; ++i) {
                    if (moving) SetCursorPos(spots[i & 1].x, spots[i & 1].y);
                    form.FastTick();
                }
                tickTime += Now() - start;
                Pump();
            }
            const double count = rounds * perRound;
            double tick = tickTime / count, bare = bareTime / count;
            std::printf("\n%s\n",
                        moving
                            ? "Pointer moving between two windows of the target (bar repainted every tick):"
                            : "Pointer resting on the target's control (the bar shows the same):");
            std::printf("  bare platform queries: %8.1f us per tick\n", bare * 1e6);
            std::printf(
                "  Paneprobe tick:        %8.1f us per tick (TrackWindow, the tabs told once, status bar)\n",
                tick * 1e6);
            std::printf("  ratio: %.2fx (target at most 1.5x); ticks per second: %.0f (bare: %.0f)\n",
                        tick / bare, 1.0 / tick, 1.0 / bare);
        }
        form.ScanAtMouse->SetValue(false);
        RunPlacementBench(form, target);
    }
    DeleteFileA((TestProgramFolder() + "paneprobe_bench.ini").c_str());
    return 0;
}
