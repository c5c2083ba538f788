// SST25VF: programmed by auto address increment; every status write needs
// 0x50. Parts old enough to answer only 0xAB take one byte per command.
#include "parts.h"

namespace flash::parts {

namespace {

Programming SstProgramming(const FlashId& id)
{
    return id.by_read_id ? Programming::kAaiBytes : Programming::kAaiWords;
}

// The SST25VF...B device codes (bf 25 xx); the code is no log2.
uint32_t SstCapacity(const FlashId& id)
{
    struct Member {
        uint8_t code;
        uint32_t bytes;
    };
    constexpr Member kMembers[] = {
        {0x8C, 256u << 10}, {0x8D, 512u << 10}, {0x8E, 1u << 20},
        {0x41, 2u << 20},   {0x4A, 4u << 20},   {0x4B, 8u << 20},
    };
    if (id.by_read_id || id.bytes[1] != 0x25)
        return 0;
    for (const Member& m : kMembers) {
        if (m.code == id.bytes[2])
            return m.bytes;
    }
    return 0;
}

}  // namespace

constinit const PartRow kSst = [] {
    PartRow row = PlainRow(0xBF, " SPI Vendor       : SST ");
    row.programming = Programming::kAaiWords;
    row.enable_write_status = EnableWriteStatus::kAlways;
    row.programming_for = SstProgramming;
    row.capacity = SstCapacity;
    return row;
}();

}  // namespace flash::parts
