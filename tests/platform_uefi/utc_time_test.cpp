// kovrin's clock: the firmware's local time and zone made UTC, across the
// ends of days, months, leap years and years.
#include <gtest/gtest.h>

#include "platform/uefi/utc_time.h"

namespace {

TEST(CalendarToUtc, ZonesAndCalendarEnds)
{
    const struct {
        CALENDAR_TIME local;
        int16_t zone;  // minutes east of UTC
        int valid;
        CALENDAR_TIME utc;
    } kCases[] = {
        {{2026, 12, 8, 14, 3, 7, 123}, UTC_TIME_ZONE_UNSPECIFIED, 1, {2026, 12, 8, 14, 3, 7, 123}},
        {{2026, 12, 8, 14, 3, 7, 123}, 0, 1, {2026, 12, 8, 14, 3, 7, 123}},
        {{2026, 12, 8, 15, 3, 7, 123}, 60, 1, {2026, 12, 8, 14, 3, 7, 123}},
        {{2026, 12, 8, 9, 3, 0, 0}, -300, 1, {2026, 12, 8, 14, 3, 0, 0}},
        {{2026, 12, 8, 5, 0, 0, 0}, 345, 1, {2026, 12, 7, 23, 15, 0, 0}},
        {{2027, 1, 1, 0, 30, 0, 0}, 60, 1, {2026, 12, 31, 23, 30, 0, 0}},
        {{2026, 12, 31, 23, 30, 59, 999}, -60, 1, {2027, 1, 1, 0, 30, 59, 999}},
        {{2024, 3, 1, 1, 0, 0, 0}, 120, 1, {2024, 2, 29, 23, 0, 0, 0}},
        {{2023, 3, 1, 1, 0, 0, 0}, 120, 1, {2023, 2, 28, 23, 0, 0, 0}},
        {{2100, 2, 28, 23, 0, 0, 0}, -120, 1, {2100, 3, 1, 1, 0, 0, 0}},
        {{2000, 2, 28, 23, 0, 0, 0}, -120, 1, {2000, 2, 29, 1, 0, 0, 0}},
        {{2026, 4, 30, 12, 0, 0, 0}, -1440, 1, {2026, 5, 1, 12, 0, 0, 0}},
        {{2026, 5, 1, 12, 0, 0, 0}, 1440, 1, {2026, 4, 30, 12, 0, 0, 0}},
        // What no clock can mean.
        {{2026, 12, 8, 14, 3, 7, 0}, 1441, 0, {}},
        {{2026, 12, 8, 14, 3, 7, 0}, -1441, 0, {}},
        {{2026, 13, 8, 14, 3, 7, 0}, 0, 0, {}},
        {{2026, 0, 8, 14, 3, 7, 0}, 0, 0, {}},
        {{2023, 2, 29, 14, 3, 7, 0}, 0, 0, {}},
        {{2026, 4, 31, 14, 3, 7, 0}, 0, 0, {}},
        {{2026, 4, 0, 14, 3, 7, 0}, 0, 0, {}},
        {{2026, 4, 1, 24, 0, 0, 0}, 0, 0, {}},
        {{2026, 4, 1, 0, 60, 0, 0}, 0, 0, {}},
        {{2026, 4, 1, 0, 0, 60, 0}, 0, 0, {}},
        {{1899, 12, 31, 0, 0, 0, 0}, 0, 0, {}},
        {{9999, 12, 31, 23, 30, 0, 0}, -60, 0, {}},
    };
    for (const auto& c : kCases) {
        CALENDAR_TIME time = c.local;
        ASSERT_EQ(CalendarToUtc(&time, c.zone), c.valid)
            << c.local.Year << "-" << +c.local.Month << "-" << +c.local.Day << " zone " << c.zone;
        if (c.valid == 0)
            continue;
        EXPECT_EQ(time.Year, c.utc.Year);
        EXPECT_EQ(time.Month, c.utc.Month);
        EXPECT_EQ(time.Day, c.utc.Day);
        EXPECT_EQ(time.Hour, c.utc.Hour);
        EXPECT_EQ(time.Minute, c.utc.Minute);
        EXPECT_EQ(time.Second, c.utc.Second);
        EXPECT_EQ(time.Millisecond, c.utc.Millisecond);
    }
}

}  // namespace
