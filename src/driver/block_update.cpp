#include "block_update.h"

#include "common/print.h"
#include "flash/erase.h"
#include "flash/program.h"
#include "flash/protect.h"
#include "flash/verify.h"
#include "hostio/flash_mode.h"
#include "regions.h"

namespace driver {

namespace {

using flash::Marks;

}  // namespace

bool BlockUpdate::Run(uint32_t address, const flash::BlockImage& image)
{
    const Region* region = ChosenRegion(options);
    // The boot block is marked per 256 bytes.
    const Marks marks = options.boot_block && region != nullptr ? Marks::kPer256 : Marks::kPer4K;
    if (options.compare)
        return flash::VerifyBlock(address + (region != nullptr ? region->offset : 0), image, marks, &differences);

    flash::UnlockAll(part);
    // From the first erase on, a run that ends early leaves a partial image.
    hostio::SetTimeoutAdvice(kPartialImage);
    uint32_t pages = flash::kPagesPerBlock;
    if (region == nullptr) {
        flash::EraseBlock(part, address, image.length);
        if (!flash::CheckBlockErased(address, image.length, last_run))
            return false;
    } else {
        address += region->offset;
        pages = region->length / flash::kPageBytes;
        Print(" Base Offset : 0x%02x%02x%02x\n\r", (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
        // The test option also slows a region's erase marks down.
        const Marks erase_marks = options.boot_block || options.test ? Marks::kPer256 : Marks::kPer4K;
        flash::EraseSectors(part, address, region->length / flash::kSectorBytes, erase_marks);
        if (!flash::CheckRegionErased(address, image.length, marks))
            return false;
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
    return flash::VerifyBlock(address, image, marks);
}

}  // namespace driver
