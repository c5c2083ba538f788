// What the update mode works out from the image's length and the options,
// and the refusals it and the read-out make before any flash work (the
// capacity's, after identification).
#pragma once

#include <cstdint>

#include "flash/part.h"
#include "options.h"

namespace driver {

struct Geometry {
    uint32_t pages;   // 1 KB pages, rounded up: the size in K
    uint32_t blocks;  // 64 KB blocks, rounded up
};

Geometry GeometryOf(uint64_t length);

// The region rule the image breaks (its message, printed verbatim), or null.
const char* BrokenRegionRule(const RunOptions& options, uint64_t length);

// Why length bytes from the base cannot be reached (its message, printed as
// a line), or null: a base that is not on a 64 KB boundary, or an area past
// the 16 MB the three address bytes reach.
const char* AreaRefusal(const RunOptions& options, uint64_t length);

// Why the image cannot be placed at the base: the area's rules for the
// image or its region, more blocks than the status screen counts, or
// nothing to write.
const char* PlacementRefusal(const RunOptions& options, uint64_t length);

// True, after printing why, when the area up to end (exclusive) passes the
// capacity the part's id tells; never when the id tells none.
bool PastCapacity(const flash::FlashPart& part, uint64_t end);

// The base: the low byte of the offset is not used.
uint32_t FlashBase(const RunOptions& options);

}  // namespace driver
