// One block of the update: the choice of erase, check and programming
// routines by the region flags and the flash identification.
#pragma once

#include <cstdint>

// True for a region update ("/BK", "/Mn", "/Bp").
bool IsRegionUpdate();

// Erases, checks, programs and verifies the block (or the region) whose
// base address is given; a region is placed relative to it. False as soon
// as the erase check or the verify fails: the routine has printed why.
bool UpdateBlock(uint8_t high, uint8_t middle, uint8_t low);
