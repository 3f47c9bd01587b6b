// A small program with known windows for the Win32 tests: a main window with a menu bar, a button, an
// edit control, and a control that keeps its text itself and answers WM_GETTEXT on its own (counted in its
// window property "PaneprobeTextReads"; WM_APP + 1 with a number of milliseconds makes it that slow to
// answer); a pop-up "probe"
// window that refuses to close, counts the close requests and paint requests it gets (window properties
// "PaneprobeCloses" and "PaneprobePaints"), and holds a child with a horizontal scroll bar; and a modeless
// dialog.
// Usage: PaneprobeTarget.exe TAG [hang]. The main window's caption is "Paneprobe Target TAG", the probe's
// "Paneprobe Target TAG probe" and the dialog's "Paneprobe Target TAG dialog". With "hang"
// the thread stops handling messages once a WM_APP message arrives, until the test releases it
// (TargetHang.h). The program ends itself after a minute (twenty with "lasting") so that a failed test
// never leaves it behind.
// With "churn" windows come and go (TargetChurn.h); with "ask" an asking window is there (TargetAsk.h);
// with "rotate" siblings keep changing places (TargetRotate.h); with "details" it
// adds TargetDetails.h's windows; with "unicode" windows have Unicode titles (TargetUnicode.h).
// With "snapshot" a window tree for the snapshot tests is there (TargetSnapshot.h).
// WM_APP + 2 with a count makes the main window send itself that many WM_USER + 3 messages (wParam 0,
// 1, ...), a burst for the message log, and counts the bursts done in its property "PaneprobeBursts".
#include "TargetAsk.h"
#include "TargetChild.h"
#include "TargetChurn.h"
#include "TargetDetails.h"
#include "TargetHang.h"
#include "TargetRotate.h"
#include "TargetScale.h"
#include "TargetSnapshot.h"
#include "TargetUnicode.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

const char* const KeeperClass = "PaneprobeTextKeeper";
const char* const MainClass = "PaneprobeTargetMain";
const char* const ProbeClass = "PaneprobeTargetProbe";
const char* const PlainClass = "PaneprobeTargetPlain";
const char* const ClosesProperty = "PaneprobeCloses";
const char* const PaintsProperty = "PaneprobePaints";
const char* const TextReadsProperty = "PaneprobeTextReads"; // WM_GETTEXT messages the keeper answered
const char* const BurstsProperty = "PaneprobeBursts";       // bursts of WM_APP + 2 done
// A colour that no theme draws, so that an inverted pixel is unmistakable.
const COLORREF ProbeColor = RGB(0x20, 0x60, 0xA0);
const char* const KeptText = "Text kept by the control";
const UINT_PTR LifetimeTimer = 1;
const UINT LifetimeMs = 60000;
UINT LivesForMs = LifetimeMs; // " lasting": twenty minutes, for measurements that take longer
bool HangOnRequest = false;
DWORD SlowTextMs = 0; // set by WM_APP + 1 to the keeper: how long it takes over each WM_GETTEXT

void CountIn(HWND hWnd, const char* property);

LRESULT CALLBACK KeeperProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETTEXT: {
        CountIn(hWnd, TextReadsProperty);
        if (SlowTextMs) Sleep(SlowTextMs);
        if (wParam == 0) return 0;
        size_t length = std::strlen(KeptText);
        if (length >= wParam) length = wParam - 1;
        std::memcpy(reinterpret_cast<char*>(lParam), KeptText, length);
        reinterpret_cast<char*>(lParam)[length] = '\0';
        return static_cast<LRESULT>(length);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(std::strlen(KeptText));
    case WM_APP + 1:
        SlowTextMs = static_cast<DWORD>(wParam);
        return 0;
    case WM_SETTEXT:
        return TRUE; // the stored title stays empty
    default:
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

void CountIn(HWND hWnd, const char* property) {
    HANDLE count = GetPropA(hWnd, property);
    SetPropA(hWnd, property, reinterpret_cast<HANDLE>(reinterpret_cast<UINT_PTR>(count) + 1));
}

LRESULT CALLBACK ProbeProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        CountIn(hWnd, ClosesProperty);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            CountIn(hWnd, ClosesProperty);
            return 0;
        }
        break;
    case WM_PAINT:
        CountIn(hWnd, PaintsProperty);
        break;
    case WM_NCDESTROY:
        RemovePropA(hWnd, ClosesProperty);
        RemovePropA(hWnd, PaintsProperty);
        break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

INT_PTR CALLBACK ModelessDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// A modeless dialog from a template in memory: a caption and no controls.
HWND CreateModelessDialog(HINSTANCE instance, const std::string& caption) {
    alignas(4) WORD buffer[128] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(buffer);
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    header->x = 250;
    header->y = 250;
    header->cx = 120;
    header->cy = 40;
    WORD* p = reinterpret_cast<WORD*>(header + 1);
    *p++ = 0; // no menu
    *p++ = 0; // the standard dialog class
    for (char c : caption)
        *p++ = static_cast<WORD>(static_cast<unsigned char>(c));
    *p++ = 0;
    return CreateDialogIndirectParamA(instance, header, nullptr, ModelessDialogProc, 0);
}

HMENU BuildMenuBar() {
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 101, "&Open\tCtrl+O");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, 102, "E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuA(edit, MF_STRING | MF_CHECKED, 201, "&Checked item");
    AppendMenuA(edit, MF_STRING | MF_GRAYED, 202, "&Disabled item");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
    return bar;
}

LRESULT CALLBACK MainProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        HINSTANCE instance = reinterpret_cast<LPCREATESTRUCTA>(lParam)->hInstance;
        CreateWindowExA(0, "BUTTON", "Target Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 120, 24,
                        hWnd, reinterpret_cast<HMENU>(1), instance, nullptr);
        CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 44, 200, 22,
                        hWnd, reinterpret_cast<HMENU>(2), instance, nullptr);
        CreateWindowExA(0, KeeperClass, nullptr, WS_CHILD | WS_VISIBLE, 10, 76, 200, 22, hWnd,
                        reinterpret_cast<HMENU>(3), instance, nullptr);
        SetTimer(hWnd, LifetimeTimer, LivesForMs, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wParam == LifetimeTimer) DestroyWindow(hWnd);
        return 0;
    case WM_APP:
        if (HangOnRequest) HangUntilReleased(LifetimeMs);
        return 0;
    case WM_APP + 2:
        for (WPARAM i = 0; i < wParam; ++i)
            SendMessageA(hWnd, WM_USER + 3, i, 0);
        CountIn(hWnd, BurstsProperty);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

} // namespace

void CreateBranchWindows(HINSTANCE instance, const std::string& caption);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    std::string arguments = commandLine ? commandLine : "";
    std::string tag = arguments.substr(0, arguments.find(' '));
    if (arguments.find(" scale") != std::string::npos) return RunScaleDesktop(instance, arguments, tag);
    HangOnRequest = arguments.find(" hang") != std::string::npos;
    if (arguments.find(" lasting") != std::string::npos) LivesForMs = 20 * 60 * 1000;
    StartChildIfAsked(arguments, tag);

    WNDCLASSA keeper = {};
    keeper.lpfnWndProc = KeeperProc;
    keeper.hInstance = instance;
    keeper.hCursor = LoadCursor(nullptr, IDC_ARROW);
    keeper.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    keeper.lpszClassName = KeeperClass;
    RegisterClassA(&keeper);

    WNDCLASSA main = keeper;
    main.lpfnWndProc = MainProc;
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    main.lpszClassName = MainClass;
    RegisterClassA(&main);

    WNDCLASSA plain = keeper;
    plain.lpfnWndProc = DefWindowProcA;
    plain.lpszClassName = PlainClass;
    RegisterClassA(&plain);

    WNDCLASSA probe = keeper;
    probe.lpfnWndProc = ProbeProc;
    probe.hbrBackground = CreateSolidBrush(ProbeColor);
    probe.lpszClassName = ProbeClass;
    RegisterClassA(&probe);

    std::string caption = "Paneprobe Target " + tag;
    HWND probeWindow = CreateWindowExA(0, ProbeClass, (caption + " probe").c_str(),
                                       WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                           WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE,
                                       520, 100, 300, 200, nullptr, nullptr, instance, nullptr);
    CreateWindowExA(0, PlainClass, "scroller", WS_CHILD | WS_VISIBLE | WS_HSCROLL, 10, 10, 150, 60,
                    probeWindow, reinterpret_cast<HMENU>(4), instance, nullptr);
    CreateModelessDialog(instance, caption + " dialog");
    CreateBranchWindows(instance, caption);
    CreateAskerIfAsked(arguments, instance, caption);
    if (arguments.find(" rotate") != std::string::npos) StartRotation(instance, caption);
    if (arguments.find(" details") != std::string::npos) CreateDetailsWindows(instance, caption);
    CreateUnicodeWindowsIfAsked(instance, arguments);
    CreateSnapshotWindowsIfAsked(instance, arguments, caption);
    HWND window = CreateWindowExA(0, MainClass, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                  400, 300, nullptr, BuildMenuBar(), instance, nullptr);
    if (!window) return 1;
    if (arguments.find(" churn") != std::string::npos) StartChurn(window, instance);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
