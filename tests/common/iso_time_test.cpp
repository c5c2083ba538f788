// The record's time text: ISO 8601 in UTC, every field at its fixed width.
#include <gtest/gtest.h>

#include "common/iso_time.h"

namespace {

TEST(IsoTime, FieldsAtFixedWidth)
{
    const struct {
        platform::CivilTime time;
        const char* text;
    } kCases[] = {
        {{2026, 12, 8, 14, 3, 7, 123}, "2026-12-08T14:03:07.123Z"},
        {{1970, 1, 1, 0, 0, 0, 0}, "1970-01-01T00:00:00.000Z"},
        {{999, 2, 29, 23, 59, 59, 9}, "0999-02-29T23:59:59.009Z"},
        {{9999, 12, 31, 23, 59, 60, 999}, "9999-12-31T23:59:60.999Z"},
    };
    for (const auto& c : kCases) {
        char text[kIsoTimeLength + 1];
        IsoTime(c.time, text);
        EXPECT_STREQ(text, c.text);
    }
}

}  // namespace
