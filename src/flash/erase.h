// Erase and the check that the erased area reads 0xFF. Addresses are the
// three bytes (bits 16-23, 8-15, 0-7) of the area's first flash byte.
#pragma once

#include <cstdint>

void vSPIBlockErase64KByte(uint8_t high, uint8_t middle, uint8_t low);
void vSPISectorErase(uint8_t high, uint8_t middle, uint8_t low, uint8_t count);
// 1 when every byte read is 0xFF, 0 at the first that is not.
uint8_t vSPIVerifyErase64KByte(uint8_t high, uint8_t middle, uint8_t low);
uint8_t vSPIVerifyErase(uint8_t high, uint8_t middle, uint8_t low);
