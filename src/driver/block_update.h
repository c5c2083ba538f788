// One block of the update: the unlock, erase, check and programming
// routines the region options and the identified part choose, then the
// verify; of a compare, the verify alone.
#pragma once

#include <cstdint>

#include "flash/block.h"
#include "flash/part.h"
#include "flash/verify.h"
#include "options.h"

namespace driver {

// Said when an update ends on a failure after the flash began to change.
inline constexpr const char* kPartialImage =
    "\n\rThe flash may hold a partial image; run the update again before resetting the board.";

struct BlockUpdate {
    const RunOptions& options;
    const flash::FlashPart& part;
    flash::PageCounters last_run;  // where the last page-programming run stopped
    flash::Differences differences;  // a compare's, over every block

    // Unlocks, erases, checks, programs and verifies the block at address
    // (a region is placed relative to it); a compare only verifies. False as
    // soon as the erase check or the verify fails: the routine has printed
    // why.
    bool Run(uint32_t address, const flash::BlockImage& image);
};

}  // namespace driver
