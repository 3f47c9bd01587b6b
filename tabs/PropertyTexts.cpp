// Property texts that need no platform.
#include "tabs/PropertyTexts.h"

#include "app/TimeUtils.h"
#include "config/ConfigRows.h"

#include <cmath>

std::string RectText(const TIntRect& rect) {
    return FormatText("%d x %d / %d x %d", rect.Left, rect.Top, rect.Right, rect.Bottom);
}

std::string StyleText(uint32_t value, const std::string& prefix) {
    if (value == 0) return std::string();
    return prefix + FormatText("%.8x", value);
}

int64_t ElapsedMilliseconds(double now, double moment) {
    const double ms = std::trunc((now - moment) * 86400000.0);
    if (std::isnan(ms)) return 0;
    // 2^63 is exactly representable; anything at or past it would overflow the conversion.
    if (ms >= 9223372036854775808.0) return INT64_MAX;
    if (ms <= -9223372036854775808.0) return INT64_MIN;
    return static_cast<int64_t>(ms);
}

std::string MomentText(const std::string& dateText, int64_t elapsedMs) {
    return dateText + " / " + FormatDuration(StandardDurationUnits, 3, elapsedMs, DurationKindsWithoutWeeks);
}

std::string ProcessorTimeText(uint64_t fileTimeUnits) {
    return FormatMilliseconds(static_cast<int64_t>(fileTimeUnits / 10 / 1000));
}

int ComparePropertyCells(std::string_view a, std::string_view b, bool descending) {
    int order = CompareTextNoCase(a, b);
    return descending ? -order : order;
}
