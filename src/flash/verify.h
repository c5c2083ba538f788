// The verify against the image.
#pragma once

#include <cstdint>

#include "block.h"

namespace flash {

// True when the flash from address equals the image's bytes for the block;
// at the first difference prints the image offset and the byte expected.
bool VerifyBlock(uint32_t address, const BlockImage& image, Marks marks);

}  // namespace flash
