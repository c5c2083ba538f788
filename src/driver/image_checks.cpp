#include "image_checks.h"

#include "common/image_state.h"
#include "common/runstate.h"

namespace {

constexpr uint64_t kBlockSize = 0x10000;
constexpr uint64_t kPageSize = 1024;
constexpr uint64_t kAddressSpace = 0x1000000;  // three address bytes
constexpr uint32_t kMaxBlocks = 255;           // BlockNum is one byte
constexpr uint64_t kRegionLength = 61440;      // main-code and backup-code

uint64_t RoundUp(uint64_t length, uint64_t unit)
{
    return length / unit + (length % unit != 0 ? 1 : 0);
}

struct RegionRule {
    const uint8_t* flag;
    uint64_t length;
    const char* message;
};

constexpr RegionRule kRegionRules[] = {
    {&BBK_flag, 4096, "\n\nFile size with wrong parameter! BBK code need to 4K"},
    {&Main_flag, kRegionLength, "\n\nFile size with wrong parameter! Main code need to 60K"},
    {&Backup_flag, kRegionLength, "\n\nFile size with wrong parameter! Backup code need to 60K"},
};

// Where the update's area ends, relative to the base: a region update
// places its region (the first flag set wins), a whole-block update the
// image.
struct RegionEnd {
    const uint8_t* flag;
    uint64_t end;
};

constexpr RegionEnd kRegionEnds[] = {
    {&BBK_flag, 0x01000},
    {&Main_flag, 0x10000},
    {&Backup_flag, 0x20000},
};

uint64_t AreaEnd()
{
    for (const RegionEnd& r : kRegionEnds)
        if (*r.flag == 1)
            return r.end;
    return gFileSize;
}

}  // namespace

void SetImageGeometry(uint64_t length)
{
    BlockNum = 0;
    BufferBlockNum = 0;
    gFileSize = length;
    gFileProcessCount = 0;
    const uint64_t blocks = RoundUp(length, kBlockSize);
    const uint64_t pages = RoundUp(length, kPageSize);
    // Saturated: a length beyond the counters must not look small.
    MaxBlockNum = blocks > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(blocks);
    gPageSize = kPageSize;
    gPageCount = pages > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(pages);
}

const char* BrokenRegionRule()
{
    for (const RegionRule& r : kRegionRules)
        if (*r.flag == 1 && gFileSize != r.length)
            return r.message;
    return nullptr;
}

const char* PlacementRefusal()
{
    // Routines that carry into the high byte and routines that wrap in
    // eight bits would disagree about a base inside a block.
    if (((gOffset >> 8) & 0xFF) != 0)
        return "\n\rOffset must be a multiple of 64K!";
    const uint64_t base = gOffset & ~static_cast<uint64_t>(0xFFFF);
    if (base >= kAddressSpace || MaxBlockNum > kMaxBlocks || AreaEnd() > kAddressSpace - base)
        return "\n\rImage does not fit the flash address space!";
    if (gFileSize == 0)
        return "\n\rImage is empty, nothing to write!";
    return nullptr;
}
