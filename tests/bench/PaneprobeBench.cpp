// Measures one fast-timer tick with scanning on over another process's window against the bare platform
// queries such a tick must make, in the same run, and prints the ratio and the ticks per second.
#include "BenchClock.h"
#include "BenchTimers.h"
#include "app/Main.h"
#include "app/WinApiEx.h"
#include "config/EasyConfig.h"
#include "messages/TabMessages.h"
#include "tests/win32/TargetProcess.h"
#include "ScaleBench.h"
#include "TabsBench.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

void RunPlacementBench(TPaneprobeForm& form, TTargetProcess& target);
void RunLogBench();
void RunSnapshotBench();

namespace {

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

// The platform's floor for showing what a tick found: the bar's panels drawn into a kept memory bitmap and
// copied to a plain window of the bar's size at once, as the status bar does.
class TBareBar {
  public:
    TBareBar(int width, int height) : width(width), height(height) {
        window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "STATIC", "", WS_POPUP | WS_VISIBLE, 0,
                                 0, width, height, nullptr, nullptr, nullptr, nullptr);
        HDC screen = GetDC(window);
        memory = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        old = SelectObject(memory, bitmap);
        ReleaseDC(window, screen);
        SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
    }
    ~TBareBar() {
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        DestroyWindow(window);
    }
    void Show(HWND shown) {
        char className[260] = "";
        GetClassNameA(shown, className, sizeof className);
        RECT rect = {};
        GetWindowRect(shown, &rect);
        char handle[32], place[64];
        std::snprintf(handle, sizeof handle, "0x%.8lx", static_cast<unsigned long>(HandleValue(shown)));
        std::snprintf(place, sizeof place, "%ld x %ld / %ld x %ld", rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top);
        RECT all = {0, 0, width, height};
        FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
        SetBkMode(memory, TRANSPARENT);
        const char* const texts[] = {className, "P", "1 / 1", handle, place};
        int left = 0;
        for (const char* text : texts) {
            RECT cell = {left, 0, left + width / 5, height};
            std::wstring wide(text, text + std::strlen(text));
            DrawEdge(memory, &cell, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            DrawTextW(memory, wide.c_str(), static_cast<int>(wide.size()), &cell,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
            left += width / 5;
        }
        HDC screen = GetDC(window);
        BitBlt(screen, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        ReleaseDC(window, screen);
    }

  private:
    const int width, height;
    HWND window = nullptr;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
};

// A keystroke in the Messages tab's filter box (the setting, the match over every name, the list refilled)
// against the bare refill of the same combo box with the same entries.
void BenchFilter(TPaneprobeForm& form, const std::string& tableFile, const char* title) {
    auto* tab = static_cast<TMessageTab*>(form.TabManager->FindTab(TabClassOf<TMessageTab>()));
    if (!tab) return;
    tab->LoadMessageTable(tableFile);
    const char* const typing[] = {"",   "l", "lv", "lvm", "lvm_", "lvm_g", "lvm_ge", "lvm_g", "lvm_", "lvm",
                                  "lv", "l", "",   "e",   "em",   "em_",   "em_s",   "em_",   "em",   "e"};
    const int steps = static_cast<int>(sizeof typing / sizeof typing[0]);
    // The lists each step shows, taken once so that the bare loop only fills.
    std::vector<std::vector<std::string>> lists;
    for (const char* text : typing) {
        tab->FilterVar->SetValue(text);
        std::vector<std::string> list;
        for (int i = 0; i < tab->MessageCombo->ItemCount(); ++i)
            list.push_back(tab->MessageCombo->ItemText(i));
        lists.push_back(std::move(list));
    }
    HWND combo = tab->MessageCombo->Handle();
    const int rounds = 5;
    double bareTime = 0, filterTime = 0, tabTime = 0, othersTime = 0, slowestTime = 0;
    std::string slowest; // the tab that took longest to hear of one step
    for (int round = 0; round < rounds; ++round) {
        double start = Seconds();
        for (const auto& list : lists) {
            TRedrawOff redraw(combo);
            SendMessageA(combo, CB_RESETCONTENT, 0, 0);
            for (const std::string& text : list)
                SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
            redraw.Resume();
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
        }
        bareTime += Seconds() - start;
        tab->FilterVar->SetValue("zzz"); // the next round starts from a list that differs
        start = Seconds();
        for (const char* text : typing)
            tab->FilterVar->SetValue(text);
        filterTime += Seconds() - start;
        tab->FilterVar->SetValue("zzz");
        // The tab's own part: the same steps without the other listeners of the setting.
        start = Seconds();
        for (const char* text : typing) {
            tab->FilterVar->Value = text;
            tab->ConfigChanged(*tab->FilterVar);
        }
        tabTime += Seconds() - start;
        // The other listeners alone: every tab but this one hearing of the same steps.
        for (const char* text : typing) {
            tab->FilterVar->Value = text;
            for (int i = 0; i < form.TabManager->Count(); ++i) {
                TPaneprobeTab* other = form.TabManager->TabAt(i);
                if (other == tab) continue;
                start = Seconds();
                other->ConfigChanged(*tab->FilterVar);
                const double spent = Seconds() - start;
                othersTime += spent;
                if (spent > slowestTime) {
                    slowestTime = spent;
                    slowest = other->Caption;
                }
            }
        }
        PumpAll();
    }
    const double count = rounds * steps;
    double keystroke = filterTime / count, bare = bareTime / count;
    std::printf("\nFilter keystroke in the Messages tab, %s (%d rows):\n", title,
                tab->MessageTable.RowCount());
    std::printf("  bare list refill:      %8.2f ms per keystroke\n", bare * 1e3);
    std::printf(
        "  Paneprobe keystroke:   %8.2f ms per keystroke (setting, match, refill; target under 50 ms)\n",
        keystroke * 1e3);
    std::printf(
        "  of which the Messages tab: %6.2f ms; the other tabs hearing of the setting: %.3f ms (longest "
        "once: %s, %.3f ms)\n",
        tabTime / count * 1e3, othersTime / count * 1e3, slowest.c_str(), slowestTime * 1e3);
    std::printf("  ratio: %.2fx\n", keystroke / bare);
    tab->FilterVar->SetValue("");
}

// The delivered table three times over, each name also in an A and a W form: the size of a table that holds
// every standard message.
std::string WriteTripledTable(const std::string& source) {
    TCsvFile table(',', '#');
    table.LoadFromFile(source);
    std::string text = "Name,Value,Result\n";
    for (int row = 0; row < table.RowCount(); ++row) {
        std::string name = table.GetCell(row, 0), value = table.GetCell(row, 1);
        std::string result = "\"" + table.GetCell(row, 2) + "\"";
        text += name + "," + value + "," + result + "\n";
        text += name + "A," + value + "," + result + "\n";
        text += name + "W," + value + "," + result + "\n";
    }
    std::string file = TestProgramFolder() + "paneprobe_bench_table.csv";
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (handle != INVALID_HANDLE_VALUE) {
        WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(handle);
    }
    return file;
}

void BenchFilters(TPaneprobeForm& form) {
    const std::string table = TestProgramFolder() + "WindowMessages.csv";
    BenchFilter(form, table, "the delivered table");
    const std::string tripled = WriteTripledTable(table);
    BenchFilter(form, tripled, "a table three times larger");
    DeleteFileA(tripled.c_str());
}

} // namespace

void BenchHandleScan();
void RunStartupBench();

// "log" as the argument runs the message log's figures alone, "snapshot" the snapshot's; "scale", "startup",
// "tabs" and "ui" theirs.
int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    if (argc > 1 && std::strcmp(argv[1], "log") == 0) {
        RunLogBench();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "snapshot") == 0) {
        RunSnapshotBench();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "startup") == 0) {
        RunStartupBench();
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "tabs") == 0) { // the tab refreshes and the filter keystroke
        TPaneprobeForm form;
        HoldFormTimers(form);
        RunTabsBench(form);
        BenchFilters(form);
        return 0;
    }
    if (argc > 1 && std::strcmp(argv[1], "scale") == 0) {
        TPaneprobeForm form;
        HoldFormTimers(form);
        RunScaleBench(form);
        return 0;
    }
    // "ui" runs the tick, the tabs, the filter and the scale figures without the others.
    const bool uiOnly = argc > 1 && std::strcmp(argv[1], "ui") == 0;
    TTargetProcess target("bench");
    if (!target.MainWindow()) {
        std::printf("The target program did not start.\n");
        return 1;
    }
    {
        TPaneprobeForm form;
        HoldFormTimers(form);
        SetWindowPos(form.Handle(), nullptr, 560, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(target.MainWindow(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
        // The pointer rests on the target's control that keeps its text itself.
        HWND keeperWindow = target.Child(TTargetProcess::KeeperId);
        for (int attempt = 0; attempt < 100; ++attempt) {
            RECT keeper = {};
            GetWindowRect(keeperWindow, &keeper);
            POINT centre = {(keeper.left + keeper.right) / 2, (keeper.top + keeper.bottom) / 2};
            SetCursorPos(centre.x, centre.y);
            PumpAll();
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
        PumpAll();
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
        RECT barRect = {};
        GetClientRect(form.StatusBar->Handle(), &barRect);
        TBareBar bareBar(barRect.right, barRect.bottom);
        for (bool moving : {false, true}) {
            const int rounds = 10, perRound = 200;
            double tickTime = 0, bareTime = 0, drawnTime = 0;
            for (int round = 0; round < rounds; ++round) {
                double start = Seconds();
                for (int i = 0; i < perRound; ++i) {
                    if (moving) SetCursorPos(spots[i & 1].x, spots[i & 1].y);
                    BareQueries();
                }
                bareTime += Seconds() - start;
                if (moving) {
                    start = Seconds();
                    for (int i = 0; i < perRound; ++i) {
                        SetCursorPos(spots[i & 1].x, spots[i & 1].y);
                        POINT cursor = {};
                        GetCursorPos(&cursor);
                        BareQueries();
                        bareBar.Show(WindowFromPoint(cursor));
                    }
                    drawnTime += Seconds() - start;
                }
                start = Seconds();
                for (int i = 0; i < perRound; ++i) {
                    if (moving) SetCursorPos(spots[i & 1].x, spots[i & 1].y);
                    form.FastTick();
                }
                tickTime += Seconds() - start;
                PumpAll();
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
            if (moving)
                std::printf(
                    "  the platform's floor with the bar drawn (the queries, five panels drawn into a kept "
                    "bitmap and copied at once): %.1f us per tick; the tick against it: %.2fx\n",
                    drawnTime / count * 1e6, tickTime / drawnTime);
        }
        form.ScanAtMouse->SetValue(false);
        RunPlacementBench(form, target);
        RunTabsBench(form);
        BenchFilters(form);
        RunScaleBench(form);
    }
    if (!uiOnly) {
        BenchHandleScan();
        RunStartupBench();
        RunLogBench();
        RunSnapshotBench();
    }
    DeleteFileA((TestProgramFolder() + "paneprobe_bench.ini").c_str());
    return 0;
}
