#include "image_checks.h"

#include "common/print.h"
#include "regions.h"

namespace driver {

namespace {

constexpr uint64_t kBlockSize = 0x10000;
constexpr uint64_t kPageSize = 1024;
constexpr uint64_t kAddressSpace = 0x1000000;  // three address bytes
constexpr uint32_t kMaxBlocks = 255;           // the status screen's block number is a byte

constexpr const char* kOffsetNotAligned = "\n\rOffset must be a multiple of 64K!";
constexpr const char* kPastAddressSpace = "\n\rImage does not fit the flash address space!";

uint64_t Base(const RunOptions& options)
{
    return options.offset & ~static_cast<uint64_t>(0xFFFF);
}

uint32_t RoundUp(uint64_t length, uint64_t unit)
{
    return static_cast<uint32_t>(length / unit + (length % unit != 0 ? 1 : 0));
}

}  // namespace

Geometry GeometryOf(uint64_t length)
{
    return {RoundUp(length, kPageSize), RoundUp(length, kBlockSize)};
}

const char* BrokenRegionRule(const RunOptions& options, uint64_t length)
{
    for (const Region& region : kRegions) {
        if (options.*region.flag && length != region.length)
            return region.wrong_size;
    }
    return nullptr;
}

uint32_t FlashBase(const RunOptions& options)
{
    return static_cast<uint32_t>(options.offset & 0xFFFF00);
}

const char* AreaRefusal(const RunOptions& options, uint64_t length)
{
    // Every block of an update, and every chunk read, starts on a 64 KB
    // boundary of the flash.
    if (((options.offset >> 8) & 0xFF) != 0)
        return kOffsetNotAligned;
    const uint64_t base = Base(options);
    if (base >= kAddressSpace || length > kAddressSpace - base)
        return kPastAddressSpace;
    return nullptr;
}

const char* PlacementRefusal(const RunOptions& options, uint64_t length)
{
    const Region* region = ChosenRegion(options);
    if (const char* refusal = AreaRefusal(options, region != nullptr ? region->offset + region->length : length))
        return refusal;
    if (GeometryOf(length).blocks > kMaxBlocks)
        return kPastAddressSpace;
    if (length == 0)
        return "\n\rImage is empty, nothing to write!";
    return nullptr;
}

bool PastCapacity(const flash::FlashPart& part, uint64_t end)
{
    const uint32_t capacity = part.Capacity();
    if (capacity == 0 || end <= capacity)
        return false;
    Print("\n\rImage does not fit this flash (%uK)!\n", static_cast<unsigned>(capacity >> 10));
    return true;
}

}  // namespace driver
