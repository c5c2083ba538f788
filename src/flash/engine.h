// Steps the engine's routines share: addresses, the image, the progress
// marks and the steps that differ by vendor. Internal to src/flash.
#pragma once

#include <cstdint>

namespace engine {

// One linear 24-bit flash address from the three bytes the routines take;
// every unit's address is start + offset, so nothing wraps inside a byte.
inline uint32_t Linear(uint8_t high, uint8_t middle, uint8_t low)
{
    return (uint32_t{high} << 16) | (uint32_t{middle} << 8) | low;
}

// The three address bytes, high first, each with vSendSPIByte.
void SendAddress(uint32_t address);

// New transaction: opcode, then the address.
void Command(uint8_t opcode, uint32_t address);

// One fast-read transaction from address (dummy byte included), left open
// for the reads that follow.
void OpenFastRead(uint32_t address);

// The image byte for block position n of the block the buffer feeds.
uint8_t ImageByte(uint32_t n);
// The image offset of block position n.
uint32_t ImageOffset(uint32_t n);

// Programming stops here: every image byte has been sent.
bool ImageProgrammed();
// The checks stop here: block position n of the flash block is past the image.
bool PastImage(uint32_t n);

// New transaction reading the status register (opcode 0x05).
void OpenStatusRead();
// Polls the open status read until the write-enable latch shows, whatever
// the busy bit says (bounded like every status wait).
void PollLatchSet();

// One progress mark.
void Mark();

// What a vendor id changes in the engine's SPI sequences.
struct PartSteps {
    uint8_t id;
    bool enable_write_status;  // 0x50 with write enable, unlock and protect
    bool two_status_bytes;     // protection keeps status register 2 (0x35)
    uint8_t erase_opcode;      // 4 KB steps: 0x20, or 0xD8 in its place
    bool erase_1k_units;       // a whole block goes in 1 KB units (0xD7)
};
// The steps of the identified part (SPIDeviceID byte 0).
const PartSteps& Steps();

}  // namespace engine
