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

uint8_t FlashPart::EraseOpcode() const
{
    return row->erase == EraseGranularity::k64KOnly ? kOpBlockErase : kOpSectorErase;
}

const PartNumber* FlashPart::Number() const
{
    for (size_t i = 0; i < row->number_count; ++i) {
        const PartNumber& n = row->numbers[i];
        if (n.by_read_id == id.by_read_id && n.device[0] == id.bytes[1] &&
            (id.by_read_id || n.device[1] == id.bytes[2]))
            return &n;
    }
    return nullptr;
}

FlashPart PartFromId(const FlashId& id)
{
    FlashPart part{id, &FindPartRow(id.bytes[0]), 0, SizeSource::kUnknown};
    if (part.row->capacity != nullptr) {
        part.capacity = part.row->capacity(id);
    } else if (const PartNumber* number = part.Number()) {
        part.capacity = number->kb << 10;
    }
    if (part.capacity != 0)
        part.size_source = SizeSource::kId;
    return part;
}

FlashPart UnidentifiedPart()
{
    return PartFromId(FlashId{{}, false});
}

}  // namespace flash
