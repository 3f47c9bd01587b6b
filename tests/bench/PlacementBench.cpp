// Measures one redraw of the Placement map (two records refreshed, five rectangles, two labels, the pointer,
// the block copy to the screen) against the bare platform queries and block copy such a redraw must make, in
// the same run; and counts the GDI objects and surfaces over many redraws.
#include "BenchClock.h"
#include "BenchTimers.h"
#include "app/Main.h"
#include "config/EasyConfig.h"
#include "tabs/TabPlacement.h"
#include "tests/win32/TargetProcess.h"

#include <cstdio>

namespace {

void ReadRecord(HWND window) {
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
    (void)parent, (void)threadId, (void)style;
}

void ReadRectangles(HWND window) {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
}

// What a redraw of a child over its parent cannot do without: the pointer, both records, both windows'
// rectangles, the child's position in its parent, and one block copy of the map to the panel.
void BareRedraw(HWND child, HWND panel, HDC source, int width, int height) {
    POINT cursor;
    GetCursorPos(&cursor);
    volatile BOOL alive = IsWindow(child);
    ReadRecord(child);
    HWND parent = GetParent(child);
    ReadRecord(parent);
    ReadRectangles(parent);
    ReadRectangles(child);
    RECT inParent;
    GetWindowRect(child, &inParent);
    volatile BOOL parentAlive = IsWindow(parent);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&inParent), 2);
    HDC dc = GetDC(panel);
    BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ReleaseDC(panel, dc);
    (void)alive, (void)parentAlive;
}

// Wine does not count GDI objects (GetGuiResources gives 0). There a new object takes the first free slot of
// the handle table, so a probe that lands in the same slot before and after shows that nothing was left
// behind.
unsigned NextGdiSlot() {
    HBRUSH probe = CreateSolidBrush(0);
    unsigned slot = static_cast<unsigned>(reinterpret_cast<uintptr_t>(probe) & 0xFFFF);
    DeleteObject(probe);
    return slot;
}

} // namespace

void RunPlacementBench(TPaneprobeForm& form, TTargetProcess& target) {
    auto tab = dynamic_cast<TPlacementTab*>(form.TabManager->TabAt(1));
    if (!tab) {
        std::printf("\nNo Placement tab.\n");
        return;
    }
    form.PageIndex->SetValue(1);
    HoldFormTimers(form);
    HWND child = target.Child(TTargetProcess::ButtonId);
    TrackWindow(child, false, true);
    HWND panel = tab->MapPanel->Handle();
    const int width = tab->Canvas->Width(), height = tab->Canvas->Height();
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HBITMAP sourceBitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ oldBitmap = SelectObject(source, sourceBitmap);
    ReleaseDC(nullptr, screen);

    auto redraw = [&] {
        tab->Redraw();
        UpdateWindow(panel);
    };
    redraw();
    if (tab->Labels.size() != 2) std::printf("\nThe map does not show the child over its parent.\n");
    const int rounds = 100, perRound = 30;
    double bareTime = 0, redrawTime = 0;
    for (int round = 0; round < rounds; ++round) {
        double start = Seconds();
        for (int i = 0; i < perRound; ++i)
            BareRedraw(child, panel, source, width, height);
        bareTime += Seconds() - start;
        start = Seconds();
        for (int i = 0; i < perRound; ++i)
            redraw();
        redrawTime += Seconds() - start;
        PumpAll();
    }
    const double count = rounds * perRound, bare = bareTime / count, one = redrawTime / count;
    std::printf("\nPlacement map, %d x %d, a child window over its parent (one redraw and its paint):\n",
                width, height);
    std::printf("  bare platform queries and block copy: %8.1f us per redraw\n", bare * 1e6);
    std::printf("  Paneprobe redraw:                     %8.1f us per redraw\n", one * 1e6);
    std::printf("  ratio: %.2fx (target at most 1.5x); %.2f ms of the 16 ms frame (%.1f%%)\n", one / bare,
                one * 1e3, one * 1e3 / 16 * 100);

    HBITMAP surface = tab->Canvas->Bitmap();
    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const unsigned slotBefore = NextGdiSlot();
    const int redraws = 10000;
    for (int i = 0; i < redraws; ++i) {
        redraw();
        if (i % 500 == 0) PumpAll();
    }
    const DWORD gdiAfter = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const unsigned slotAfter = NextGdiSlot();
    std::printf("  over %d redraws: GDI objects %lu before, %lu after; surface %s\n", redraws,
                static_cast<unsigned long>(gdiBefore), static_cast<unsigned long>(gdiAfter),
                tab->Canvas->Bitmap() == surface ? "kept (never recreated)" : "RECREATED");
    if (gdiBefore == 0 && gdiAfter == 0)
        std::printf(
            "  GetGuiResources gives 0 here (Wine); first free GDI handle slot %u before, %u after (%s)\n",
            slotBefore, slotAfter, slotBefore == slotAfter ? "nothing left behind" : "OBJECTS LEFT BEHIND");

    SelectObject(source, oldBitmap);
    DeleteObject(sourceBitmap);
    DeleteDC(source);
}
