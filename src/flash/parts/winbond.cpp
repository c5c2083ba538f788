// Winbond W25X/W25Q: the protection keeps status register 2 and sets SEC,
// TB and BP0, which guard the lowest 4 KB; it goes after 0x50.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kWinbond = {
    .vendor = 0xEF,
    .vendor_line = " SPI Vendor       : Winbond ",
    .programming = Programming::kPages,
    .erase = EraseGranularity::k4K,
    .enable_write_status = EnableWriteStatus::kBeforeProtection,
    .keeps_status2 = true,
    .protect_value = 0x64,
    .vendor_line_for = nullptr,
    .programming_for = nullptr,
    .capacity = Log2Capacity,
};

}  // namespace flash::parts
