#include "image_checks.h"

#include "regions.h"

namespace driver {

namespace {

constexpr uint64_t kBlockSize = 0x10000;
constexpr uint64_t kPageSize = 1024;
constexpr uint64_t kAddressSpace = 0x1000000;  // three address bytes
constexpr uint32_t kMaxBlocks = 255;           // the status screen's block number is a byte

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

const char* PlacementRefusal(const RunOptions& options, uint64_t length)
{
    // Every block of an update starts on a 64 KB boundary of the flash.
    if (((options.offset >> 8) & 0xFF) != 0)
        return "\n\rOffset must be a multiple of 64K!";
    const uint64_t base = options.offset & ~static_cast<uint64_t>(0xFFFF);
    const Region* region = ChosenRegion(options);
    const uint64_t end = region != nullptr ? region->offset + region->length : length;
    if (base >= kAddressSpace || GeometryOf(length).blocks > kMaxBlocks || end > kAddressSpace - base)
        return "\n\rImage does not fit the flash address space!";
    if (length == 0)
        return "\n\rImage is empty, nothing to write!";
    return nullptr;
}

}  // namespace driver
