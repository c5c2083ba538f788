// ST/Numonyx M25P: no 4 KB erase; 0xD8 stands in for it, so a region cannot
// be erased without the rest of its block.
#include "parts.h"

namespace flash::parts {

constinit const PartRow kSt = [] {
    PartRow row = PlainRow(0x20, " SPI Vendor       : ST ");
    row.erase = EraseGranularity::k64KOnly;
    row.capacity = Log2CapacityOf<0x20>;  // M25P: 20 20 xx
    return row;
}();

}  // namespace flash::parts
