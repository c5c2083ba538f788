// Erase, and the checks that the erased area reads 0xFF.
#pragma once

#include <cstdint>

#include "block.h"
#include "part.h"

namespace flash {

// The 4 KB sectors (1 KB units on parts that erase so) that hold the first
// length bytes of the block at address; the rest of the block keeps what it
// held.
void EraseBlock(const FlashPart& part, uint32_t address, uint32_t length);
// count 4 KB sectors from address.
void EraseSectors(const FlashPart& part, uint32_t address, uint32_t count, Marks marks);

// The smallest area an update's erase clears alone on this part: 1 KB on
// parts that erase a whole block so, the 0xD8 sector where it stands in for
// 0x20 (64 KB unless the part is known to be smaller), else 4 KB; a region's
// erase always goes by 4 KB.
uint32_t EraseUnitBytes(const FlashPart& part, bool region);

// True when length bytes from address read 0xFF. A failure prints the page
// counters the last programming run left (erase checks of whole blocks) or
// the position of the first byte that is not erased (regions).
bool CheckBlockErased(uint32_t address, uint32_t length, PageCounters last_run);
bool CheckRegionErased(uint32_t address, uint32_t length, Marks marks);

}  // namespace flash
