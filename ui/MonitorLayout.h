// The arithmetic of several monitors: which one a rectangle or point belongs to, and fitting a rectangle
// into a work area. No platform here: the Win32 side hands in the monitors it reports.
#pragma once

#include "app/QrLib.h"

#include <cstdint>
#include <vector>

struct TMonitorArea {
    TIntRect Bounds;   // the whole monitor, in virtual-screen coordinates
    TIntRect WorkArea; // without the task bar and docked bars
    bool Primary = false;
};

// The monitor a rectangle belongs to, as the platform chooses it: the one it overlaps most, otherwise the
// one nearest to it (the primary one among equals). -1 when there are no monitors.
int NearestMonitor(const std::vector<TMonitorArea>& monitors, const TIntRect& rect);
int NearestMonitorToPoint(const std::vector<TMonitorArea>& monitors, int32_t x, int32_t y);
// True when some part of the rectangle, at least `minimum` pixels wide and high, lies on a monitor.
bool VisibleOnMonitor(const std::vector<TMonitorArea>& monitors, const TIntRect& rect, int32_t minimum);
// The rectangle moved the least into the area; a side longer than the area's is cut to it.
TIntRect FitIntoArea(const TIntRect& rect, const TIntRect& area);
// The rectangle centred in the area, cut to it where it is larger.
TIntRect CenterInArea(const TIntRect& rect, const TIntRect& area);
// The smallest rectangle holding every monitor; empty without monitors.
TIntRect VirtualScreenOf(const std::vector<TMonitorArea>& monitors);
