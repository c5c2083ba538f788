// The part table: one row per maker, each in a file of its own. To add a
// maker, write its file and list its row in table.cpp.
#pragma once

#include "flash/part.h"

namespace flash::parts {

extern const PartRow kSst;
extern const PartRow kWinbond;
extern const PartRow kAtmel;
extern const PartRow kSt;
extern const PartRow kSpansion;
extern const PartRow kMxic;
extern const PartRow kAmic;
extern const PartRow kEon;
extern const PartRow kEsmt;
extern const PartRow kIte;
extern const PartRow kGigaDevice;
extern const PartRow kPmc;

// A maker whose parts take the generic steps (256-byte pages, 4 KB sectors,
// no 0x50, 0x06 right before the status write, 0x06 guards the boot block)
// and whose ids and status layout are not relied on; the other makers' rows
// start from it and change what differs.
constexpr PartRow PlainRow(uint8_t vendor, const char* vendor_line, const char* maker)
{
    return {
        .vendor = vendor,
        .vendor_line = vendor_line,
        .maker = maker,
        .programming = Programming::kPages,
        .erase = EraseGranularity::k4K,
        .enable_write_status_always = false,
        .protect_enable = 0x06,
        .has_status2 = false,
        .keeps_status2 = false,
        .protect_clears2 = 0x00,
        .protect_value = 0x06,
        .protection = ProtectionScheme::kUnknown,
        .lock = StatusLock::kUnknown,
        .numbers = nullptr,
        .number_count = 0,
        .vendor_line_for = nullptr,
        .programming_for = nullptr,
        .capacity = nullptr,
    };
}

// A maker's named members, for its row.
template <size_t kCount>
constexpr void SetNumbers(PartRow* row, const PartNumber (&numbers)[kCount])
{
    row->numbers = numbers;
    row->number_count = kCount;
}

// Parts whose JEDEC id gives the capacity as its log2 in the third byte
// (0x11 = 128 KB). Past 16 MB the three address bytes reach nothing more.
inline uint32_t Log2Capacity(const FlashId& id)
{
    const uint8_t code = id.bytes[2];
    return !id.by_read_id && code >= 0x10 && code <= 0x18 ? uint32_t{1} << code : 0;
}

// The same for one series of a maker (its second id byte): other series
// code their size otherwise.
template <uint8_t kSeries>
uint32_t Log2CapacityOf(const FlashId& id)
{
    return id.bytes[1] == kSeries ? Log2Capacity(id) : 0;
}

}  // namespace flash::parts
