// Paneprobe inspects itself: every message number up to 0x3FF and the common controls' ranges, with the
// usual extreme parameters, sent to every window of the main window and to its dialogs while they are open.
// Afterwards the program must still work: switch tabs, follow the mouse, save its settings.
#include "StressSupport.h"

#include "FormFixture.h"
#include "ForeignSends.h"
#include "Watchdog.h"
#include "app/WinApiEx.h"
#include "config/IniFile.h"
#include "messages/TypeCastForm.h"
#include "messages/WindowMessage.h"
#include "ui/EditMargins.h"
#include "ui/QrDialogs.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <thread>
#include <typeinfo>
#include <cstring>

namespace {

const UINT SendTimeoutMs = 500;
const int PumpEvery = 1;

// Message ranges sent to every window: the classic range and the common controls' families.
struct TRange {
    UINT First, Last;
};
const TRange Ranges[] = {
    {0, 0x3FF},
    {LVM_FIRST, LVM_FIRST + 0xFF},
    {TV_FIRST, TV_FIRST + 0xFF},
    {HDM_FIRST, HDM_FIRST + 0xFF},
    {TCM_FIRST, TCM_FIRST + 0xFF},
    {SB_SETTEXTA, SB_GETICON},
};

// The messages that legitimately close or destroy a window, and for a dialog the command that confirms it.
bool Closes(UINT message, WPARAM wParam, bool dialog) {
    switch (message) {
    case WM_CLOSE:
    case WM_DESTROY:
    case WM_NCDESTROY:
    case WM_QUIT:
        return true;
    case WM_COMMAND:
        return dialog && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL);
    default:
        return false;
    }
}

// Messages whose lParam is the address of code the control calls (a word-break or sort procedure): the data
// buffer there would be executed, in any program. They go with lParam 0 only.
bool TakesCodeAddress(UINT message) {
    switch (message) {
    case EM_SETWORDBREAKPROC:
    case LVM_SORTITEMS:
    case LVM_SORTITEMSEX:
    case LVM_SORTGROUPS:
    case LVM_INSERTGROUPSORTED:
    case TVM_SORTCHILDRENCB:
        return true;
    default:
        return false;
    }
}

// A button pressed by a message is released at once, as a user's would be: list views and tab controls
// otherwise wait in their own drag-tracking loop for a release that never comes.
UINT ReleaseOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return WM_LBUTTONUP;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        return WM_RBUTTONUP;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        return WM_MBUTTONUP;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
        return WM_XBUTTONUP;
    default:
        return 0;
    }
}

struct TInspection {
    long long Sent = 0;
    long long Skipped = 0;
    long long PlatformFaults = 0;     // sends that crash the platform's controls in any program
    long long Answered = 0;           // sends that the window answered within the time-out
    long long BadStructures = 0;      // structures at addresses where none can be, sent from another thread
    long long BadStructureFaults = 0; // access faults raised while they were answered
    int Windows = 0;
};

// The parameter texts a user types into the Messages tab's boxes for the run's values.
const char* const WParamTexts[] = {"0", "1", "-1"};

// One message of the Messages tab's kind carries every send, with a zeroed 64 KB lParam buffer that lives as
// long as the process: controls keep some pointers they are given (image lists, for one) and use them later,
// so a buffer freed after its send would crash them in any program, as a user's "@" re-send avoids too.
TWindowMessage& Carrier() {
    static TWindowMessage carrier(nullptr, 0, "0", "*65536");
    return carrier;
}

std::atomic<UINT> CurrentMessage{0};
std::atomic<HWND> CurrentWindow{nullptr};
std::atomic<long long> SendsDone{0};
std::atomic<WPARAM> CurrentWParam{0};
std::atomic<bool> CurrentWithBuffer{false};
std::atomic<bool> Pumping{false};

// Sends that crash the platform's own controls in any program that makes them: each of these messages
// requires a structure (or, for some, a wParam that is an address), and the control reads or writes it
// without checking. Sent with lParam 0 they crash the control, and those marked "any" crash it with the run's
// zeroed buffer too (a zeroed structure holding a null pointer, or the wParam values 1 and -1 taken as
// addresses). Found by running this very test until it passed; none of them reaches Paneprobe's own code.
struct TPlatformFault {
    const char* ClassName;
    UINT Message;
    bool Any; // also with the buffer
};
const TPlatformFault PlatformFaults[] = {
    {"ComboBox", CB_GETEDITSEL, true},
    {"ComboBox", WM_DRAWITEM, false},
    {"ComboBox", WM_MEASUREITEM, false},
    {"ComboBox", WM_DELETEITEM, false},
    {"ComboBox", WM_COMPAREITEM, false},
    {"Edit", EM_GETSEL, true},
    {"Edit", EM_REPLACESEL, false},
    {"SysHeader32", HDM_LAYOUT, true},
    {"SysHeader32", HDM_HITTEST, false},
    {"SysHeader32", HDM_GETITEMRECT, false},
    {"SysHeader32", HDM_SETHOTDIVIDER, false},
    {"SysHeader32", HDM_GETORDERARRAY, false},
    {"SysHeader32", HDM_CREATEDRAGIMAGE, true},
    {"SysListView32", LVM_FINDITEMA, false},
    {"SysListView32", LVM_HITTEST, false},
    {"SysListView32", LVM_SUBITEMHITTEST, false},
    {"SysListView32", LVM_SETCOLUMNORDERARRAY, false},
    {"SysListView32", LVM_GETCOLUMNORDERARRAY, false},
    {"SysListView32", LVM_SETBKIMAGEA, false},
    {"SysListView32", LVM_SETBKIMAGEW, false},
    {"SysListView32", LVM_GETNEXTITEMINDEX, true},
    {"SysListView32", WM_WINDOWPOSCHANGED, false},
    {"SysListView32", WM_STYLECHANGING, false},
    {"SysTabControl32", TCM_SETITEMA, false},
    {"SysTabControl32", TCM_INSERTITEMA, false},
    {"SysTabControl32", TCM_HITTEST, false},
    {"SysTabControl32", TCM_INSERTITEMW, false},
    {"SysTabControl32", TCM_SETITEMW, false},
    {"SysTreeView32", TVM_INSERTITEMA, false},
    {"SysTreeView32", TVM_GETITEMA, false},
    {"SysTreeView32", TVM_SETITEMA, false},
    {"SysTreeView32", TVM_HITTEST, false},
    {"SysTreeView32", TVM_SORTCHILDRENCB, false},
    {"SysTreeView32", TVM_INSERTITEMW, false},
    {"SysTreeView32", TVM_GETITEMW, false},
    {"SysTreeView32", TVM_SETITEMW, false},
    {"SysTreeView32", WM_NOTIFY, false},
    {"msctls_statusbar32", SB_SETPARTS, true}, // with wParam -1 it reads four gigabytes of part edges
    {"msctls_statusbar32", WM_USER + 5, false},
    {"msctls_statusbar32", SB_GETBORDERS, false},
    {"msctls_statusbar32", SB_GETRECT, false},
};

bool CrashesThePlatform(HWND window, UINT message, bool withBuffer) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    for (const TPlatformFault& fault : PlatformFaults)
        if (fault.Message == message && (fault.Any || !withBuffer) &&
            lstrcmpiA(className, fault.ClassName) == 0)
            return true;
    return false;
}

// Handles what is waiting, as the program's message loop would, for at most a fifth of a second: a control
// left with a fast timer running (a held spin button, say) keeps the queue from ever being empty, and the
// program's own loop would simply go on.
void PumpWaiting() {
    DWORD started = GetTickCount();
    MSG message;
    while (GetTickCount() - started < 200 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (TNvForm::PreTranslate(message)) continue;
        DWORD dispatchStarted = GetTickCount();
        TranslateMessage(&message);
        DispatchMessageA(&message);
        DWORD took = GetTickCount() - dispatchStarted;
        if (took >= 500) {
            char className[64] = {};
            GetClassNameA(message.hwnd, className, sizeof className);
            TNvWindow* object = TNvWindow::FromHandle(message.hwnd);
            std::fprintf(stderr, "  slow dispatch: 0x%X to %s (%s), wParam 0x%lX: %lu ms\n", message.message,
                         className, object ? typeid(*object).name() : "-",
                         static_cast<unsigned long>(message.wParam), static_cast<unsigned long>(took));
        }
    }
}

// The messages whose structure another program's notification points at, sent from another thread as
// another program's would come, at an address that is not mapped and at a read-only page.
void SendBadStructures(HWND window, TInspection& figures) {
    static TBadPages pages;
    std::vector<TForeignSend> sends;
    for (UINT message : {WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_COMPAREITEM, WM_DELETEITEM})
        for (void* at : {pages.Unmapped(), pages.ReadOnly()})
            sends.push_back({window, message, 0, reinterpret_cast<LPARAM>(at)});
    CurrentWindow = window;
    CurrentMessage = WM_NOTIFY;
    CurrentWithBuffer = false;
    TForeignRun run = SendFromOtherThread(sends);
    figures.BadStructures += static_cast<long long>(sends.size());
    figures.BadStructureFaults += run.AccessFaults;
    if (run.AccessFaults) {
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        std::fprintf(stderr, "  %d access faults from bad structures sent to %s\n", run.AccessFaults,
                     className);
    }
    SendsDone += static_cast<long long>(sends.size());
}

// Every message of every range to the windows, with every parameter pair; in the short run one pair per
// message, chosen at random.
void Bombard(const std::vector<HWND>& windows, bool dialog, TInspection& figures) {
    long long sinceLastPump = 0;
    const bool everyPair = LongRuns();
    for (HWND window : windows) {
        ++figures.Windows;
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        DWORD started = GetTickCount();
        for (const TRange& range : Ranges)
            for (UINT message = range.First; message <= range.Last; ++message)
                for (int pair = 0, chosen = RandomBelow(6); pair < 6; ++pair) {
                    if (!everyPair && pair != chosen) continue;
                    int withBuffer = pair % 2;
                    // The Messages tab's own send: the wParam text read by the tab's rule, the buffer zeroed
                    // again, and a window of this thread given the message directly.
                    TWindowMessage& sent = Carrier();
                    WPARAM wParam = static_cast<WPARAM>(
                        ParseParamText(WParamTexts[pair / 2], TWindowMessage::PointerBits()).Number);
                    if (!IsWindow(window) || Closes(message, wParam, dialog)) {
                        ++figures.Skipped;
                        continue;
                    }
                    if ((withBuffer && TakesCodeAddress(message)) ||
                        CrashesThePlatform(window, message, withBuffer != 0)) {
                        ++figures.PlatformFaults;
                        continue;
                    }
                    CurrentMessage = message;
                    CurrentWindow = window;
                    CurrentWParam = wParam;
                    CurrentWithBuffer = withBuffer != 0;
                    if (UINT release = ReleaseOf(message)) PostMessageA(window, release, 0, 0);
                    if (withBuffer) std::memset(sent.GetBuffer(1), 0, sent.GetBufferSize(1));
                    sent.Wnd = window;
                    sent.Msg = message;
                    sent.WParam = wParam;
                    sent.LParam = withBuffer ? reinterpret_cast<LPARAM>(sent.GetBuffer(1)) : 0;
                    DWORD sendStarted = GetTickCount();
                    sent.Send();
                    DWORD sendMs = GetTickCount() - sendStarted;
                    ++figures.Sent;
                    ++SendsDone;
                    if (++sinceLastPump % PumpEvery == 0) {
                        Pumping = true;
                        PumpWaiting();
                        Pumping = false;
                    }
                    DWORD totalMs = GetTickCount() - sendStarted;
                    if (totalMs >= 1000) {
                        char caption[256] = {};
                        GetWindowTextA(window, caption, 32);
                        for (HWND up = GetParent(window); up; up = GetParent(up)) {
                            char part[64] = {}, upClass[64] = {};
                            GetClassNameA(up, upClass, sizeof upClass);
                            TNvWindow* object = TNvWindow::FromHandle(up);
                            std::snprintf(part, sizeof part, " < %s",
                                          object ? typeid(*object).name() : upClass);
                            lstrcatA(caption, part);
                            if (auto sheet = dynamic_cast<TNvTabSheet*>(object)) {
                                std::snprintf(part, sizeof part, "#%d", sheet->PageIndex());
                                lstrcatA(caption, part);
                            }
                        }
                        std::fprintf(
                            stderr,
                            "  slow: 0x%X to %s \"%s\" (%s), wParam %d, %s: send %lu ms, then %lu ms\n",
                            message, className, caption,
                            TNvWindow::FromHandle(window) ? typeid(*TNvWindow::FromHandle(window)).name()
                                                          : "-",
                            static_cast<int>(wParam), withBuffer ? "buffer" : "lParam 0",
                            static_cast<unsigned long>(sendMs), static_cast<unsigned long>(totalMs - sendMs));
                    }
                    if (sent.Returned()) ++figures.Answered;
                }
        if (IsWindow(window)) SendBadStructures(window, figures);
        // Progress on the error stream: a run that stalls shows where.
        std::fprintf(stderr, "  %s: %lu ms\n", className,
                     static_cast<unsigned long>(GetTickCount() - started));
    }
}

// Runs inside the input dialog's own message loop: bombards the dialog, then closes it.
struct TDialogVisit {
    TInspection* Figures;
    bool Visited = false;
};
TDialogVisit* CurrentVisit = nullptr;

void CALLBACK VisitOpenDialog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (!CurrentVisit) return;
    for (HWND dialog : ThreadDialogs(GetCurrentThreadId())) {
        Bombard(WindowAndDescendants(dialog), true, *CurrentVisit->Figures);
        CurrentVisit->Visited = true;
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

// The thread's visible windows, for a stall report.
BOOL CALLBACK AddShownWindow(HWND window, LPARAM text) {
    if (!IsWindowVisible(window)) return TRUE;
    char className[64] = {}, caption[64] = {};
    GetClassNameA(window, className, sizeof className);
    CaptionNoWait(window, caption, sizeof caption); // the reporter must never wait on the thread it watches
    *reinterpret_cast<std::string*>(text) += std::string(" [") + className + " \"" + caption + "\"]";
    return TRUE;
}

// Windows of this program's other threads: a message to one of them waits for that thread.
BOOL CALLBACK AddOtherThreadsWindow(HWND window, LPARAM text) {
    DWORD processId = 0, threadId = GetWindowThreadProcessId(window, &processId);
    auto& where = *reinterpret_cast<std::pair<DWORD, std::string>*>(text);
    if (processId != GetCurrentProcessId() || threadId == where.first) return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    char line[128];
    std::snprintf(line, sizeof line, " {%s of thread %lu}", className, static_cast<unsigned long>(threadId));
    where.second += line;
    return TRUE;
}

// Where a stalled thread is: the program's other windows, the thread's menu and capture state, its visible
// windows, and (32-bit) the module and offset of its instruction and of the return addresses along its
// frame-pointer chain, as far as they can be followed.
std::string WhereIs(DWORD threadId) {
    std::string where;
    std::pair<DWORD, std::string> others{threadId, ""};
    EnumWindows(AddOtherThreadsWindow, reinterpret_cast<LPARAM>(&others));
    where += " other threads' windows:" + others.second + ";";
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(threadId, &info)) {
        char text[160], capture[64] = "-";
        if (info.hwndCapture) GetClassNameA(info.hwndCapture, capture, sizeof capture);
        std::snprintf(text, sizeof text, " flags 0x%lX capture %s menu-owner %p move-size %p;",
                      static_cast<unsigned long>(info.flags), capture, static_cast<void*>(info.hwndMenuOwner),
                      static_cast<void*>(info.hwndMoveSize));
        where += text;
    }
    where += " shown:";
    EnumThreadWindows(threadId, AddShownWindow, reinterpret_cast<LPARAM>(&where));
    where += ";";
#if defined(__i386__) || defined(_M_IX86)
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME | THREAD_GET_CONTEXT, FALSE, threadId);
    if (!thread) return "?";
    if (SuspendThread(thread) != static_cast<DWORD>(-1)) {
        CONTEXT context = {};
        context.ContextFlags = CONTEXT_CONTROL;
        if (GetThreadContext(thread, &context)) {
            DWORD address = context.Eip, frame = context.Ebp;
            for (int depth = 0; depth < 24 && address; ++depth) {
                HMODULE module = nullptr;
                char name[MAX_PATH] = "?";
                if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                       reinterpret_cast<LPCSTR>(address), &module))
                    GetModuleFileNameA(module, name, sizeof name);
                const char* base = std::strrchr(name, '\\');
                char text[MAX_PATH + 32];
                std::snprintf(text, sizeof text, " %s+0x%lX", base ? base + 1 : name,
                              static_cast<unsigned long>(address - reinterpret_cast<DWORD>(module)));
                where += text;
                DWORD next[2] = {};
                SIZE_T read = 0;
                if (!frame ||
                    !ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<void*>(frame), next, sizeof next,
                                       &read) ||
                    read != sizeof next || next[0] <= frame)
                    break;
                frame = next[0];
                address = next[1];
            }
        }
        ResumeThread(thread);
    }
    CloseHandle(thread);
#else
    (void)threadId;
#endif
    return where;
}

// A crash names the send that caused it and ends the run at once, instead of waiting for a debugger.
LONG WINAPI ReportCrash(EXCEPTION_POINTERS* info) {
    char className[64] = {}, module[MAX_PATH] = "?";
    GetClassNameA(CurrentWindow.load(), className, sizeof className);
    HMODULE faulting = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(info->ExceptionRecord->ExceptionAddress), &faulting))
        GetModuleFileNameA(faulting, module, sizeof module);
    std::fprintf(stderr, "  crashed: exception 0x%lX at %p in %s %s message 0x%X to %s, wParam %d, %s\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                 info->ExceptionRecord->ExceptionAddress, module, Pumping ? "pumping after" : "sending",
                 CurrentMessage.load(), className, static_cast<int>(CurrentWParam.load()),
                 CurrentWithBuffer ? "buffer" : "lParam 0");
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), info->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

TEST(StressRun, PaneprobeInspectsItself) {
    SetUnhandledExceptionFilter(ReportCrash);
    DeleteFileA(SettingsPath().c_str());
    auto form = std::make_unique<TPaneprobeForm>();
    form->ScanAtMouse->SetValue(false);
    PumpMessages(100);
    TInspection figures;
    int hangs = 0, dismissed = 0;
    bool dialogVisited = false, viewerOpened = false;
    std::atomic<bool> finished{false};
    std::atomic<int> stalls{0};
    std::string stalled;
    // A send that has not returned for 3 s while the thread still answers is a control waiting in a loop of
    // its own for input that a user would give: it gets that input (button releases, Escape, cancel mode),
    // and the stall is counted and named.
    const DWORD uiThread = GetCurrentThreadId();
    std::thread reporter([&] {
        long long last = -1;
        int quiet = 0;
        while (!finished) {
            Sleep(100);
            long long now = SendsDone.load();
            quiet = now == last ? quiet + 1 : 0;
            last = now;
            if (quiet != 30) continue;
            ++stalls;
            char text[32];
            std::snprintf(text, sizeof text, "%s0x%X", stalled.empty() ? "" : ", ", CurrentMessage.load());
            stalled += text;
            HWND window = CurrentWindow.load();
            char className[64] = {};
            GetClassNameA(window, className, sizeof className);
            std::fprintf(stderr, "  stalled: %s message 0x%X to %s, wParam %d, %s; at%s\n",
                         Pumping ? "pumping after" : "sending", CurrentMessage.load(), className,
                         static_cast<int>(CurrentWParam.load()), CurrentWithBuffer ? "buffer" : "lParam 0",
                         WhereIs(uiThread).c_str());
            for (UINT release : {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP, WM_CANCELMODE})
                PostMessageA(window, release, 0, 0);
            PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
            quiet = 0;
        }
    });
    {
        TUiWatchdog watchdog(form->Handle());
        {
            // The main window's commands may open the about box or a menu: answered like a user would.
            TDialogDismisser dismisser(GetCurrentThreadId());
            for (int i = 0; i < form->TabManager->Count(); ++i) {
                form->PageIndex->SetValue(i);
                PumpMessages(50);
            }
            Bombard(WindowAndDescendants(form->Handle()), false, figures);
            // The Typecast viewer while open, as the Messages tab opens it for a result.
            TTypeCastForm& viewer = TTypeCastForm::Open(form->Handle(), 0x1234);
            viewerOpened = IsWindow(viewer.Handle()) != FALSE;
            Bombard(WindowAndDescendants(viewer.Handle()), true, figures);
            TTypeCastForm::CloseAll();
            PumpMessages(200);
            dismissed += dismisser.Answered();
        }
        // A dialog while it is open: the input dialog over the main window. Its system menu may open.
        TDialogDismisser menuCloser(GetCurrentThreadId(), true);
        TDialogVisit visit{&figures};
        CurrentVisit = &visit;
        SetTimer(nullptr, 0, 200, VisitOpenDialog);
        std::string value = "value";
        InputDialog(form->Handle(), "Prompt", value, nullptr, "Self-inspection");
        CurrentVisit = nullptr;
        dialogVisited = visit.Visited;
        dismissed += menuCloser.Answered();
        hangs = watchdog.Hangs();
    }
    finished = true;
    reporter.join();

    // Still working: the main window exists, every tab can be shown, the status bar follows.
    ASSERT_TRUE(IsWindow(form->Handle())) << "a message closed the main window";
    for (int i = 0; i < form->TabManager->Count(); ++i) {
        form->PageIndex->SetValue(i);
        PumpMessages(30);
    }
    form->FastTick();
    form->UpdateInterval->SetValue(45);
    form.reset();
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(SettingsPath(), bytes));
    EXPECT_NE(bytes.find("update_interval_ms=45"), std::string::npos);
    DeleteFileA(SettingsPath().c_str());

    const std::string name = "self-inspection";
    PrintFigure(name, "windows", std::to_string(figures.Windows));
    PrintFigure(name, "messages sent", std::to_string(figures.Sent));
    PrintFigure(name, "answered", std::to_string(figures.Answered));
    PrintFigure(name, "skipped (close or destroy, or window gone)", std::to_string(figures.Skipped));
    PrintFigure(name, "not sent: crash the platform's controls in any program",
                std::to_string(figures.PlatformFaults));
    PrintFigure(name, "bad structures sent from another thread", std::to_string(figures.BadStructures));
    PrintFigure(name, "access faults they raised", std::to_string(figures.BadStructureFaults));
    PrintFigure(name, "dialogs and menus that opened and were answered", std::to_string(dismissed));
    PrintFigure(name, "hangs (2 s)", std::to_string(hangs));
    PrintFigure(name, "stalls in a control's own loop (released by input)",
                std::to_string(stalls.load()) + (stalled.empty() ? "" : " (" + stalled + ")"));
    EXPECT_TRUE(viewerOpened) << "the Typecast viewer did not open";
    EXPECT_TRUE(dialogVisited) << "the input dialog was not inspected while open";
    EXPECT_EQ(hangs, 0);
    EXPECT_GT(figures.Sent, 10000);
    EXPECT_GT(figures.BadStructures, 0);
    EXPECT_EQ(figures.BadStructureFaults, 0) << "a structure that is not there was read";
}

} // namespace

namespace {

// A creation message that arrives after the creation, with no data or with zeroed data, leaves every window
// of the kit bound to its object: found by sending Paneprobe's own windows every message.
TEST(SelfInspection, ALateCreationMessageLeavesTheWindowBound) {
    DeleteFileA(SettingsPath().c_str());
    auto form = std::make_unique<TPaneprobeForm>();
    form->ScanAtMouse->SetValue(false);
    CREATESTRUCTA zeroed = {};
    const LPARAM creations[] = {0, reinterpret_cast<LPARAM>(&zeroed)};
    int ownWindows = 0;
    for (HWND window : WindowAndDescendants(form->Handle())) {
        // The kit's own classes keep the object in the window's user data; subclassed common controls are
        // the platform's to create.
        TNvWindow* before = TNvWindow::FromHandle(window);
        if (!before || GetWindowLongPtrA(window, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(before))
            continue;
        ++ownWindows;
        auto procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
        for (LPARAM creation : creations) {
            CallWindowProcA(procedure, window, WM_NCCREATE, 0, creation);
            EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(before));
            EXPECT_EQ(TNvWindow::FromHandle(window), before);
            EXPECT_EQ(before->Handle(), window);
        }
    }
    EXPECT_GE(ownWindows, 2) << "the main window and its pages are windows of the kit's own classes";
    // The main window still handles its own messages: a tab change reaches the page control.
    int last = form->TabManager->Count() - 1;
    form->PageIndex->SetValue(last);
    EXPECT_EQ(form->PageControl->ActivePageIndex(), last);
    form.reset();
    DeleteFileA(SettingsPath().c_str());
}

} // namespace

namespace {

// Sensible margins are taken; margins no screen is wide enough for are turned away, in whichever way they
// are asked for, and the sensible ones stay.
void ExpectOnlyDrawableMargins(HWND edit) {
    char className[64] = {};
    GetClassNameA(GetParent(edit), className, sizeof className);
    SCOPED_TRACE(std::string("an edit in a ") + className);
    SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 4));
    EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELONG(3, 4));
    for (WORD wide :
         {static_cast<WORD>(WidestEditMargin + 1), static_cast<WORD>(32766), static_cast<WORD>(0xFFFE)}) {
        SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(wide, 0));
        SendMessageA(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, wide));
        SendMessageA(edit, EM_SETMARGINS, static_cast<WPARAM>(-1), MAKELPARAM(wide, 1));
        EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELONG(3, 4)) << "margin " << wide;
    }
}

// The edit controls among a window and its descendants.
std::vector<HWND> EditsOf(HWND window) {
    std::vector<HWND> edits;
    for (HWND child : WindowAndDescendants(window)) {
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Edit") == 0) edits.push_back(child);
    }
    return edits;
}

int InputDialogEditsChecked = 0;

void CALLBACK CheckOpenDialogsEdit(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    for (HWND dialog : ThreadDialogs(GetCurrentThreadId())) {
        if (HWND edit = GetDlgItem(dialog, InputDialogEditId)) {
            ExpectOnlyDrawableMargins(edit);
            ++InputDialogEditsChecked;
        }
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
}

// A left margin near 32767 pixels sends the platform's edit control into an endless scroll on the next
// character or click (found by sending Paneprobe's windows every message): every edit of Paneprobe, the
// input dialog's included, refuses such margins.
TEST(SelfInspection, EveryEditRefusesMarginsItCannotDraw) {
    DeleteFileA(SettingsPath().c_str());
    auto form = std::make_unique<TPaneprobeForm>();
    form->ScanAtMouse->SetValue(false);
    std::vector<HWND> edits = EditsOf(form->Handle());
    EXPECT_GE(edits.size(), 6u) << "the tabs' edits and the edit parts of their combo boxes";
    TTypeCastForm& viewer = TTypeCastForm::Open(form->Handle(), 0x1234);
    for (HWND edit : EditsOf(viewer.Handle()))
        edits.push_back(edit);
    for (HWND edit : edits)
        ExpectOnlyDrawableMargins(edit);
    TTypeCastForm::CloseAll();
    InputDialogEditsChecked = 0;
    SetTimer(nullptr, 0, 100, CheckOpenDialogsEdit);
    {
        // Should the check not run, the dialog is cancelled instead of waiting for a user.
        const DWORD thread = GetCurrentThreadId();
        TWatchdog watchdog(10000, [thread] {
            for (HWND dialog : ThreadDialogs(thread))
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        std::string value = "value";
        InputDialog(form->Handle(), "Prompt", value, nullptr, "Margins");
        EXPECT_FALSE(watchdog.Fired());
    }
    EXPECT_EQ(InputDialogEditsChecked, 1);
    form.reset();
    DeleteFileA(SettingsPath().c_str());
}

} // namespace
