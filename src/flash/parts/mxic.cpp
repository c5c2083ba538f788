// Macronix MX25L: the 512 Kbit part (capacity byte 0x10) takes its pages in
// 32-byte commands.
#include "parts.h"

namespace flash::parts {

namespace {

constexpr uint8_t kBurstPart = 0x10;

Programming MxicProgramming(const FlashId& id)
{
    return id.bytes[2] == kBurstPart ? Programming::kBursts32 : Programming::kPages;
}

// MX25L parts answer c2 20 xx; other series code their size otherwise.
uint32_t MxicCapacity(const FlashId& id)
{
    return id.bytes[1] == 0x20 ? Log2Capacity(id) : 0;
}

}  // namespace

constinit const PartRow kMxic = {
    .vendor = 0xC2,
    .vendor_line = " SPI Vendor       : MXIC ",
    .programming = Programming::kPages,
    .erase = EraseGranularity::k4K,
    .enable_write_status = EnableWriteStatus::kNever,
    .keeps_status2 = false,
    .protect_value = 0x06,
    .vendor_line_for = nullptr,
    .programming_for = MxicProgramming,
    .capacity = MxicCapacity,
};

}  // namespace flash::parts
