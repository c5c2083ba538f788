// The verify against the image, and the read-back of a whole update.
#pragma once

#include <cstdint>

#include "block.h"

namespace flash {

// Every difference a compare finds: how many, the first and the last.
struct Differences {
    uint64_t count;
    uint32_t first;  // flash addresses
    uint32_t last;
    uint8_t first_flash;
    uint8_t first_image;
};

// True when the flash from address equals the image's bytes for the block;
// at the first difference prints the image offset and the byte expected.
// Without differences the read stops there; with them (a compare) it goes
// on to the block's end, adds every difference and hands every byte read to
// the run's record.
bool VerifyBlock(uint32_t address, const BlockImage& image, Marks marks, Differences* differences = nullptr);

// Reads length bytes from address back in one pass: true when they are the
// image's bytes, else *differs_at is the first flash address that is not.
bool CheckImageHeld(uint32_t address, const uint8_t* bytes, uint32_t length, uint32_t* differs_at);

}  // namespace flash
