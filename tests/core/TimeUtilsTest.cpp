// Durations as text and date-time arithmetic.
#include "app/TimeUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(FormatMilliseconds, ChoosesTheFormatByTheLargestNonZeroUnit) {
    const struct {
        int64_t Value;
        const char* Expected;
    } cases[] = {
        {90061001, "1 days, 01 hrs, 01 min, 01 sec, 001 ms"},
        {61001, "01 min, 01 sec, 001 ms"},
        {999, "999 ms"},
        {-5, "-5 ms"},
        {0, "0 ms"},
        {1000, "01 sec, 000 ms"},
        {3600000, "01 hrs, 00 min, 00 sec, 000 ms"},
        {86400000, "1 days, 00 hrs, 00 min, 00 sec, 000 ms"},
        {-90061001, "-1 days, 01 hrs, 01 min, 01 sec, 001 ms"},
        {864000000000LL, "10000 days, 00 hrs, 00 min, 00 sec, 000 ms"},
        {INT64_MIN, "-106751991167 days, 07 hrs, 12 min, 55 sec, 808 ms"},
        {INT64_MAX, "106751991167 days, 07 hrs, 12 min, 55 sec, 807 ms"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatMilliseconds(c.Value), c.Expected) << c.Value;
}

TEST(FormatDuration, ProgramTableWithoutWeeks) {
    const struct {
        int MaxParts;
        int64_t Value;
        const char* Expected;
    } cases[] = {
        {3, 90061001, "01 days, 01 hrs, 01 min"},
        {3, 3600000, "01 hrs, 00 min, 00 sec"},
        {3, 1000, "01 sec"},
        {3, 500, "500 msec"},
        {3, 0, ""},
        {2, 59999, "59 sec, 999 msec"},
        {2, 400LL * 86400000, "1 yrs, 35 days"},
        {2, -1500, "-01 sec, 500 msec"},
        {-1, 90061001, "01 days, 01 hrs, 01 min, 01 sec, 001 msec"},
        {-1, 3600000, "01 hrs, 00 min, 00 sec"},
        {-1, 31536000000LL + 1, "1 yrs, 00 days, 00 hrs, 00 min, 00 sec, 001 msec"},
        {1, 90061001, "01 days"},
        {0, 90061001, ""},
        {3, 1000LL * 31536000000LL, "1000 yrs, 00 days, 00 hrs"},
        {2, INT64_MIN, "-292471208 yrs, 247 days"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDuration(StandardDurationUnits, c.MaxParts, c.Value, DurationKindsWithoutWeeks),
                  c.Expected)
            << c.Value << " in " << c.MaxParts << " parts";
}

TEST(FormatDuration, AllowedKindsDecideWhereTimeFlows) {
    const struct {
        uint16_t Allowed;
        int MaxParts;
        int64_t Value;
        const char* Expected;
    } cases[] = {
        {0xFFFF, 2, 400LL * 86400000, "1 yrs, 5 wks"},
        {0xFFFF, 3, 400LL * 86400000, "1 yrs, 5 wks, 00 days"},
        {1 << 4, -1, 400LL * 86400000, "400 days"},
        {1 << 7, -1, 3600000, "3600 sec"},
        {(1 << 6) | (1 << 8), -1, 61001, "01 min, 1001 msec"},
        {1 << 1, -1, 5, ""},
        {0, -1, 5, ""},
        // A negative value keeps its sign even when no unit is written; the early exits come first.
        {1 << 1, -1, -5, "-"},
        {1 << 1, 2, -999, "-"},
        {0, -1, -5, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDuration(StandardDurationUnits, c.MaxParts, c.Value, c.Allowed), c.Expected)
            << c.Value << " allowed " << c.Allowed;
}

TEST(FormatDuration, OddTablesNeitherFaultNorLoop) {
    const std::vector<DurationUnit> odd = {
        {16, 1000, false, "%d kind16", ", "}, // kinds above 15 are never allowed
        {2, 0, false, "%d zero", ", "},       // a unit without length is skipped rather than divided by
        {2, 1000, false, "%d s", nullptr},    // a missing separator writes nothing
        {3, 1, false, "%d ms", nullptr},
    };
    EXPECT_EQ(FormatDuration(odd, -1, 2005, 0xFFFF), "2 s5 ms");
    EXPECT_EQ(FormatDuration({}, -1, 2005, 0xFFFF), "");
    EXPECT_EQ(FormatDuration(odd, -7, 2005, 0xFFFF), "2 s5 ms");
}

TEST(DateTime, DaysSince1899) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30, 0, 0, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1, 0, 0, 0, 0), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2000, 1, 1, 12, 0, 0, 0), 36526.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2016, 6, 28, 6, 0, 0, 0), 42549.25);
    EXPECT_NEAR(EncodeDateTime(2016, 6, 28, 0, 0, 0, 1), 42549.0 + 1.0 / 86400000.0, 1e-12);
    // 1 January 2000, 12:00 UTC in 100-nanosecond intervals since 1601.
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(125911584000000000ULL + 432000000000ULL), 36526.5);
    EXPECT_DOUBLE_EQ(FileTimeToDateTime(0), -109205.0);
}

TEST(DateTime, DayOfWeek) {
    const struct {
        int Year, Month, Day, Weekday;
    } cases[] = {
        {1970, 1, 1, 4},   {2016, 6, 28, 2}, {2000, 2, 29, 2},
        {1899, 12, 30, 6}, {1601, 1, 1, 1},  {2026, 12, 8, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DayOfWeek(c.Year, c.Month, c.Day), c.Weekday) << c.Year << "-" << c.Month << "-" << c.Day;
}

} // namespace
