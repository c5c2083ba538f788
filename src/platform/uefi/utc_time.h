/* The firmware clock's calendar time made UTC, for a run's record. Plain C,
   so the host's tests build it too. */
#ifndef KOVRIN_UTC_TIME_H_
#define KOVRIN_UTC_TIME_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* EFI_TIME's TimeZone when the clock keeps local time of no stated zone. */
#define UTC_TIME_ZONE_UNSPECIFIED  2047

typedef struct {
  uint16_t  Year;
  uint8_t   Month;
  uint8_t   Day;
  uint8_t   Hour;
  uint8_t   Minute;
  uint8_t   Second;
  uint16_t  Millisecond;
} CALENDAR_TIME;

/* Moves Time, read in the zone TimeZone minutes east of UTC, to UTC.
   0 when Time is no date and time of the years 1900-9999, or TimeZone
   is neither -1440 to 1440 nor unspecified (taken as UTC). */
int CalendarToUtc (CALENDAR_TIME *Time, int16_t TimeZone);

#ifdef __cplusplus
}
#endif

#endif
