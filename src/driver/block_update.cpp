#include "block_update.h"

#include "common/print.h"
#include "common/run_record.h"
#include "flash/compare.h"
#include "flash/erase.h"
#include "flash/program.h"
#include "flash/protect.h"
#include "hostio/flash_mode.h"

namespace driver {

namespace {

using flash::Marks;
using runrecord::Result;

bool Failed(Result why)
{
    runrecord::Fail(why);
    return false;
}


// The run of units [first, last) of a block, as the image gives it.
flash::BlockImage Units(const flash::BlockImage& image, uint32_t unit, uint32_t first, uint32_t last)
{
    const uint32_t begin = first * unit;
    const uint32_t end = last * unit < image.length ? last * unit : image.length;
    return {image.bytes + begin, end - begin, image.image_offset + begin};
}

}  // namespace

BlockUpdate::BlockUpdate(const RunOptions& options, const flash::FlashPart& part)
    : options_(options),
      part_(part),
      region_(ChosenRegion(options)),
      // The boot block is marked per 256 bytes.
      marks_(options.boot_block && region_ != nullptr ? Marks::kPer256 : Marks::kPer4K),
      // The test option also slows a region's erase marks down.
      erase_marks_(options.boot_block || options.test ? Marks::kPer256 : Marks::kPer4K)
{
}

uint32_t BlockUpdate::Place(uint32_t address) const
{
    if (region_ == nullptr)
        return address;
    address += region_->offset;
    Print(" Base Offset : 0x%02x%02x%02x\n\r", (address >> 16) & 0xFF, (address >> 8) & 0xFF, address & 0xFF);
    return address;
}

bool BlockUpdate::Run(uint32_t address, const flash::BlockImage& image)
{
    if (options_.compare) {
        const uint32_t at = address + (region_ != nullptr ? region_->offset : 0);
        runrecord::CountBlockChecked();
        return flash::VerifyBlock(at, image, marks_, &differences_) || Failed(Result::kDiffers);
    }
    flash::UnlockAll(part_);
    address = Place(address);
    if (!Erase(address, image, true))
        return false;
    runrecord::CountBlockWritten();
    runrecord::CountBlockChecked();
    if (!ProgramAndVerify(address, image))
        return false;
    runrecord::HashFlash(image.bytes, image.length);
    return true;
}

bool BlockUpdate::RunDifferential(uint32_t address, const flash::BlockImage& image)
{
    address = Place(address);
    const uint32_t unit = flash::EraseUnitBytes(part_, region_ != nullptr);
    const uint32_t units = (image.length + unit - 1) / unit;
    units_ += units;
    const uint64_t differing = flash::CompareUnits(address, image, unit, marks_);
    runrecord::CountBlockChecked();
    if (differing != 0) {
        runrecord::CountBlockWritten();
        flash::UnlockAll(part_);
        for (uint32_t first = 0; first < units;) {
            if ((differing >> first & 1) == 0) {
                ++first;
                continue;
            }
            uint32_t last = first + 1;
            while (last < units && (differing >> last & 1) != 0)
                ++last;
            const flash::BlockImage run = Units(image, unit, first, last);
            const uint32_t at = address + first * unit;
            if (!Erase(at, run, false) || !ProgramAndVerify(at, run))
                return false;
            rewritten_ += last - first;
            first = last;
        }
    }
    // What the compare read where it matched, and the verifies where it did
    // not, is the image: the record hashes the block's bytes in order.
    runrecord::HashFlash(image.bytes, image.length);
    return true;
}

bool BlockUpdate::Erase(uint32_t address, const flash::BlockImage& image, bool whole_block)
{
    // From the first erase on, a run that ends early leaves a partial image.
    hostio::SetTimeoutAdvice(kPartialImage);
    bool erased;
    if (region_ != nullptr) {
        const uint32_t sectors = (image.length + flash::kSectorBytes - 1) / flash::kSectorBytes;
        flash::EraseSectors(part_, address, sectors, erase_marks_);
        erased = flash::CheckRegionErased(address, image.length, marks_);
    } else {
        flash::EraseBlock(part_, address, image.length);
        // A run of units reports where it is not erased; a whole block, as
        // it always has, the last programming run's counters.
        erased = whole_block ? flash::CheckBlockErased(address, image.length, last_run_)
                             : flash::CheckRegionErased(address, image.length, marks_);
    }
    return erased || Failed(Result::kEraseFailed);
}

bool BlockUpdate::ProgramAndVerify(uint32_t address, const flash::BlockImage& image)
{
    const uint32_t pages = region_ != nullptr ? region_->length / flash::kPageBytes : flash::kPagesPerBlock;
    switch (part_.HowToProgram()) {
    case flash::Programming::kAaiBytes:
        flash::ProgramAaiBytes(part_, address, image);
        break;
    case flash::Programming::kAaiWords:
        flash::ProgramAaiWords(part_, address, image);
        break;
    case flash::Programming::kBursts32:
        last_run_ = flash::ProgramBursts(part_, address, image, pages);
        break;
    case flash::Programming::kPages:
        last_run_ = flash::ProgramPages(part_, address, image, pages, marks_);
        break;
    }
    return flash::VerifyBlock(address, image, marks_) || Failed(Result::kVerifyFailed);
}

}  // namespace driver
