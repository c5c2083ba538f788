// The wall clock of a hosted system, for a run's record.
#include <ctime>

#include "platform/platform.h"

namespace platform {

bool UtcNow(CivilTime* time)
{
    timespec now{};
    tm civil{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0 || gmtime_r(&now.tv_sec, &civil) == nullptr)
        return false;
    // A year the record's four digits cannot show is no clock worth reading.
    if (civil.tm_year < -1900 || civil.tm_year > 9999 - 1900)
        return false;
    *time = {
        .year = static_cast<uint16_t>(civil.tm_year + 1900),
        .month = static_cast<uint8_t>(civil.tm_mon + 1),
        .day = static_cast<uint8_t>(civil.tm_mday),
        .hour = static_cast<uint8_t>(civil.tm_hour),
        .minute = static_cast<uint8_t>(civil.tm_min),
        .second = static_cast<uint8_t>(civil.tm_sec),
        .millisecond = static_cast<uint16_t>(now.tv_nsec / 1000000),
    };
    return true;
}

}  // namespace platform
