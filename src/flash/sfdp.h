// The part's size from its SFDP tables (JESD216), for parts whose id does
// not tell it.
#pragma once

#include <cstdint>

namespace flash {

// Bytes, from the density of the basic flash parameter table; 0 when the
// part has no SFDP or its tables are malformed.
uint32_t ReadSfdpCapacity();

}  // namespace flash
