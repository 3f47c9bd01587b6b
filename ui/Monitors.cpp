// Asks the platform for its monitors; every choice among them is made in ui/MonitorLayout.
#include "ui/Monitors.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        TMonitorArea area;
        area.Bounds = ToIntRect(info.rcMonitor);
        area.WorkArea = ToIntRect(info.rcWork);
        area.Primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        reinterpret_cast<std::vector<TMonitorArea>*>(list)->push_back(area);
    }
    return TRUE;
}

} // namespace

TIntRect ToIntRect(const RECT& rect) {
    return {static_cast<int32_t>(rect.left), static_cast<int32_t>(rect.top), static_cast<int32_t>(rect.right),
            static_cast<int32_t>(rect.bottom)};
}

RECT ToRect(const TIntRect& rect) {
    return {rect.Left, rect.Top, rect.Right, rect.Bottom};
}

std::vector<TMonitorArea> DisplayMonitors() {
    std::vector<TMonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    if (monitors.empty()) {
        // A session without a monitor list still has the primary screen.
        TMonitorArea primary;
        primary.Bounds = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT work = {};
        primary.WorkArea =
            SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) ? ToIntRect(work) : primary.Bounds;
        primary.Primary = true;
        monitors.push_back(primary);
    }
    return monitors;
}

RECT NearestWorkArea(const RECT& rect) {
    std::vector<TMonitorArea> monitors = DisplayMonitors();
    int nearest = NearestMonitor(monitors, ToIntRect(rect));
    return ToRect(monitors[static_cast<size_t>(nearest)].WorkArea);
}
