// GigaDevice GD25Q.
#include "parts.h"

namespace flash::parts {

namespace {

// GD25Q parts answer c8 40 xx.
uint32_t GigaDeviceCapacity(const FlashId& id)
{
    return id.bytes[1] == 0x40 ? Log2Capacity(id) : 0;
}

}  // namespace

constinit const PartRow kGigaDevice = {
    .vendor = 0xC8,
    .vendor_line = " SPI Vendor       : GigaDevice ",
    .programming = Programming::kPages,
    .erase = EraseGranularity::k4K,
    .enable_write_status = EnableWriteStatus::kNever,
    .keeps_status2 = false,
    .protect_value = 0x06,
    .vendor_line_for = nullptr,
    .programming_for = nullptr,
    .capacity = GigaDeviceCapacity,
};

}  // namespace flash::parts
