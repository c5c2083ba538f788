// ST/Numonyx M25P: no 4 KB erase; 0xD8 stands in for it, so a region cannot
// be erased without the rest of its block.
#include "parts.h"

namespace flash::parts {

namespace {

// The two smallest come in 32 KB sectors, the smallest area the M25P10-A's
// two block-protect bits guard; any of them guards all of the M25P05-A.
constexpr PartNumber kM25P[] = {
    {false, {0x20, 0x10}, "M25P05-A", 0, 2, 64, 32}, {false, {0x20, 0x11}, "M25P10-A", 0, 2, 32, 32},
    {false, {0x20, 0x12}, "M25P20", 0, 2, 64},   {false, {0x20, 0x13}, "M25P40", 0, 3, 64},
    {false, {0x20, 0x14}, "M25P80", 0, 3, 64},   {false, {0x20, 0x15}, "M25P16", 0, 3, 64},
    {false, {0x20, 0x16}, "M25P32", 0, 3, 64},   {false, {0x20, 0x17}, "M25P64", 0, 3, 64},
};

}  // namespace

constinit const PartRow kSt = [] {
    PartRow row = PlainRow(0x20, " SPI Vendor       : ST ", "ST");
    row.protection = ProtectionScheme::kUpperBlocks;
    row.lock = StatusLock::kWpPin;
    SetNumbers(&row, kM25P);
    row.erase = EraseGranularity::k64KOnly;
    row.capacity = Log2CapacityOf<0x20>;  // M25P: 20 20 xx
    return row;
}();

}  // namespace flash::parts
