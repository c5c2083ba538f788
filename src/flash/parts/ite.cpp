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

constinit const PartRow kIte = [] {
    PartRow row = PlainRow(0xFF, " SPI Vendor       : ITE ", "ITE");
    row.programming = Programming::kAaiWords;
    row.erase = EraseGranularity::k1K;
    row.vendor_line_for = IteLine;
    return row;
}();

}  // namespace flash::parts
