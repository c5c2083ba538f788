// The ITE EC's own flash: auto address increment by words, a whole block in
// 1 KB units. Byte 15 of the 0xAB answer tells the type-A part apart; its
// answers say nothing of its size.
#include "parts.h"

namespace flash::parts {

namespace {

const char* IteLine(const FlashId& id)
{
    return id.bytes[15] == 0x00 ? " SPI Vendor       : ITE A type" : " SPI Vendor       : ITE ";
}

}  // namespace

constinit const PartRow kIte = {
    .vendor = 0xFF,
    .vendor_line = " SPI Vendor       : ITE ",
    .programming = Programming::kAaiWords,
    .erase = EraseGranularity::k1K,
    .enable_write_status = EnableWriteStatus::kNever,
    .keeps_status2 = false,
    .protect_value = 0x06,
    .vendor_line_for = IteLine,
    .programming_for = nullptr,
    .capacity = nullptr,
};

}  // namespace flash::parts
