// Times as text, and date-time arithmetic that needs no platform.
#include "app/TimeUtils.h"

#include "app/QrLib.h"

const std::vector<DurationUnit> StandardDurationUnits = {
    {1, 31536000000LL, false, "%d yrs", nullptr},
    {3, 604800000LL, false, "%d wks", ", "},
    {4, 86400000LL, false, "%.2d days", ", "},
    {5, 3600000LL, false, "%.2d hrs", ", "},
    {6, 60000LL, false, "%.2d min", ", "},
    {7, 1000LL, false, "%.2d sec", ", "},
    {8, 1LL, true, "%.3d msec", ", "},
};

namespace {

// |value| without overflow for the most negative value.
uint64_t Magnitude(int64_t value) {
    return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

// Counts above the largest signed value only come from the most negative input; show them as its magnitude.
int64_t AsSigned(uint64_t count) {
    return count > INT64_MAX ? INT64_MAX : static_cast<int64_t>(count);
}

} // namespace

std::string FormatMilliseconds(int64_t value) {
    const std::string sign = value < 0 ? "-" : "";
    const uint64_t v = Magnitude(value);
    const int ms = static_cast<int>(v % 1000);
    const int sec = static_cast<int>(v / 1000 % 60);
    const int min = static_cast<int>(v / 60000 % 60);
    const int hrs = static_cast<int>(v / 3600000 % 24);
    const uint64_t days = v / 86400000;
    if (days != 0)
        return sign + FormatText("%llu days, %.2d hrs, %.2d min, %.2d sec, %.3d ms",
                                 static_cast<unsigned long long>(days), hrs, min, sec, ms);
    if (hrs != 0) return sign + FormatText("%.2d hrs, %.2d min, %.2d sec, %.3d ms", hrs, min, sec, ms);
    if (min != 0) return sign + FormatText("%.2d min, %.2d sec, %.3d ms", min, sec, ms);
    if (sec != 0) return sign + FormatText("%.2d sec, %.3d ms", sec, ms);
    return sign + FormatText("%d ms", ms);
}

std::string FormatDuration(const std::vector<DurationUnit>& table, int maxParts, int64_t value,
                           uint16_t allowed) {
    std::string result;
    if (value == 0 || table.empty() || maxParts == 0 || allowed == 0) return result;
    if (maxParts == -1) maxParts = static_cast<int>(table.size());
    const bool negative = value < 0;
    uint64_t v = Magnitude(value);
    for (const DurationUnit& unit : table) {
        if (unit.Kind > 15 || !(allowed & (1u << unit.Kind))) continue;
        // A unit without a positive length cannot divide anything; treating it as absent avoids a fault.
        if (unit.Size <= 0) continue;
        const uint64_t size = static_cast<uint64_t>(unit.Size);
        const uint64_t count = v / size;
        if (count == 0 && (result.empty() || unit.OmitWhenZero)) continue;
        v %= size;
        if (!result.empty() && unit.Separator) result += unit.Separator;
        result += FormatNumber(unit.Format, AsSigned(count));
        if (--maxParts == 0) break;
    }
    // The sign goes in front even when no unit was written: a negative duration never reads as none.
    if (negative) result.insert(0, "-");
    return result;
}

namespace {

// Days from 1 January 1970 to a civil date (Howard Hinnant's algorithm), valid for any year.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

const int64_t DateTimeEpoch = DaysFromCivil(1899, 12, 30);
constexpr double MillisecondsPerDay = 86400000.0;

} // namespace

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    const int64_t days = DaysFromCivil(year, month, day) - DateTimeEpoch;
    const int64_t ms = ((static_cast<int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
    return static_cast<double>(days) + static_cast<double>(ms) / MillisecondsPerDay;
}

int DayOfWeek(int year, int month, int day) {
    const int64_t days = DaysFromCivil(year, month, day); // 1 January 1970 was a Thursday
    return static_cast<int>(((days % 7) + 11) % 7);
}

double FileTimeToDateTime(uint64_t fileTime) {
    const uint64_t ms = fileTime / 10000;
    const int64_t days = DaysFromCivil(1601, 1, 1) - DateTimeEpoch + static_cast<int64_t>(ms / 86400000);
    return static_cast<double>(days) + static_cast<double>(ms % 86400000) / MillisecondsPerDay;
}
