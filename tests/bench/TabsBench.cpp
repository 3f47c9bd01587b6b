// Refresh costs of the Processes and Properties tabs, each as a ratio against its bare platform work.
#include "TabsBench.h"

#include "BenchClock.h"
#include "BenchTimers.h"
#include "PagePaintBench.h"
#include "app/QrLib.h"
#include "app/WorkerThread.h"
#include "config/EasyConfig.h"
#include "processes/TabProcesses.h"
#include "tabs/TabProperties.h"
#include "tests/win32/TargetProcess.h"

#include <tlhelp32.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

struct TBareCounts {
    int Processes = 0;
    int Windows = 0;
};

// What a Processes refresh cannot avoid: one snapshot; one window enumeration with each window's process
// and the facts its score needs; per process one open for its times and path (a second, lesser open where
// the first is refused); and the caption of its chosen window, asked of the window when none is stored.
TBareCounts BareProcessesRefresh() {
    TBareCounts counts;
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
            ids.push_back(entry.th32ProcessID);
        CloseHandle(snapshot);
    }
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::vector<HWND> windowOf(ids.size(), nullptr);
    for (HWND window : windows) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        char text[2];
        RECT rect;
        volatile int facts = GetWindowTextA(window, text, sizeof text) + (GetParent(window) ? 1 : 0) +
                             GetWindowRect(window, &rect) + GetWindowLongA(window, GWL_STYLE);
        (void)facts;
        for (size_t i = 0; i < ids.size(); ++i)
            if (ids[i] == processId && !windowOf[i]) windowOf[i] = window;
    }
    for (size_t i = 0; i < ids.size(); ++i) {
        char path[260];
        DWORD size = sizeof path;
        if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ids[i])) {
            FILETIME times[4];
            GetProcessTimes(process, &times[0], &times[1], &times[2], &times[3]);
            QueryFullProcessImageNameA(process, 0, path, &size);
            CloseHandle(process);
        } else if (HANDLE limited = OpenProcess(0x1000, FALSE, ids[i])) {
            QueryFullProcessImageNameA(limited, 0, path, &size);
            CloseHandle(limited);
        }
        if (windowOf[i]) {
            char caption[260] = "";
            if (GetWindowTextA(windowOf[i], caption, sizeof caption) == 0) {
                DWORD_PTR length = 0;
                SendMessageTimeoutA(windowOf[i], WM_GETTEXT, sizeof caption,
                                    reinterpret_cast<LPARAM>(caption), SMTO_ABORTIFHUNG, 500, &length);
            }
        }
    }
    counts.Processes = static_cast<int>(ids.size());
    counts.Windows = static_cast<int>(windows.size());
    return counts;
}

BOOL CALLBACK CountProperty(HWND, LPSTR, HANDLE, ULONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// What a Properties refresh cannot avoid: for the Process and Rect rows the process's times, path and object
// counts, the rectangles and the two style words; for the detail groups the class's and the window's words,
// the related windows and states, the thread's input state, the process's bitness, token and priority, the
// property list and the extra bytes.
void BarePropertiesRefresh(HWND window) {
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)) {
        FILETIME times[4];
        GetProcessTimes(process, &times[0], &times[1], &times[2], &times[3]);
        char path[260];
        DWORD size = sizeof path;
        QueryFullProcessImageNameA(process, 0, path, &size);
        for (DWORD counter : {0u, 1u, 2u, 4u})
            GetGuiResources(process, counter);
        BOOL wow64 = FALSE;
        IsWow64Process(process, &wow64);
        GetPriorityClass(process);
        HANDLE token = nullptr;
        if (OpenProcessToken(process, TOKEN_QUERY, &token)) {
            char buffer[256];
            DWORD length = 0;
            for (TOKEN_INFORMATION_CLASS kind : {TokenIntegrityLevel, TokenElevation, TokenSessionId})
                GetTokenInformation(token, kind, buffer, sizeof buffer, &length);
            CloseHandle(token);
        }
        CloseHandle(process);
    }
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    GetClientRect(window, &rect);
    GetWindowRgnBox(window, &rect);
    volatile LONG_PTR words = GetWindowLongA(window, GWL_STYLE) + GetWindowLongA(window, GWL_EXSTYLE);
    for (int index : {GCL_STYLE, GCLP_WNDPROC, GCLP_HMODULE, GCLP_HICON, GCLP_HICONSM, GCLP_HCURSOR,
                      GCLP_HBRBACKGROUND, GCL_CBCLSEXTRA})
        words = words + static_cast<LONG_PTR>(GetClassLongPtrA(window, index));
    words = words + GetClassWord(window, GCW_ATOM);
    for (int index : {GWLP_ID, GWLP_USERDATA, GWLP_WNDPROC, GWLP_HINSTANCE})
        words = words + GetWindowLongPtrA(window, index);
    words = words + reinterpret_cast<LONG_PTR>(GetWindow(window, GW_OWNER)) +
            reinterpret_cast<LONG_PTR>(GetAncestor(window, GA_ROOTOWNER)) +
            reinterpret_cast<LONG_PTR>(GetLastActivePopup(window)) + IsZoomed(window) + IsIconic(window) +
            IsWindowVisible(window) + IsWindowEnabled(window) + IsWindowUnicode(window);
    GUITHREADINFO input = {};
    input.cbSize = sizeof input;
    GetGUIThreadInfo(threadId, &input);
    int properties = 0;
    EnumPropsExA(window, CountProperty, reinterpret_cast<LPARAM>(&properties));
    const int extra = static_cast<int>(GetClassLongPtrA(window, GCL_CBWNDEXTRA));
    for (int offset = 0; offset + static_cast<int>(sizeof(LONG_PTR)) <= extra && offset < 256;
         offset += static_cast<int>(sizeof(LONG_PTR)))
        words = words + GetWindowLongPtrA(window, offset);
    (void)words;
}

// A reload is gathered on a worker: one refresh lasts until its result is shown. Unpainted, only the result's
// word (and the words of the shares that fill rows in) is handled and the list's invalid region dropped.
void ReloadDelivered(TProcessesTab& processes, bool paint) {
    processes.ReloadProcesses();
    HWND list = processes.ListView->Handle();
    while (processes.Gathering()) {
        // Waits as the message loop would, until the worker's word arrives: a loop that asked the window
        // system every millisecond kept its server busy and slowed the worker's own questions to it.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG message;
        if (!paint && PeekMessageA(&message, list, WM_APP + 7, WM_APP + 8, PM_REMOVE)) {
            DispatchMessageA(&message);
            ValidateRect(list, nullptr);
        }
        if (paint) PumpAll();
    }
}

template <class F> double TimePer(int count, F work, bool paint = true) {
    double start = Seconds();
    for (int i = 0; i < count; ++i) {
        work();
        if (paint) PumpAll();
    }
    return (Seconds() - start) / count;
}

// The bare work on a kept worker thread, awaited as the tab awaits its own gathering: the floor for work
// that leaves the user-interface thread free.
void BareOnWorker(TWorkerThread& worker, HANDLE done) {
    if (!worker.TryRun([] { BareProcessesRefresh(); }, [done] { SetEvent(done); })) {
        BareProcessesRefresh();
        return;
    }
    while (MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpAll();
}

std::vector<std::string> ListCells(HWND list) {
    std::vector<std::string> cells;
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int row = 0; row < ListView_GetItemCount(list); ++row)
        for (int column = 0; column < columns; ++column) {
            char text[512] = "";
            ListView_GetItemText(list, row, column, text, sizeof text);
            cells.push_back(text);
        }
    return cells;
}

// How many cells a reload changes, on average: what the platform's own list would have to repaint.
double ChangedCellsPerRefresh(HWND list, int refreshes, const std::function<void()>& refresh) {
    std::vector<std::string> before = ListCells(list);
    size_t changed = 0;
    for (int i = 0; i < refreshes; ++i) {
        refresh();
        PumpAll();
        std::vector<std::string> after = ListCells(list);
        for (size_t c = 0; c < after.size(); ++c)
            changed += c >= before.size() || before[c] != after[c] ? 1 : 0;
        before = std::move(after);
    }
    return static_cast<double>(changed) / refreshes;
}

// The bare work and then the platform's own list, a plain copy of the page, showing as many changed cells
// as a refresh changes: each set and the list painted.
double BarePaintedRefreshes(HWND list, int count, double cellsPerRefresh,
                            const std::function<void()>& bareWork) {
    TBareHost host(list);
    HWND copy = host.Get() ? CopyListPage(list, host) : nullptr;
    const int rows = copy ? ListView_GetItemCount(copy) : 0;
    const int columns = copy ? Header_GetItemCount(ListView_GetHeader(copy)) : 0;
    if (rows == 0 || columns < 2) return 0;
    host.Show(true);
    double carry = 0;
    int next = 0;
    const double start = Seconds();
    for (int i = 0; i < count; ++i) {
        bareWork();
        carry += cellsPerRefresh;
        for (; carry >= 1; carry -= 1, ++next) {
            char text[32];
            std::snprintf(text, sizeof text, "%d:%02d.%03d", i, next % 60, next % 1000);
            ListView_SetItemText(copy, (next / (columns - 1)) % rows, 1 + next % (columns - 1), text);
        }
        UpdateWindow(copy);
    }
    const double spent = (Seconds() - start) / count;
    host.Show(false);
    return spent;
}

void PrintPaintedFloor(const char* bareWork, double cells, double floor, double painted) {
    if (floor <= 0) return;
    std::printf(
        "  the platform's floor painted (%s, then a plain list view of the page setting and painting the "
        "%.1f cells a refresh changes): %.1f us; the painted refresh against it: %.2fx\n",
        bareWork, cells, floor * 1e6, painted / floor);
}

void PrintRatio(const char* tab, const std::string& what, double bare, double painted, double unpainted) {
    std::printf("\n%s refresh (%s, the tab shown):\n", tab, what.c_str());
    std::printf("  bare platform work:              %9.1f us per refresh\n", bare * 1e6);
    std::printf("  Paneprobe refresh, list painted: %9.1f us per refresh\n", painted * 1e6);
    std::printf("  Paneprobe refresh, no painting:  %9.1f us per refresh\n", unpainted * 1e6);
    std::printf("  ratio: %.2fx painted, %.2fx without painting (target at most 1.5x)\n", painted / bare,
                unpainted / bare);
}

// Where the platform reports no counts (Wine), the first free handle slots show whether anything was left
// behind: a leaked object keeps its slot, so the next one created lands elsewhere.
uintptr_t FreeGdiSlot() {
    HBRUSH brush = CreateSolidBrush(0);
    uintptr_t slot = reinterpret_cast<uintptr_t>(brush) & 0xFFFF;
    DeleteObject(brush);
    return slot;
}

uintptr_t FreeKernelSlot() {
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, GetCurrentProcessId());
    CloseHandle(handle);
    return reinterpret_cast<uintptr_t>(handle);
}

uintptr_t gdiSlotBefore = 0, kernelSlotBefore = 0;

void NoteSlots() {
    gdiSlotBefore = FreeGdiSlot();
    kernelSlotBefore = FreeKernelSlot();
}

DWORD HandleCount() {
    DWORD count = 0;
    return GetProcessHandleCount(GetCurrentProcess(), &count) ? count : 0;
}

void PrintObjects(const char* what, int refreshes, DWORD gdiBefore, DWORD userBefore, DWORD handlesBefore) {
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD handles = HandleCount();
    std::printf("  after %5d %s refreshes: GDI objects %lu -> %lu, USER objects %lu -> %lu, kernel handles "
                "%lu -> %lu%s\n",
                refreshes, what, static_cast<unsigned long>(gdiBefore), static_cast<unsigned long>(gdi),
                static_cast<unsigned long>(userBefore), static_cast<unsigned long>(user),
                static_cast<unsigned long>(handlesBefore), static_cast<unsigned long>(handles),
                gdi + user + handles == 0 ? " (the platform reports no counts)" : "");
    std::printf("    first free GDI handle slot %lu before, %lu after; next kernel handle 0x%lx before, "
                "0x%lx after\n",
                static_cast<unsigned long>(gdiSlotBefore), static_cast<unsigned long>(FreeGdiSlot()),
                static_cast<unsigned long>(kernelSlotBefore), static_cast<unsigned long>(FreeKernelSlot()));
}

} // namespace

void RunTabsBench(TPaneprobeForm& form) {
    // A target of its own: the tick benchmark's may have reached the end of its minute.
    TTargetProcess target("tabsbench");
    HWND trackedChild = target.Child(TTargetProcess::ButtonId);
    if (!trackedChild) {
        std::printf("\nThe target program did not start for the tab benchmarks.\n");
        return;
    }
    TProcessesTab* processes =
        static_cast<TProcessesTab*>(form.TabManager->FindTab(TabClassOf<TProcessesTab>()));
    TPropertiesTab* properties =
        static_cast<TPropertiesTab*>(form.TabManager->FindTab(TabClassOf<TPropertiesTab>()));
    if (!processes || !properties) {
        std::printf("\nThe Processes or Properties tab is missing.\n");
        return;
    }
    form.PageIndex->SetValue(processes->Sheet->PageIndex());
    HoldFormTimers(form);
    PumpAll();

    const int rounds = 40;
    TBareCounts counts;
    const double cells = ChangedCellsPerRefresh(processes->ListView->Handle(), 10,
                                                [processes] { ReloadDelivered(*processes, true); });
    double bare = 0, painted = 0, unpainted = 0, barePainted = 0, bareWorker = 0;
    TWorkerThread worker;
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (int half = 0; half < 2; ++half) { // alternate, so that neither side gets a quieter system
        bare += TimePer(rounds / 2, [&counts] { counts = BareProcessesRefresh(); }) / 2;
        bareWorker += TimePer(rounds / 2, [&worker, done] { BareOnWorker(worker, done); }) / 2;
        barePainted += BarePaintedRefreshes(processes->ListView->Handle(), rounds / 2, cells,
                                            [&worker, done] { BareOnWorker(worker, done); }) /
                       2;
        painted += TimePer(rounds / 2, [processes] { ReloadDelivered(*processes, true); }) / 2;
        unpainted += TimePer(
                         rounds / 2, [processes] { ReloadDelivered(*processes, false); }, false) /
                     2;
        PumpAll();
    }
    PrintRatio("Processes",
               FormatText("%d processes, %d top-level windows", counts.Processes, counts.Windows), bare,
               painted, unpainted);
    CloseHandle(done);
    std::printf(
        "  the bare work on a worker thread, awaited: %.1f us; the refresh without painting against it: "
        "%.2fx\n",
        bareWorker * 1e6, unpainted / bareWorker);
    PrintPaintedFloor("the bare work on a worker", cells, barePainted, painted);

    TrackWindow(trackedChild, false, true);
    form.PageIndex->SetValue(properties->Sheet->PageIndex());
    HoldFormTimers(form);
    PumpAll();
    HWND propertyList = properties->ListView->Handle();
    const double propertyCells =
        ChangedCellsPerRefresh(propertyList, 20, [properties] { properties->RefreshValues(); });
    bare = painted = unpainted = barePainted = 0;
    for (int half = 0; half < 2; ++half) {
        bare += TimePer(500, [trackedChild] { BarePropertiesRefresh(trackedChild); }) / 2;
        barePainted += BarePaintedRefreshes(propertyList, 500, propertyCells,
                                            [trackedChild] { BarePropertiesRefresh(trackedChild); }) /
                       2;
        painted += TimePer(500, [properties] { properties->RefreshValues(); }) / 2;
        unpainted += TimePer(
                         500, [properties] { properties->RefreshValues(); }, false) /
                     2;
        PumpAll();
    }
    PrintRatio("Properties", "a child window of another process", bare, painted, unpainted);
    PrintPaintedFloor("the bare work", propertyCells, barePainted, painted);

    std::printf("\nObject counts of Paneprobe's own process (GetGuiResources, GetProcessHandleCount):\n");
    form.PageIndex->SetValue(processes->Sheet->PageIndex());
    HoldFormTimers(form);
    ReloadDelivered(*processes, true);
    PumpAll();
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    DWORD handles = HandleCount();
    NoteSlots();
    // Each reload waits for its worker: fewer of them keep the run short.
    const int reloads = 300;
    for (int i = 0; i < reloads; ++i) {
        ReloadDelivered(*processes, true);
        PumpAll();
    }
    PrintObjects("Processes", reloads, gdi, user, handles);
    form.PageIndex->SetValue(properties->Sheet->PageIndex());
    HoldFormTimers(form);
    properties->RefreshValues();
    PumpAll();
    gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    handles = HandleCount();
    NoteSlots();
    for (int i = 0; i < 3000; ++i) {
        properties->RefreshValues();
        PumpAll();
    }
    PrintObjects("Properties", 3000, gdi, user, handles);
}
