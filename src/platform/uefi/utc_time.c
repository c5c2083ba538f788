#include "utc_time.h"

#define MINUTES_PER_DAY  1440

static int
IsLeapYear (
  uint32_t  Year
  )
{
  return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
}

static uint8_t
DaysInMonth (
  uint32_t  Year,
  uint8_t   Month
  )
{
  static const uint8_t  Days[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };

  return (uint8_t)(Days[Month - 1] + (Month == 2 && IsLeapYear (Year) ? 1 : 0));
}

static void
NextDay (
  CALENDAR_TIME  *Time
  )
{
  if (Time->Day < DaysInMonth (Time->Year, Time->Month)) {
    Time->Day++;
    return;
  }

  Time->Day = 1;
  if (Time->Month < 12) {
    Time->Month++;
    return;
  }

  Time->Month = 1;
  Time->Year++;
}

static void
PreviousDay (
  CALENDAR_TIME  *Time
  )
{
  if (Time->Day > 1) {
    Time->Day--;
    return;
  }

  if (Time->Month > 1) {
    Time->Month--;
  } else {
    Time->Month = 12;
    Time->Year--;
  }

  Time->Day = DaysInMonth (Time->Year, Time->Month);
}

int
CalendarToUtc (
  CALENDAR_TIME  *Time,
  int16_t        TimeZone
  )
{
  int32_t  Minutes;

  if ((Time->Year < 1900) || (Time->Year > 9999) || (Time->Month < 1) || (Time->Month > 12) ||
      (Time->Day < 1) || (Time->Day > DaysInMonth (Time->Year, Time->Month)) || (Time->Hour > 23) ||
      (Time->Minute > 59) || (Time->Second > 59) || (Time->Millisecond > 999))
  {
    return 0;
  }

  if (TimeZone == UTC_TIME_ZONE_UNSPECIFIED) {
    return 1;
  }

  if ((TimeZone < -MINUTES_PER_DAY) || (TimeZone > MINUTES_PER_DAY)) {
    return 0;
  }

  /* Local time is UTC + TimeZone: the zone counts minutes east of UTC, as
     in ISO 8601. That is how EDK II's own clock drivers, which ARM boards'
     firmware is built on (PL031, the virtual clock), set and read it, so a
     clock set through them reads back true. Some texts of the UEFI
     standard give the other sign (Localtime = UTC - TimeZone); a firmware
     that followed them would be off by twice its zone. The zone already
     holds daylight saving there, so Daylight is not added. */
  Minutes = Time->Hour * 60 + Time->Minute - TimeZone;
  for ( ; Minutes < 0; Minutes += MINUTES_PER_DAY) {
    PreviousDay (Time);
  }

  for ( ; Minutes >= MINUTES_PER_DAY; Minutes -= MINUTES_PER_DAY) {
    NextDay (Time);
  }

  Time->Hour   = (uint8_t)(Minutes / 60);
  Time->Minute = (uint8_t)(Minutes % 60);
  /* The record shows four digits of the year. */
  return Time->Year <= 9999;
}
