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

}  // namespace

constinit const PartRow kMxic = [] {
    PartRow row = PlainRow(0xC2, " SPI Vendor       : MXIC ");
    row.programming_for = MxicProgramming;
    row.capacity = Log2CapacityOf<0x20>;  // MX25L: c2 20 xx
    return row;
}();

}  // namespace flash::parts
