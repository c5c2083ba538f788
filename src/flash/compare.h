// The read before an erase that rewrites only what differs ("/D").
#pragma once

#include <cstdint>

#include "block.h"

namespace flash {

// Compares the block (or region) at address with its image, unit by unit
// (unit: a power of two that divides the block, at most 64 of them): bit i
// of the result is set when unit i does not hold its part of the image. The
// read of a unit stops at its first difference; a unit that matches was
// read whole, once. Prints its line with its marks.
uint64_t CompareUnits(uint32_t address, const BlockImage& image, uint32_t unit, Marks marks);

}  // namespace flash
