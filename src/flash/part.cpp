#include "part.h"

#include "channel.h"

namespace flash {

const char* FlashPart::VendorLine() const
{
    return row->vendor_line_for != nullptr ? row->vendor_line_for(id) : row->vendor_line;
}

Programming FlashPart::HowToProgram() const
{
    return row->programming_for != nullptr ? row->programming_for(id) : row->programming;
}

uint32_t FlashPart::Capacity() const
{
    return row->capacity != nullptr ? row->capacity(id) : 0;
}

uint8_t FlashPart::EraseOpcode() const
{
    return row->erase == EraseGranularity::k64KOnly ? kOpBlockErase : kOpSectorErase;
}

FlashPart UnidentifiedPart()
{
    return FlashPart{FlashId{{}, false}, &FindPartRow(0)};
}

}  // namespace flash
