// SST25VF: programmed by auto address increment; every status write needs
// 0x50, which must come right before it. Parts old enough to answer only
// 0xAB take one byte per command.
#include "parts.h"

namespace flash::parts {

namespace {

Programming SstProgramming(const FlashId& id)
{
    return id.by_read_id ? Programming::kAaiBytes : Programming::kAaiWords;
}

// SST25VF0xxB (bf 25 xx; the code is no log2) and the SST25VF0xxA parts by
// their 0xAB device byte. BP0-BP2 guard the upper blocks (BP3 is not used);
// where the A parts' blocks lie is not known.
constexpr PartNumber kSST25VF[] = {
    {false, {0x25, 0x8C}, "SST25VF020B", 256, 2, 64}, {false, {0x25, 0x8D}, "SST25VF040B", 512, 3, 64},
    {false, {0x25, 0x8E}, "SST25VF080B", 1024, 3, 64}, {false, {0x25, 0x41}, "SST25VF016B", 2048, 3, 64},
    {false, {0x25, 0x4A}, "SST25VF032B", 4096, 3, 64}, {false, {0x25, 0x4B}, "SST25VF064C", 8192, 3, 64},
    {true, {0x48, 0x00}, "SST25VF512A", 64, 0, 0},     {true, {0x49, 0x00}, "SST25VF010A", 128, 0, 0},
};

}  // namespace

constinit const PartRow kSst = [] {
    PartRow row = PlainRow(0xBF, " SPI Vendor       : SST ", "SST");
    row.programming = Programming::kAaiWords;
    row.enable_write_status_always = true;
    row.protect_enable = 0x50;
    row.protection = ProtectionScheme::kUpperBlocks;
    row.lock = StatusLock::kWpPin;
    SetNumbers(&row, kSST25VF);
    row.programming_for = SstProgramming;
    return row;
}();

}  // namespace flash::parts
