// The ISO 8601 text of a UTC time, as a run's record shows it:
// "2026-12-08T14:03:07.123Z".
#pragma once

#include <cstddef>

#include "platform/platform.h"

inline constexpr size_t kIsoTimeLength = 24;

// Every field in its fixed number of digits; the text is NUL-terminated.
void IsoTime(const platform::CivilTime& time, char (&text)[kIsoTimeLength + 1]);
