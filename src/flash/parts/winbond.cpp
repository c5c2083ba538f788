// Winbond W25X/W25Q: the protection keeps status register 2 and sets SEC,
// TB and BP0, which guard the lowest 4 KB; it goes after 0x50. Every series
// gives its size as log2 in the third id byte.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kWinbond = [] {
    PartRow row = PlainRow(0xEF, " SPI Vendor       : Winbond ");
    row.enable_write_status = EnableWriteStatus::kBeforeProtection;
    row.keeps_status2 = true;
    row.protect_value = 0x64;
    row.capacity = Log2Capacity;
    return row;
}();

}  // namespace flash::parts
