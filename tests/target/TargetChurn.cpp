// Churn mode of the target program: top-level windows, children three levels deep, owned pop-ups and
// dialogs, created and destroyed at random in a fixed set of slots, so that handle slots are reused with
// new reuse counters while Paneprobe follows them.
#include "TargetChurn.h"

#include <cstdint>
#include <cstdlib>

namespace {

const char* const ChurnClass = "PaneprobeChurnWindow";
const char* const CreatedProperty = "PaneprobeChurnCreated";
const char* const DestroyedProperty = "PaneprobeChurnDestroyed";
const UINT_PTR ChurnTimer = 0x4348;
const UINT_PTR LifetimeTimer = 1; // the main window's own lifetime timer, re-armed for longer
const UINT ChurnLifetimeMs = 20 * 60 * 1000;
const UINT TickMs = 10;
const int SlotCount = 48;
const int AreaWidth = 520;
const int AreaHeight = 460;
const int ChildDepth = 3;

HWND MainWindow = nullptr;
HINSTANCE Instance = nullptr;
HWND Slots[SlotCount] = {};
uint32_t RandomState = 0x2545F491u;

uint32_t NextRandom() {
    RandomState ^= RandomState << 13;
    RandomState ^= RandomState >> 17;
    RandomState ^= RandomState << 5;
    return RandomState;
}
int RandomBelow(int limit) {
    return static_cast<int>(NextRandom() % static_cast<uint32_t>(limit));
}

void Count(const char* property) {
    UINT_PTR value = reinterpret_cast<UINT_PTR>(GetPropA(MainWindow, property));
    SetPropA(MainWindow, property, reinterpret_cast<HANDLE>(value + 1));
}

LRESULT CALLBACK ChurnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) Count(CreatedProperty);
    if (message == WM_NCDESTROY) Count(DestroyedProperty);
    return DefWindowProcA(window, message, wParam, lParam);
}

INT_PTR CALLBACK ChurnDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) Count(CreatedProperty);
    if (message == WM_DESTROY) Count(DestroyedProperty);
    return message == WM_INITDIALOG;
}

// A random rectangle inside the churn area, in screen coordinates.
RECT RandomBounds() {
    int width = 40 + RandomBelow(200), height = 30 + RandomBelow(160);
    int left = RandomBelow(AreaWidth - width), top = RandomBelow(AreaHeight - height);
    return {left, top, left + width, top + height};
}

HWND CreateChurnWindow(DWORD style, HWND parent, const RECT& r, const char* text) {
    return CreateWindowExA(0, ChurnClass, text, style | WS_VISIBLE, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, nullptr, Instance, nullptr);
}

HWND CreateChurnDialog(const RECT& r) {
    alignas(4) WORD buffer[64] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(buffer);
    header->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    // Dialog units: about twice the pixel size, so halve the pixels.
    header->x = static_cast<short>(r.left / 2);
    header->y = static_cast<short>(r.top / 2);
    header->cx = static_cast<short>((r.right - r.left) / 2);
    header->cy = static_cast<short>((r.bottom - r.top) / 2);
    WORD* p = reinterpret_cast<WORD*>(header + 1);
    *p++ = 0; // no menu
    *p++ = 0; // the standard dialog class
    const char* caption = "churn dialog";
    while (*caption)
        *p++ = static_cast<WORD>(*caption++);
    return CreateDialogIndirectParamA(Instance, header, MainWindow, ChurnDialogProc, 0);
}

// One of four kinds, chosen at random: top-level, a child chain three deep in the main window, an owned
// pop-up, or a modeless dialog.
HWND CreateInSlot() {
    RECT r = RandomBounds();
    switch (RandomBelow(4)) {
    case 0:
        return CreateChurnWindow(WS_OVERLAPPEDWINDOW, nullptr, r, "churn top-level");
    case 1: {
        POINT origin = {0, 0};
        ScreenToClient(MainWindow, &origin);
        OffsetRect(&r, origin.x, origin.y);
        HWND root = CreateChurnWindow(WS_CHILD | WS_BORDER, MainWindow, r, "churn child 1");
        HWND parent = root;
        for (int level = 2; parent && level <= ChildDepth; ++level) {
            RECT inner = {4, 4, 4 + (r.right - r.left) / 2, 4 + (r.bottom - r.top) / 2};
            parent = CreateChurnWindow(WS_CHILD | WS_BORDER, parent, inner, "churn child");
        }
        return root;
    }
    case 2:
        return CreateChurnWindow(WS_POPUP | WS_CAPTION, MainWindow, r, "churn owned pop-up");
    default:
        return CreateChurnDialog(r);
    }
}

void ChurnOnce() {
    HWND& slot = Slots[RandomBelow(SlotCount)];
    // Paneprobe's commands may have destroyed the window already: then the slot is free again.
    if (slot && IsWindow(slot)) {
        DestroyWindow(slot);
        slot = nullptr;
    } else {
        slot = CreateInSlot();
    }
}

// Timers fire late on a busy machine: each tick catches up on the operations that were due meanwhile.
DWORD LastTick = 0;
void CALLBACK ChurnTick(HWND, UINT, UINT_PTR, DWORD) {
    DWORD now = GetTickCount();
    if (!LastTick) LastTick = now;
    DWORD due = (now - LastTick) / TickMs;
    if (due == 0) return;
    LastTick += due * TickMs;
    for (DWORD i = 0; i < due && i < 20; ++i)
        ChurnOnce();
}

} // namespace

void StartChurn(HWND mainWindow, HINSTANCE instance) {
    MainWindow = mainWindow;
    Instance = instance;
    RandomState ^= GetTickCount() | 1u;
    WNDCLASSA churn = {};
    churn.lpfnWndProc = ChurnProc;
    churn.hInstance = instance;
    churn.hCursor = LoadCursor(nullptr, IDC_ARROW);
    churn.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    churn.lpszClassName = ChurnClass;
    RegisterClassA(&churn);
    SetWindowPos(mainWindow, nullptr, 0, 0, AreaWidth, AreaHeight, SWP_NOZORDER);
    SetTimer(mainWindow, LifetimeTimer, ChurnLifetimeMs, nullptr);
    SetTimer(mainWindow, ChurnTimer, TickMs, ChurnTick);
}
