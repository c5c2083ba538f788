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

// Two block-protect bits up to 256 KB, three up to 4 MB, four above.
constexpr PartNumber kMX25L[] = {
    {false, {0x20, 0x10}, "MX25L512", 0, 2, 64},   {false, {0x20, 0x11}, "MX25L1005", 0, 2, 64},
    {false, {0x20, 0x12}, "MX25L2005", 0, 2, 64},  {false, {0x20, 0x13}, "MX25L4005", 0, 3, 64},
    {false, {0x20, 0x14}, "MX25L8005", 0, 3, 64},  {false, {0x20, 0x15}, "MX25L1605", 0, 3, 64},
    {false, {0x20, 0x16}, "MX25L3205", 0, 3, 64},  {false, {0x20, 0x17}, "MX25L6405", 0, 4, 64},
    {false, {0x20, 0x18}, "MX25L12805", 0, 4, 64},
};

}  // namespace

constinit const PartRow kMxic = [] {
    PartRow row = PlainRow(0xC2, " SPI Vendor       : MXIC ", "Macronix");
    row.protection = ProtectionScheme::kUpperBlocks;
    row.lock = StatusLock::kWpPin;
    SetNumbers(&row, kMX25L);
    row.programming_for = MxicProgramming;
    row.capacity = Log2CapacityOf<0x20>;  // MX25L: c2 20 xx
    return row;
}();

}  // namespace flash::parts
