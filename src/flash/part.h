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

// When the part gets 0x50 (enable write status register).
enum class EnableWriteStatus : uint8_t {
    kNever,
    kBeforeProtection,  // only the protection's status write
    kAlways,            // after every write enable and before every status write
};

struct PartRow {
    uint8_t vendor;
    const char* vendor_line;  // the status screen's line, null for none
    Programming programming;
    EraseGranularity erase;
    EnableWriteStatus enable_write_status;
    bool keeps_status2;       // the protection writes status register 2 back (0x35)
    uint8_t protect_value;    // status register 1 value that guards the boot block
    // What only the rest of the id decides; null where the values above hold.
    const char* (*vendor_line_for)(const FlashId& id);
    Programming (*programming_for)(const FlashId& id);
    // The capacity in bytes the id tells, 0 when it does not; null: never.
    uint32_t (*capacity)(const FlashId& id);
};

// The row for this vendor id; a row with no vendor line and the generic
// steps when the table has none.
const PartRow& FindPartRow(uint8_t vendor);

// The part the run works on.
struct FlashPart {
    FlashId id;
    const PartRow* row;

    const char* VendorLine() const;
    Programming HowToProgram() const;
    // Bytes, 0 when the id does not tell.
    uint32_t Capacity() const;
    uint8_t EraseOpcode() const;  // of one 4 KB step
};

// An unidentified part (id all 0): generic steps, as the test mode needs.
FlashPart UnidentifiedPart();

}  // namespace flash
