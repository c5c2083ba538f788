// The regions of a full image that an update can write alone.
#pragma once

#include <cstdint>

#include "options.h"

namespace driver {

struct Region {
    bool RunOptions::*flag;
    uint32_t offset;         // from the base
    uint32_t length;         // the image must be exactly this long
    const char* wrong_size;  // printed verbatim when it is not
    const char* name;        // in the run's record
};

inline constexpr Region kRegions[] = {
    {&RunOptions::boot_block, 0x00000, 4096, "\n\nFile size with wrong parameter! BBK code need to 4K", "boot-block"},
    {&RunOptions::main_code, 0x01000, 61440, "\n\nFile size with wrong parameter! Main code need to 60K",
     "main-code"},
    {&RunOptions::backup_code, 0x11000, 61440, "\n\nFile size with wrong parameter! Backup code need to 60K",
     "backup-code"},
};

// The region the update writes (the first one asked for), null for a
// whole-block update.
inline const Region* ChosenRegion(const RunOptions& options)
{
    for (const Region& region : kRegions) {
        if (options.*region.flag)
            return &region;
    }
    return nullptr;
}

}  // namespace driver
