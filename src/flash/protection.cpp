#include "protection.h"

#include "common/print.h"

namespace flash {

namespace {

constexpr uint32_t kKb = 1024;
constexpr uint8_t kTopBottom = 0x20;  // status register 1
constexpr uint8_t kSector = 0x40;
constexpr uint8_t kComplement = 0x40;  // status register 2
constexpr uint8_t kBlockProtectMask = 0x1C;  // BP0-BP2, which every layout has

uint32_t BlockProtectBits(uint8_t status1, uint8_t count)
{
    return (status1 >> 2) & ((1u << count) - 1);
}

ProtectedArea Range(uint32_t begin, uint32_t end)
{
    return {ProtectedArea::Kind::kRange, begin, end};
}

constexpr ProtectedArea kNothing = {ProtectedArea::Kind::kNone, 0, 0};
constexpr ProtectedArea kUnknownArea = {ProtectedArea::Kind::kUnknown, 0, 0};

ProtectedArea UpperBlocks(const PartNumber& number, uint32_t capacity, uint8_t status1)
{
    const uint32_t bp = BlockProtectBits(status1, number.protect_bits);
    if (bp == 0)
        return kNothing;
    const uint32_t all = (1u << number.protect_bits) - 1;
    const uint64_t size = uint64_t{number.protect_unit_kb} * kKb << (bp - 1);
    if (bp == all || size >= capacity)
        return Range(0, capacity);
    return Range(capacity - static_cast<uint32_t>(size), capacity);
}

// W25Q and GD25Q: SEC picks 4 KB units (32 KB at most), TB the bottom, CMP
// the rest of the array instead.
ProtectedArea SectorTopBottom(uint32_t capacity, uint8_t status1, uint8_t status2)
{
    const uint32_t bp = BlockProtectBits(status1, 3);
    uint64_t size = 0;
    if (bp == 7) {
        size = capacity;
    } else if (bp != 0 && (status1 & kSector) != 0) {
        size = bp <= 4 ? uint64_t{4 * kKb} << (bp - 1) : 32 * kKb;
    } else if (bp != 0) {
        size = uint64_t{64 * kKb} << (bp - 1);
    }
    if (size > capacity)
        size = capacity;
    const auto cut = static_cast<uint32_t>(size);
    const bool bottom = (status1 & kTopBottom) != 0;
    uint32_t begin = bottom ? 0 : capacity - cut;
    uint32_t end = bottom ? cut : capacity;
    if ((status2 & kComplement) != 0) {
        begin = bottom ? cut : 0;
        end = bottom ? capacity : capacity - cut;
    }
    return begin == end ? kNothing : Range(begin, end);
}

}  // namespace

ProtectedArea AreaProtectedBy(const FlashPart& part, uint8_t status1, uint8_t status2)
{
    const PartNumber* number = part.Number();
    const bool known = number != nullptr && number->protect_bits != 0 && part.capacity != 0;
    switch (known ? part.row->protection : ProtectionScheme::kUnknown) {
    case ProtectionScheme::kUpperBlocks:
        return UpperBlocks(*number, part.capacity, status1);
    case ProtectionScheme::kSectorTopBottom:
        return SectorTopBottom(part.capacity, status1, status2);
    case ProtectionScheme::kUnknown:
        break;
    }
    // No known layout protects anything with these bits clear.
    const bool complement = part.row->has_status2 && (status2 & kComplement) != 0;
    return (status1 & kBlockProtectMask) == 0 && !complement ? kNothing : kUnknownArea;
}

const char* StatusLockOf(const FlashPart& part, uint8_t status1, uint8_t status2)
{
    const bool bit7 = (status1 & 0x80) != 0;
    switch (part.row->lock) {
    case StatusLock::kWpPin:
        return bit7 ? "while WP# is low" : "no";
    case StatusLock::kProtectPair: {
        constexpr const char* kStates[] = {"no", "while WP# is low", "until power-off", "for good"};
        return kStates[(bit7 ? 1 : 0) | ((status2 & 0x01) != 0 ? 2 : 0)];
    }
    case StatusLock::kUnknown:
        break;
    }
    return "unknown";
}

void PrintProtectedLine(const FlashPart& part, uint8_t status1, uint8_t status2)
{
    const ProtectedArea area = AreaProtectedBy(part, status1, status2);
    switch (area.kind) {
    case ProtectedArea::Kind::kNone:
        PrintLine("Protected: none");
        break;
    case ProtectedArea::Kind::kRange:
        Print("Protected: 0x%06X-0x%06X%s\n", static_cast<unsigned>(area.begin), static_cast<unsigned>(area.end - 1),
              area.begin == 0 && area.end == part.capacity ? " (all)" : "");
        break;
    case ProtectedArea::Kind::kUnknown:
        PrintLine("Protected: unknown");
        break;
    }
}

}  // namespace flash
