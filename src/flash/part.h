// A flash part as identification found it, and what its maker's row in the
// part table (parts/) says about driving it. Nothing outside parts/ looks
// at a vendor id: it asks the identified part.
#pragma once

#include <cstddef>
#include <cstdint>

namespace flash {

// The identification answer: 0x9F's four bytes (the rest as they were), or
// 0xAB's sixteen when the JEDEC read gave vendor 0.
struct FlashId {
    uint8_t bytes[16];
    bool by_read_id;  // the older 0xAB read answered
};

enum class Programming : uint8_t {
    kPages,     // 0x02, 256-byte pages
    kBursts32,  // 0x02, each page as eight 32-byte commands
    kAaiWords,  // 0xAD, two bytes per command
    kAaiBytes,  // 0xAF, one byte per command
};

enum class EraseGranularity : uint8_t {
    k4K,       // 0x20 sectors
    k64KOnly,  // 0xD8 in place of 0x20: no region can be erased alone
    k1K,       // a whole block in 1 KB units (0xD7); 0x20 sectors otherwise
};

// How the block-protect bits of the status register map onto the array.
enum class ProtectionScheme : uint8_t {
    kUnknown,  // the maker's layout is not known here
    // BP = n protects the top (unit << (n - 1)) bytes; all BP bits set, or
    // an area as large as the part: all of it.
    kUpperBlocks,
    // W25Q and GD25Q: BP0-BP2, TB (bit 5: from the bottom), SEC (bit 6: 4 KB
    // units), and CMP (status register 2 bit 6) protecting the rest instead.
    kSectorTopBottom,
};

// What locks the status register itself.
enum class StatusLock : uint8_t {
    kUnknown,
    kWpPin,         // bit 7 (SRWD, BPL) with the WP# pin low
    kProtectPair,   // SRP0 (bit 7) and SRP1 (status register 2 bit 0)
};

// One member of a maker's series that the id names.
struct PartNumber {
    bool by_read_id;      // matched against the 0xAB answer (byte 1 only)
    uint8_t device[2];    // id bytes 1 and 2
    const char* name;
    uint32_t kb;          // its size; 0: the row's capacity rule tells
    uint8_t protect_bits; // block-protect bits from status bit 2 up
    uint8_t protect_unit_kb;  // the smallest area they protect (upper blocks)
    uint8_t sector_kb = 0;    // what 0xD8 erases where it stands in for 0x20; 0: 64 KB
};

struct PartRow {
    uint8_t vendor;
    const char* vendor_line;  // the status screen's line, null for none
    const char* maker;        // plain name, for the information mode
    Programming programming;
    EraseGranularity erase;
    bool enable_write_status_always;  // 0x50 after every write enable and before every status write
    uint8_t protect_enable;   // sent right before the protection's status write: the one that makes it last
    bool has_status2;         // 0x35 reads status register 2
    bool keeps_status2;       // the protection writes status register 2 back
    uint8_t protect_clears2;  // ... without these bits (CMP would turn the protection around)
    uint8_t protect_value;    // status register 1 value that guards the boot block
    ProtectionScheme protection;
    StatusLock lock;
    const PartNumber* numbers;  // the members the id names
    size_t number_count;
    // What only the rest of the id decides; null where the values above hold.
    const char* (*vendor_line_for)(const FlashId& id);
    Programming (*programming_for)(const FlashId& id);
    // The capacity in bytes the id tells, 0 when it does not; null: the
    // members' sizes only.
    uint32_t (*capacity)(const FlashId& id);
};

// The row for this vendor id; a row with no vendor line and the generic
// steps when the table has none.
const PartRow& FindPartRow(uint8_t vendor);

// Where the part's size came from.
enum class SizeSource : uint8_t { kUnknown, kId, kSfdp };

// The part the run works on.
struct FlashPart {
    FlashId id;
    const PartRow* row;
    uint32_t capacity;       // bytes, 0 when neither the id nor SFDP told
    SizeSource size_source;

    const char* VendorLine() const;
    Programming HowToProgram() const;
    // Bytes, 0 when unknown.
    uint32_t Capacity() const { return capacity; }
    uint8_t EraseOpcode() const;  // of one 4 KB step
    // The member the id names, null when the table does not know it.
    const PartNumber* Number() const;
};

// What the part table alone makes of an id: the row, and the capacity the
// id tells (source kId), or none yet.
FlashPart PartFromId(const FlashId& id);

// An unidentified part (id all 0): generic steps, as the test mode needs.
FlashPart UnidentifiedPart();

}  // namespace flash
