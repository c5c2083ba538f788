// The update sequence: flash mode, identification, then every block of the
// image, and out of flash mode again. A compare ("/C") runs the same
// sequence with the verify as each block's only work.
#pragma once

#include <cstdint>

#include "image_checks.h"
#include "options.h"

namespace driver {

// Said when a stop came before the first erase.
inline constexpr const char* kNothingWritten = "\n\rInterrupted: nothing was written.";

// The image as checked, whole in memory.
struct UpdateImage {
    const uint8_t* bytes;
    uint64_t length;
    Geometry geometry;
};

// Returns the run's status: 0 when every block verified, 1 after a refusal
// or the first failed block (no further block is tried) or a stop.
int RunUpdate(const RunOptions& options, const UpdateImage& image);

}  // namespace driver
