// Times as text: millisecond counts, durations from a unit table, and date-time values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One row of a unit table, largest unit first.
struct DurationUnit {
    uint8_t Kind;          // 0..15, selects the unit through the allowed set
    int64_t Size;          // the unit's length in milliseconds
    bool OmitWhenZero;     // left out at a count of 0, even after a larger unit was written
    const char* Format;    // the count's format, one number placeholder
    const char* Separator; // written before this unit when the text is not empty; may be null
};

// Years, weeks, days, hours, minutes, seconds, milliseconds (kinds 1, 3, 4, 5, 6, 7, 8).
extern const std::vector<DurationUnit> StandardDurationUnits;
// Every kind but weeks: what the property groups and the Processes tab ask for.
constexpr uint16_t DurationKindsWithoutWeeks = 503;

// "1 days, 01 hrs, 01 min, 01 sec, 001 ms" down to "999 ms", with "-" in front for negative values.
std::string FormatMilliseconds(int64_t value);
// At most maxParts units (-1: as many as the table has), leading zero units left out, only allowed kinds.
std::string FormatDuration(const std::vector<DurationUnit>& table, int maxParts, int64_t value,
                           uint16_t allowed);

// Date-time values: days since 30 December 1899, 00:00, the fraction being the time of day.
double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond);
// 0 for Sunday up to 6 for Saturday (proleptic Gregorian calendar).
int DayOfWeek(int year, int month, int day);
// A platform file time (100-nanosecond intervals since 1 January 1601) as a date-time value, without any
// time-zone change.
double FileTimeToDateTime(uint64_t fileTime);
