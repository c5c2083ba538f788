#include "parts.h"

#include <cstddef>

namespace sim {

namespace {

constexpr uint16_t kCommon = kPageProgram | kErase4K | kErase64K;
constexpr uint16_t kIteOpcodes = kCommon | kAaiWord | kAaiByte | kErase1K;
constexpr uint16_t kSstOpcodes = kEnableStatusWrite | kErase4K | kErase64K | kPageProgram;

constexpr PartInfo kParts[] = {
    {Part::kSst, "sst", {0xBF, 0x25, 0x8E, 0x00}, {0xBF, 0x8E}, kSstOpcodes | kAaiWord,
     Protection::kUpperBlocks, false},
    {Part::kSstOld, "sst-old", {0x00, 0x00, 0x00, 0x00}, {0xBF, 0x44}, kSstOpcodes | kAaiByte,
     Protection::kUpperBlocks, false},
    {Part::kWinbond, "winbond", {0xEF, 0x40, 0x14, 0x00}, {0xEF, 0x13},
     kCommon | kStatusRegister2 | kEnableStatusWrite, Protection::kWinbond, true},
    {Part::kMxic, "mxic", {0xC2, 0x20, 0x11, 0x00}, {0xC2, 0x10}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kMxicPp32, "mxic-pp32", {0xC2, 0x20, 0x10, 0x00}, {0xC2, 0x10}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kSt, "st", {0x20, 0x20, 0x11, 0x00}, {0x20, 0x10}, kPageProgram | kErase64K,
     Protection::kUpperBlocks, false},
    {Part::kIteA, "ite-a", {0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF}, kIteOpcodes,
     Protection::kUpperBlocks, false},
    {Part::kIte, "ite", {0x00, 0x00, 0x00, 0x00}, {0xFF, 0x01}, kIteOpcodes,
     Protection::kUpperBlocks, false},
    {Part::kAtmel, "atmel", {0x1F, 0x40, 0x14, 0x00}, {0x1F, 0x13}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kSpansion, "spansion", {0x01, 0x40, 0x14, 0x00}, {0x01, 0x13}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kAmic, "amic", {0x37, 0x40, 0x14, 0x00}, {0x37, 0x13}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kEon, "eon", {0x1C, 0x40, 0x14, 0x00}, {0x1C, 0x13}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kEsmt, "esmt", {0x8C, 0x40, 0x14, 0x00}, {0x8C, 0x13}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kGigaDevice, "gigadevice", {0xC8, 0x40, 0x14, 0x00}, {0xC8, 0x13}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kPmc, "pmc", {0x7F, 0x40, 0x14, 0x00}, {0x7F, 0x13}, kCommon,
     Protection::kUpperBlocks, false},
    {Part::kUnknown, "unknown", {0x9D, 0x40, 0x14, 0x00}, {0x9D, 0x13}, kCommon,
     Protection::kUpperBlocks, false},
};

constexpr size_t kPartCount = sizeof kParts / sizeof kParts[0];

// The rows must follow enum Part: PartInfoOf indexes by it.
constexpr bool RowsInEnumOrder()
{
    for (size_t i = 0; i < kPartCount; ++i) {
        if (static_cast<size_t>(kParts[i].part) != i)
            return false;
    }
    return kPartCount == static_cast<size_t>(Part::kUnknown) + 1;
}
static_assert(RowsInEnumOrder(), "kParts out of step with enum Part");

bool SameName(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

}  // namespace

const PartInfo& PartInfoOf(Part part)
{
    const auto index = static_cast<size_t>(part);
    return kParts[index < kPartCount ? index : kPartCount - 1];
}

const PartInfo* FindPart(const char* name)
{
    for (const PartInfo& info : kParts) {
        if (SameName(info.name, name))
            return &info;
    }
    return nullptr;
}

const PartInfo* AllParts(size_t* count)
{
    *count = kPartCount;
    return kParts;
}

}  // namespace sim
