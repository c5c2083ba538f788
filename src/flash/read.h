// Reading the flash out, for the read-out's file.
#pragma once

#include <cstdint>

namespace flash {

// length bytes from address into out, in one fast read, a mark per 4 KB.
void ReadBlock(uint32_t address, uint8_t* out, uint32_t length);
// The same without a word on the console: a few bytes a check looks at.
void ReadQuietly(uint32_t address, uint8_t* out, uint32_t length);

}  // namespace flash
