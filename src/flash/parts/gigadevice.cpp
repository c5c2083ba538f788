// GigaDevice GD25Q.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kGigaDevice = [] {
    PartRow row = PlainRow(0xC8, " SPI Vendor       : GigaDevice ");
    row.capacity = Log2CapacityOf<0x40>;  // GD25Q: c8 40 xx
    return row;
}();

}  // namespace flash::parts
