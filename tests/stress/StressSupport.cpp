// The reliability runs' shared machinery.
#include "StressSupport.h"

#include "TargetProcess.h"
#include "ui/QrDialogs.h"

#include <cstdio>
#include <cstdlib>

namespace {

const DWORD ProbeEveryMs = 250;
const DWORD DismissEveryMs = 15;
const char* const DialogClass = "#32770";

std::string EnvText(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM context) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && std::string(className) == DialogClass)
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM context) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && std::string(className) == "#32768")
        *reinterpret_cast<bool*>(context) = true;
    return TRUE;
}

BOOL CALLBACK CollectDescendant(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

// The input dialog carries the edit 11; a message box carries some of the standard buttons.
void Answer(HWND dialog) {
    HWND edit = GetDlgItem(dialog, InputDialogEditId);
    if (edit) {
        char text[32];
        std::snprintf(text, sizeof text, "%d", RandomBelow(1000));
        SetWindowTextA(edit, text);
        PostMessageA(dialog, WM_COMMAND, RandomBelow(2) ? IDOK : IDCANCEL, 0);
        return;
    }
    static const int buttons[] = {IDYES, IDNO, IDOK, IDCANCEL};
    std::vector<int> present;
    for (int id : buttons)
        if (GetDlgItem(dialog, id)) present.push_back(id);
    int id = present.empty() ? IDCANCEL
                             : present[static_cast<size_t>(RandomBelow(static_cast<int>(present.size())))];
    PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

} // namespace

bool LongRuns() {
    return EnvText("PANEPROBE_STRESS") == "long";
}

int RunSeconds(int shortSeconds, int longSeconds) {
    int given = std::atoi(EnvText("PANEPROBE_STRESS_SECONDS").c_str());
    if (given > 0) return given;
    return LongRuns() ? longSeconds : shortSeconds;
}

void PrintFigure(const std::string& run, const std::string& name, const std::string& value) {
    std::printf("[figure] %s: %s = %s\n", run.c_str(), name.c_str(), value.c_str());
    std::fflush(stdout);
}

// The short runs of ./test take one fixed sequence, so that a failure there is the same every time; the long
// runs take a new one each time; PANEPROBE_STRESS_SEED repeats any run's sequence.
uint32_t RandomSeed() {
    static const uint32_t seed = [] {
        std::string text = EnvText("PANEPROBE_STRESS_SEED");
        if (!text.empty()) return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 0)) | 1u;
        return LongRuns() ? static_cast<uint32_t>(GetTickCount() | 1u) : 0x2545F491u;
    }();
    return seed;
}

uint32_t NextRandom() {
    static uint32_t state = RandomSeed();
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

int RandomBelow(int limit) {
    return limit > 0 ? static_cast<int>(NextRandom() % static_cast<uint32_t>(limit)) : 0;
}

TUiWatchdog::TUiWatchdog(HWND window) : window(window), worker([this] { Run(); }) {}

TUiWatchdog::~TUiWatchdog() {
    stop = true;
    worker.join();
}

void TUiWatchdog::Run() {
    DWORD lastAnswer = GetTickCount();
    bool inHang = false;
    while (!stop) {
        DWORD_PTR result = 0;
        DWORD sent = GetTickCount();
        bool answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, HangMs, &result) != 0;
        DWORD now = GetTickCount();
        ++probes;
        if (answered) {
            lastAnswer = now;
            inHang = false;
        } else if (!IsWindow(window)) {
            return; // the window went at the end of the run
        } else if (!inHang) {
            // One hang per silence, however long it lasts.
            inHang = true;
            ++hangs;
        }
        DWORD silence = now - (answered ? sent : lastAnswer);
        if (silence > longest) longest = silence;
        if (!answered && now - lastAnswer > FatalMs) {
            std::fprintf(stderr, "The user-interface thread has not answered for %lu s: ending the run.\n",
                         static_cast<unsigned long>((now - lastAnswer) / 1000));
            std::fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 3);
        }
        Sleep(ProbeEveryMs);
    }
}

TDialogDismisser::TDialogDismisser(DWORD threadId, bool menusOnly)
    : threadId(threadId), menusOnly(menusOnly), worker([this] { Run(); }) {}

TDialogDismisser::~TDialogDismisser() {
    stop = true;
    worker.join();
}

void TDialogDismisser::Run() {
    std::vector<HWND> pending; // answered but not yet gone: not answered twice
    while (!stop) {
        for (HWND dialog : menusOnly ? std::vector<HWND>() : ThreadDialogs(threadId)) {
            bool seen = false;
            for (HWND p : pending)
                seen = seen || p == dialog;
            if (seen) continue;
            Answer(dialog);
            pending.push_back(dialog);
            ++answered;
        }
        bool menuOpen = false;
        EnumThreadWindows(threadId, FindMenuWindow, reinterpret_cast<LPARAM>(&menuOpen));
        // A popup menu's loop ends on the thread's own menu state; EndMenu reaches it from here, and the
        // menu's owner is told to cancel its mode too, as a click elsewhere would.
        if (menuOpen) {
            EndMenu();
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            if (GetGUIThreadInfo(threadId, &info) && info.hwndMenuOwner)
                PostMessageA(info.hwndMenuOwner, WM_CANCELMODE, 0, 0);
            ++answered;
        }
        std::vector<HWND> still;
        for (HWND p : pending)
            if (IsWindow(p) && IsWindowVisible(p)) still.push_back(p);
        pending.swap(still);
        Sleep(DismissEveryMs);
    }
}

std::vector<HWND> ThreadDialogs(DWORD threadId) {
    std::vector<HWND> dialogs;
    EnumThreadWindows(threadId, CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

std::vector<HWND> WindowAndDescendants(HWND window) {
    std::vector<HWND> windows = {window};
    EnumChildWindows(window, CollectDescendant, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<TTabWork>& TabWorkTable() {
    static std::vector<TTabWork> table;
    return table;
}

int RunTabWork(TPaneprobeTab& tab, int step) {
    int done = 0;
    for (const TTabWork& work : TabWorkTable())
        if (work.Matches(&tab)) done += work.Step(tab, step);
    return done;
}

UINT_PTR TChurnTarget::Created() const {
    return reinterpret_cast<UINT_PTR>(GetPropA(MainWindow(), "PaneprobeChurnCreated"));
}

UINT_PTR TChurnTarget::Destroyed() const {
    return reinterpret_cast<UINT_PTR>(GetPropA(MainWindow(), "PaneprobeChurnDestroyed"));
}
