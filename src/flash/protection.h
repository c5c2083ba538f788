// What a part's status registers protect, in the words the information mode
// and the protection print.
#pragma once

#include <cstdint>

#include "part.h"

namespace flash {

// [begin, end) of the array that is protected.
struct ProtectedArea {
    enum class Kind : uint8_t { kNone, kRange, kUnknown } kind;
    uint32_t begin;
    uint32_t end;
};

// From status register 1 (and 2 where the part has one) by the part's
// layout; unknown where the table knows neither the layout nor the size.
ProtectedArea AreaProtectedBy(const FlashPart& part, uint8_t status1, uint8_t status2);

// "no", "while WP# is low", "until power-off", "for good" or "unknown".
const char* StatusLockOf(const FlashPart& part, uint8_t status1, uint8_t status2);

// "Protected: none", "Protected: 0x000000-0x000FFF" (" (all)" after the
// whole part) or "Protected: unknown", as a line.
void PrintProtectedLine(const FlashPart& part, uint8_t status1, uint8_t status2);

}  // namespace flash
