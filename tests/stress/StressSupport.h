// What the reliability runs share: their durations, a watchdog on the user-interface thread, a thread
// that answers the dialogs the runs open, the program's windows, and the figures they print.
#pragma once

#include "TargetProcess.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class TPaneprobeTab;

// True when PANEPROBE_STRESS is "long": the full runs of ./stress instead of the short ones of ./test.
bool LongRuns();
// The run's length in seconds: the long or the short figure, or PANEPROBE_STRESS_SECONDS when set.
int RunSeconds(int shortSeconds, int longSeconds);
// Prints one figure line that ./stress collects: "[figure] run: name = value".
void PrintFigure(const std::string& run, const std::string& name, const std::string& value);

// The seed of the run's random choices, printed with the figures so that a run can be repeated.
uint32_t RandomSeed();
uint32_t NextRandom();
int RandomBelow(int limit);

// Asks a window of the user-interface thread for an answer every quarter second from a thread of its own.
// An answer that does not come within 2 s counts one hang. A thread that stays silent for a whole minute
// ends the process, so that a hang fails the suite instead of stopping it.
class TUiWatchdog {
  public:
    explicit TUiWatchdog(HWND window);
    ~TUiWatchdog();
    TUiWatchdog(const TUiWatchdog&) = delete;
    TUiWatchdog& operator=(const TUiWatchdog&) = delete;

    int Hangs() const { return hangs.load(); }
    int Probes() const { return probes.load(); }
    DWORD LongestSilenceMs() const { return longest.load(); }

    static const DWORD HangMs = 2000;
    static const DWORD FatalMs = 60000;

  private:
    void Run();
    HWND window;
    std::atomic<bool> stop{false};
    std::atomic<int> hangs{0};
    std::atomic<int> probes{0};
    std::atomic<DWORD> longest{0};
    std::thread worker;
};

// Answers every dialog and message box of one thread as it appears: the input dialog gets a random text and
// OK or Cancel, a message box a random one of its buttons; a popup menu is closed. Counts what it answered.
class TDialogDismisser {
  public:
    // With menusOnly the dialogs stay open and only popup menus are closed.
    explicit TDialogDismisser(DWORD threadId, bool menusOnly = false);
    ~TDialogDismisser();
    TDialogDismisser(const TDialogDismisser&) = delete;
    TDialogDismisser& operator=(const TDialogDismisser&) = delete;
    int Answered() const { return answered.load(); }

  private:
    void Run();
    DWORD threadId;
    bool menusOnly;
    std::atomic<bool> stop{false};
    std::atomic<int> answered{0};
    std::thread worker;
};

// The dialogs of a thread that are showing now (top-level windows of the dialog class).
std::vector<HWND> ThreadDialogs(DWORD threadId);
// A window and all its descendants, the window first.
std::vector<HWND> WindowAndDescendants(HWND window);

// Extra work a tab can be given in the runs beyond being shown and refreshed: choosing its modes, pressing
// its commands. Registered per tab class (TabWorkTable().push_back at start-up, for example from a static
// initialiser in the tab's test file); a tab without an entry is shown, refreshed and told of the list.
struct TTabWork {
    bool (*Matches)(const TPaneprobeTab* tab);
    // Does one step of the tab's work on whatever is tracked; returns the operations done.
    int (*Step)(TPaneprobeTab& tab, int step);
};
std::vector<TTabWork>& TabWorkTable();
int RunTabWork(TPaneprobeTab& tab, int step);

// The target program in churn mode (another process), ended when this goes out of scope.
class TChurnTarget {
  public:
    HWND MainWindow() const { return target.MainWindow(); }
    DWORD ProcessId() const { return target.ProcessId(); }
    bool Running() const { return target.Running(); }
    // Windows the churn has created and destroyed so far, as it counts them.
    UINT_PTR Created() const;
    UINT_PTR Destroyed() const;
    // The area over which the churn happens, in screen coordinates.
    static const int AreaWidth = 520;
    static const int AreaHeight = 460;

  private:
    TTargetProcess target{"churn churn"};
};
