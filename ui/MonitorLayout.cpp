// Choosing a monitor and fitting rectangles into work areas, for layouts of any number of monitors.
#include "ui/MonitorLayout.h"

#include <algorithm>
#include <limits>

namespace {

int64_t OverlapArea(const TIntRect& a, const TIntRect& b) {
    int64_t width = int64_t{std::min(a.Right, b.Right)} - std::max(a.Left, b.Left);
    int64_t height = int64_t{std::min(a.Bottom, b.Bottom)} - std::max(a.Top, b.Top);
    return width > 0 && height > 0 ? width * height : 0;
}

// The gap between two ranges on one axis; 0 when they touch or overlap.
int64_t Gap(int32_t aLow, int32_t aHigh, int32_t bLow, int32_t bHigh) {
    if (aHigh < bLow) return int64_t{bLow} - aHigh;
    if (bHigh < aLow) return int64_t{aLow} - bHigh;
    return 0;
}

int64_t SquaredDistance(const TIntRect& a, const TIntRect& b) {
    int64_t dx = Gap(a.Left, a.Right, b.Left, b.Right), dy = Gap(a.Top, a.Bottom, b.Top, b.Bottom);
    return dx * dx + dy * dy;
}

// One side of a rectangle brought into [low, high): moved the least, cut when longer.
void FitRange(int32_t& from, int32_t& to, int32_t low, int32_t high) {
    int64_t length = std::min(int64_t{to} - from, int64_t{high} - low);
    if (length < 0) length = 0;
    int64_t start = std::clamp<int64_t>(from, low, int64_t{high} - length);
    from = static_cast<int32_t>(start);
    to = static_cast<int32_t>(start + length);
}

void CenterRange(int32_t& from, int32_t& to, int32_t low, int32_t high) {
    int64_t length = std::clamp<int64_t>(int64_t{to} - from, 0, int64_t{high} - low);
    int64_t start = low + (int64_t{high} - low - length) / 2;
    from = static_cast<int32_t>(start);
    to = static_cast<int32_t>(start + length);
}

} // namespace

int NearestMonitor(const std::vector<TMonitorArea>& monitors, const TIntRect& rect) {
    int best = -1;
    int64_t bestOverlap = 0, bestDistance = std::numeric_limits<int64_t>::max();
    for (size_t i = 0; i < monitors.size(); ++i) {
        const TMonitorArea& monitor = monitors[i];
        int64_t overlap = OverlapArea(rect, monitor.Bounds);
        int64_t distance = overlap > 0 ? 0 : SquaredDistance(rect, monitor.Bounds);
        bool better = overlap > bestOverlap || (bestOverlap == 0 && overlap == 0 && distance < bestDistance);
        bool tie = overlap == bestOverlap && distance == bestDistance && monitor.Primary;
        if (best < 0 || better || tie) {
            best = static_cast<int>(i);
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return best;
}

int NearestMonitorToPoint(const std::vector<TMonitorArea>& monitors, int32_t x, int32_t y) {
    // A point is a rectangle of one pixel: on a monitor it overlaps it, otherwise the nearest one wins.
    return NearestMonitor(monitors, {x, y, x + 1, y + 1});
}

bool VisibleOnMonitor(const std::vector<TMonitorArea>& monitors, const TIntRect& rect, int32_t minimum) {
    return std::any_of(monitors.begin(), monitors.end(), [&](const TMonitorArea& monitor) {
        int64_t width =
            int64_t{std::min(rect.Right, monitor.Bounds.Right)} - std::max(rect.Left, monitor.Bounds.Left);
        int64_t height =
            int64_t{std::min(rect.Bottom, monitor.Bounds.Bottom)} - std::max(rect.Top, monitor.Bounds.Top);
        return width >= minimum && height >= minimum && width > 0 && height > 0;
    });
}

TIntRect FitIntoArea(const TIntRect& rect, const TIntRect& area) {
    TIntRect fitted = rect;
    FitRange(fitted.Left, fitted.Right, area.Left, area.Right);
    FitRange(fitted.Top, fitted.Bottom, area.Top, area.Bottom);
    return fitted;
}

TIntRect CenterInArea(const TIntRect& rect, const TIntRect& area) {
    TIntRect centred = rect;
    CenterRange(centred.Left, centred.Right, area.Left, area.Right);
    CenterRange(centred.Top, centred.Bottom, area.Top, area.Bottom);
    return centred;
}

TIntRect VirtualScreenOf(const std::vector<TMonitorArea>& monitors) {
    if (monitors.empty()) return {};
    TIntRect all = monitors.front().Bounds;
    for (const TMonitorArea& monitor : monitors) {
        all.Left = std::min(all.Left, monitor.Bounds.Left);
        all.Top = std::min(all.Top, monitor.Bounds.Top);
        all.Right = std::max(all.Right, monitor.Bounds.Right);
        all.Bottom = std::max(all.Bottom, monitor.Bounds.Bottom);
    }
    return all;
}
