// Winbond W25X/W25Q: the protection keeps status register 2 (all but CMP,
// which would guard everything else instead) and sets SEC, TB and BP0,
// which guard the lowest 4 KB. 0x06 arms that status write: a
// W25Q takes one armed by 0x50 into its volatile copy only, which the next
// power-off forgets. Every series gives its size as log2 in the third id
// byte.
#include "parts.h"

namespace flash::parts {

namespace {

constexpr PartNumber kW25Q[] = {
    {false, {0x40, 0x12}, "W25Q20", 0, 3, 64},  {false, {0x40, 0x13}, "W25Q40", 0, 3, 64},
    {false, {0x40, 0x14}, "W25Q80", 0, 3, 64},  {false, {0x40, 0x15}, "W25Q16", 0, 3, 64},
    {false, {0x40, 0x16}, "W25Q32", 0, 3, 64},  {false, {0x40, 0x17}, "W25Q64", 0, 3, 64},
    {false, {0x40, 0x18}, "W25Q128", 0, 3, 64},
};

}  // namespace

constinit const PartRow kWinbond = [] {
    PartRow row = PlainRow(0xEF, " SPI Vendor       : Winbond ", "Winbond");
    row.has_status2 = true;
    row.keeps_status2 = true;
    row.protect_clears2 = 0x40;
    row.protect_value = 0x64;
    row.protection = ProtectionScheme::kSectorTopBottom;
    row.lock = StatusLock::kProtectPair;
    SetNumbers(&row, kW25Q);
    row.capacity = Log2Capacity;
    return row;
}();

}  // namespace flash::parts
