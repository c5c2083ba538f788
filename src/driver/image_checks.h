// What the update mode works out from the image's length and the options,
// and the refusals it makes before any flash work.
#pragma once

#include <cstdint>

// The geometry globals for an image of this length, and the positions at 0.
void SetImageGeometry(uint64_t length);

// The region rule the image breaks (its message, printed verbatim), or null.
const char* BrokenRegionRule();

// Why the image cannot be placed at the base (its message, printed as a
// line), or null: a base that is not on a 64 KB boundary, an area past the
// 16 MB the three address bytes reach, or nothing to write.
const char* PlacementRefusal();
