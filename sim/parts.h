// The SPI flash parts the virtual board can carry: how each one answers the
// identification opcodes, which programming and erase opcodes it takes and
// how its status register protects the array.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config.h"

namespace sim {

// Opcodes a part takes beyond the ones every part has (0x01, 0x04, 0x05,
// 0x06, 0x0B, 0x9F, 0xAB).
enum PartOpcodes : uint16_t {
    kPageProgram = 1u << 0,     // 0x02
    kAaiWord = 1u << 1,         // 0xAD
    kAaiByte = 1u << 2,         // 0xAF
    kErase1K = 1u << 3,         // 0xD7
    kErase4K = 1u << 4,         // 0x20
    kErase64K = 1u << 5,        // 0xD8
    kStatusRegister2 = 1u << 6, // 0x35, and 0x01 with a second byte
    kEnableStatusWrite = 1u << 7,  // 0x50: the next 0x01 needs no latch
};

enum class Protection : uint8_t {
    // BP2..BP0 (status bits 4..2) = n protect the upper 64 KB << (n - 1),
    // 7 the whole array (SST25, MX25L, M25P, ITE and the rest).
    kUpperBlocks,
    // Winbond W25Q status register 1: BP2..BP0 with TB (bit 5, lower end
    // instead of upper) and SEC (bit 6, units of 4 KB instead of 64 KB).
    kWinbond,
};

struct PartInfo {
    Part part;
    const char* name;         // --flash
    uint8_t jedec_id[4];      // 0x9F answer
    uint8_t read_id[2];       // 0xAB answer: these two bytes over and over
    uint16_t opcodes;         // PartOpcodes
    Protection protection;
    // 0x50 opens the volatile status register: the 0x01 that follows
    // takes effect at once, without a write cycle.
    bool volatile_status;
};

const PartInfo& PartInfoOf(Part part);
// The part named name (as --flash spells it), nullptr when there is none.
const PartInfo* FindPart(const char* name);
// All parts, in the order of enum Part.
const PartInfo* AllParts(size_t* count);

}  // namespace sim
