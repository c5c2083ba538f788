// ST/Numonyx M25P: no 4 KB erase; 0xD8 stands in for it, so a region cannot
// be erased without the rest of its block.
#include "parts.h"

namespace flash::parts {

namespace {

// M25P parts answer 20 20 xx; other series code their size otherwise.
uint32_t StCapacity(const FlashId& id)
{
    return id.bytes[1] == 0x20 ? Log2Capacity(id) : 0;
}

}  // namespace

constinit const PartRow kSt = {
    .vendor = 0x20,
    .vendor_line = " SPI Vendor       : ST ",
    .programming = Programming::kPages,
    .erase = EraseGranularity::k64KOnly,
    .enable_write_status = EnableWriteStatus::kNever,
    .keeps_status2 = false,
    .protect_value = 0x06,
    .vendor_line_for = nullptr,
    .programming_for = nullptr,
    .capacity = StCapacity,
};

}  // namespace flash::parts
