// The monitors as the platform reports them, for the portable arithmetic of ui/MonitorLayout.
#pragma once

#include "ui/MonitorLayout.h"

#include <windows.h>

#include <vector>

std::vector<TMonitorArea> DisplayMonitors();
TIntRect ToIntRect(const RECT& rect);
RECT ToRect(const TIntRect& rect);
// The work area of the monitor nearest to the rectangle (the primary work area when none is reported).
RECT NearestWorkArea(const RECT& rect);
