// Programming and verification against the image buffer.
#pragma once

#include <cstdint>

extern uint16_t counter2;  // page within the block (page routines)
extern uint16_t counter;   // byte within the page or burst
extern uint32_t counterN;  // byte within the block (AAI, checks, verify)

void vAAIProgram64KByte(uint8_t high, uint8_t middle, uint8_t low);
void vAAIWordProgram64KByte(uint8_t high, uint8_t middle, uint8_t low);
void ByteProgram64KByte(uint8_t high, uint8_t middle, uint8_t low);
void ByteProgram(uint8_t high, uint8_t middle, uint8_t low, uint8_t pages);
void ByteProgram64KByte_PP32(uint8_t high, uint8_t middle, uint8_t low);
void ByteProgram_PP32(uint8_t high, uint8_t middle, uint8_t low, uint8_t pages);
// 1 when the flash equals the image up to the block's or the image's end.
uint8_t vSPIVerify64KByte(uint8_t high, uint8_t middle, uint8_t low);

// The engine's globals back to their start values (tests).
void ResetFlashState();
