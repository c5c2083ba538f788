// The SPI flash parts the virtual board can carry. Each --flash name is a
// family of real parts that differ in size; --flash-size picks the member,
// and the member answers the identification opcodes with its own ids.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config.h"
#include "timing.h"

namespace sim {

// Opcodes a family takes beyond the ones every part has (0x01, 0x04, 0x05,
// 0x06, 0x0B, 0x9F, 0xAB).
enum PartOpcodes : uint16_t {
    kPageProgram = 1u << 0,     // 0x02, up to a page
    kByteProgram = 1u << 1,     // 0x02, exactly one byte (SST25VF)
    kAaiWord = 1u << 2,         // 0xAD
    kAaiByte = 1u << 3,         // 0xAF
    kErase1K = 1u << 4,         // 0xD7
    kErase4K = 1u << 5,         // 0x20
    kErase32K = 1u << 6,        // 0x52
    kBlockErase = 1u << 7,      // 0xD8, the member's block size
    kStatusRegister2 = 1u << 8, // 0x35, and 0x01 with a second byte
    kEnableStatusWrite = 1u << 9,  // 0x50
};

// How status register 1 (and 2) map to the protected area.
enum class Protection : uint8_t {
    // The member's BP bits read as a number n protect the upper
    // bp_unit_kb << (n - 1); all BP bits set, or an area at or past the
    // size, protect everything.
    kUpperBlocks,
    // W25Q and GD25Q: BP2..BP0 (bits 4..2) with TB (bit 5, GigaDevice's BP3:
    // the lower end instead of the upper), SEC (bit 6, GigaDevice's BP4:
    // 4 KB units instead of 64 KB) and CMP (status register 2 bit 6: the
    // complement of that area).
    kWinbond,
};

// What arms a status write (0x01).
enum class StatusWrite : uint8_t {
    kLatch,            // the write-enable latch (0x06)
    kLatchOrEwsr,      // the latch, or 0x50 as the command right before (SST25VF0xxB)
    kEwsrOnly,         // 0x50 as the command right before; the latch does not (SST25VF0xxA)
    kLatchOrVolatile,  // the latch writes the non-volatile bits; 0x50, until 0x01 or
                       // 0x04 comes, the volatile copies only (Winbond W25Q)
};

// What refuses a status write that is armed.
enum class StatusLock : uint8_t {
    kNone,    // nothing
    kWpBit7,  // bit 7 (SRWD, SST's BPL) set while WP# is low
    kSrp,     // SRP1 (status register 2 bit 0) set; SRP0 (bit 7) set while WP# is low
};

// What a part answers to 0x5A (read SFDP).
enum class SfdpTable : uint8_t {
    kNone,     // the opcode is unknown to the part
    kWinbond,  // the basic table alone, erases 0x20, 0x52, 0xD8
    kStandIn,  // the basic table, erases 0x20, 0xD8, then a table of the maker's
};

// Status register 1 of a member.
struct StatusBits {
    uint8_t writable;  // the bits a status write sets (the others read 0)
    uint8_t bp;        // of them, the block-protect bits (kUpperBlocks)
    uint16_t unit_kb;  // the area BP = 1 protects (kUpperBlocks)
};

struct PartMember {
    uint32_t kb;            // 0: every size from 64 KB to 16 MB
    const char* number;     // the maker's part number
    uint8_t jedec_id[4];    // 0x9F answer, repeated
    uint8_t read_id[2];     // 0xAB answer after its three dummies: these two over and over
    uint32_t block_kb;      // what 0xD8 erases
    StatusBits status;
    const BusyTimes* times;
    bool one_byte_clears_status2;  // 0x01 with one byte clears CMP, QE and SRP1
};

struct PartInfo {
    Part part;
    const char* name;         // --flash
    const char* family;       // what the members are, for --help
    uint16_t opcodes;         // PartOpcodes
    Protection protection;
    StatusWrite status_write;
    StatusLock lock;
    uint8_t status2_writable;  // status register 2 bits a write sets (0: none)
    SfdpTable sfdp;
    bool aai_status_bit;      // status bit 6 shows an AAI sequence in progress
    uint32_t default_kb;      // the size without --flash-size
    const PartMember* members;
    size_t member_count;
};

const PartInfo& PartInfoOf(Part part);
// The part named name (as --flash spells it), nullptr when there is none.
const PartInfo* FindPart(const char* name);
// All parts, in the order of enum Part.
const PartInfo* AllParts(size_t* count);

// The member of that size, nullptr when the family has none.
const PartMember* FindMember(const PartInfo& part, uint32_t kb);
// The flash size a config gives: --flash-size, or the part's default.
uint32_t FlashKb(const Config& config);
// The member a config gives; a size the family lacks (a board built
// directly, not from the command line) gets the default member's answers.
const PartMember& MemberOf(const Config& config);

}  // namespace sim
