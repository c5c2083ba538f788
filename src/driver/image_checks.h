// What the update mode works out from the image's length and the options,
// and the refusals it makes before any flash work.
#pragma once

#include <cstdint>

#include "options.h"

namespace driver {

struct Geometry {
    uint32_t pages;   // 1 KB pages, rounded up: the size in K
    uint32_t blocks;  // 64 KB blocks, rounded up
};

Geometry GeometryOf(uint64_t length);

// The region rule the image breaks (its message, printed verbatim), or null.
const char* BrokenRegionRule(const RunOptions& options, uint64_t length);

// Why the image cannot be placed at the base (its message, printed as a
// line), or null: a base that is not on a 64 KB boundary, an area past the
// 16 MB the three address bytes reach, or nothing to write.
const char* PlacementRefusal(const RunOptions& options, uint64_t length);

// The base: the low byte of the offset is not used.
uint32_t FlashBase(const RunOptions& options);

}  // namespace driver
