// The hosted wall clock reads UTC with the calendar's own numbering.
#include <gtest/gtest.h>

#include <ctime>

#include "platform/platform.h"

namespace {

TEST(UtcNow, AgreesWithTheSystemClockInUtc)
{
    const time_t before = time(nullptr);
    platform::CivilTime now{};
    ASSERT_TRUE(platform::UtcNow(&now));
    const time_t after = time(nullptr);

    tm civil{};
    civil.tm_year = now.year - 1900;
    civil.tm_mon = now.month - 1;
    civil.tm_mday = now.day;
    civil.tm_hour = now.hour;
    civil.tm_min = now.minute;
    civil.tm_sec = now.second;
    const time_t read = timegm(&civil);
    EXPECT_GE(read, before);
    EXPECT_LE(read, after);
    EXPECT_LT(now.millisecond, 1000);
}

}  // namespace
