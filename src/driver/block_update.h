// One block of the update: the unlock, erase, check and programming
// routines the region options and the identified part choose, then the
// verify; of a compare, the verify alone; of an update that rewrites only
// what differs ("/D"), a compare first and the rest for the units that
// differ.
#pragma once

#include <cstdint>

#include "flash/block.h"
#include "flash/part.h"
#include "flash/verify.h"
#include "options.h"
#include "regions.h"

namespace driver {

// Said when an update ends on a failure after the flash began to change.
inline constexpr const char* kPartialImage =
    "\n\rThe flash may hold a partial image; run the update again before resetting the board.";

class BlockUpdate {
public:
    BlockUpdate(const RunOptions& options, const flash::FlashPart& part);

    // Unlocks, erases, checks, programs and verifies the block at address
    // (a region is placed relative to it); a compare only verifies. False as
    // soon as the erase check or the verify fails: the routine has printed
    // why.
    bool Run(uint32_t address, const flash::BlockImage& image);
    // Compares the block's erase units with the image first; only the runs
    // of units that differ are unlocked, erased, checked, programmed and
    // verified.
    bool RunDifferential(uint32_t address, const flash::BlockImage& image);

    const flash::Differences& differences() const { return differences_; }
    uint32_t units() const { return units_; }
    uint32_t rewritten() const { return rewritten_; }

private:
    // The region's address, shown, or the block's.
    uint32_t Place(uint32_t address) const;
    bool Erase(uint32_t address, const flash::BlockImage& image, bool whole_block);
    bool ProgramAndVerify(uint32_t address, const flash::BlockImage& image);

    const RunOptions& options_;
    const flash::FlashPart& part_;
    const Region* region_;
    flash::Marks marks_;
    flash::Marks erase_marks_;
    flash::PageCounters last_run_ = {0, 0};  // where the last page-programming run stopped
    flash::Differences differences_ = {};    // a compare's, over every block
    uint32_t units_ = 0;                     // compared before an erase
    uint32_t rewritten_ = 0;                 // of them, erased and written again
};

}  // namespace driver
