// GigaDevice GD25Q: Winbond's id layout and status bits (BP3 and BP4 act as
// TB and SEC) behind its own maker byte; c8 40 xx gives the size as log2.
#include "parts.h"

namespace flash::parts {

namespace {

constexpr PartNumber kGD25Q[] = {
    {false, {0x40, 0x12}, "GD25Q20", 0, 3, 64}, {false, {0x40, 0x13}, "GD25Q40", 0, 3, 64},
    {false, {0x40, 0x14}, "GD25Q80", 0, 3, 64}, {false, {0x40, 0x15}, "GD25Q16", 0, 3, 64},
    {false, {0x40, 0x16}, "GD25Q32", 0, 3, 64}, {false, {0x40, 0x17}, "GD25Q64", 0, 3, 64},
    {false, {0x40, 0x18}, "GD25Q128", 0, 3, 64},
};

}  // namespace

constinit const PartRow kGigaDevice = [] {
    PartRow row = PlainRow(0xC8, " SPI Vendor       : GigaDevice ", "GigaDevice");
    row.has_status2 = true;
    row.protection = ProtectionScheme::kSectorTopBottom;
    row.lock = StatusLock::kProtectPair;
    SetNumbers(&row, kGD25Q);
    row.capacity = Log2CapacityOf<0x40>;
    return row;
}();

}  // namespace flash::parts
