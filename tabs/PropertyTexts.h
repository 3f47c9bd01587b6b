// The texts of the property groups that need no platform: rectangles, style words, elapsed times,
// processor times, and the order of the Properties rows.
#pragma once

#include "app/QrLib.h"

#include <cstdint>
#include <string>
#include <string_view>

// The two corners: "%d x %d / %d x %d" with left, top, right and bottom.
std::string RectText(const TIntRect& rect);
// Empty for 0, otherwise the prefix and eight upper-case hexadecimal digits.
std::string StyleText(uint32_t value, const std::string& prefix);
// (now - moment) in days as whole milliseconds, truncated toward zero; date-time values in days.
// Values beyond the 64-bit range (or not numbers) give the nearest limit (0 for not-a-number).
int64_t ElapsedMilliseconds(double now, double moment);
// The date part, " / ", and the elapsed time in at most three units, weeks left out.
std::string MomentText(const std::string& dateText, int64_t elapsedMs);
// A processor time in 100-nanosecond units as FormatMilliseconds of its whole milliseconds.
std::string ProcessorTimeText(uint64_t fileTimeUnits);
// The order of two cells: ASCII letters without case, negated when descending.
int ComparePropertyCells(std::string_view a, std::string_view b, bool descending);
