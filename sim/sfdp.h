// The SFDP area (JESD216) a part answers 0x5A with: the header, its
// parameter headers and the basic flash parameter table (BFPT) that
// describes the member.
#pragma once

#include <cstdint>

#include "parts.h"

namespace sim {

// 256 bytes, as Winbond's SFDP area: what lies in no table reads 0xFF.
constexpr uint32_t kSfdpAreaBytes = 256;

// Fills area with the table of that kind for a member of kb KB whose
// maker's JEDEC id is maker (kNone: all 0xFF).
void BuildSfdp(SfdpTable table, uint32_t kb, uint8_t maker, uint8_t (&area)[kSfdpAreaBytes]);

}  // namespace sim
