#include "block_update.h"

#include "common/print.h"
#include "common/run_record.h"
#include "flash/erase.h"
#include "flash/program.h"
#include "flash/protect.h"
#include "flash/verify.h"
#include "hostio/flash_mode.h"
#include "regions.h"

namespace driver {

namespace {

using flash::Marks;
using runrecord::Result;

bool Failed(Result why)
{
    runrecord::Fail(why);
    return false;
}

// A verify (or a compare's) has run to its end or its first difference.
bool Checked(bool same, Result otherwise)
{
    runrecord::CountBlockChecked();
    return same || Failed(otherwise);
}

}  // namespace

bool BlockUpdate::Run(uint32_t address, const flash::BlockImage& image)
{
    const Region* region = ChosenRegion(options);
    // The boot block is marked per 256 bytes.
    const Marks marks = options.boot_block && region != nullptr ? Marks::kPer256 : Marks::kPer4K;
    if (options.compare)
        return Checked(flash::VerifyBlock(address + (region != nullptr ? region->offset : 0), image, marks,
                                          &differences),
                       Result::kDiffers);

    flash::UnlockAll(part);
    // From the first erase on, a run that ends early leaves a partial image.
    hostio::SetTimeoutAdvice(kPartialImage);
    uint32_t pages = flash::kPagesPerBlock;
    if (region == nullptr) {
        flash::EraseBlock(part, address, image.length);
        if (!flash::CheckBlockErased(address, image.length, last_run))
            return Failed(Result::kEraseFailed);
    } else {
        address += region->offset;
        pages = region->length / flash::kPageBytes;
        Print(" Base Offset : 0x%02x%02x%02x\n\r", (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
        // The test option also slows a region's erase marks down.
        const Marks erase_marks = options.boot_block || options.test ? Marks::kPer256 : Marks::kPer4K;
        flash::EraseSectors(part, address, region->length / flash::kSectorBytes, erase_marks);
        if (!flash::CheckRegionErased(address, image.length, marks))
            return Failed(Result::kEraseFailed);
    }

    switch (part.HowToProgram()) {
    case flash::Programming::kAaiBytes:
        flash::ProgramAaiBytes(part, address, image);
        break;
    case flash::Programming::kAaiWords:
        flash::ProgramAaiWords(part, address, image);
        break;
    case flash::Programming::kBursts32:
        last_run = flash::ProgramBursts(part, address, image, pages);
        break;
    case flash::Programming::kPages:
        last_run = flash::ProgramPages(part, address, image, pages, marks);
        break;
    }
    runrecord::CountBlockWritten();
    return Checked(flash::VerifyBlock(address, image, marks), Result::kVerifyFailed);
}

}  // namespace driver
