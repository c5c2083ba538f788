#include "update.h"

#include "banner.h"
#include "block_update.h"
#include "common/print.h"
#include "common/run_record.h"
#include "common/program.h"
#include "flash/ident.h"
#include "flash/verify.h"
#include "hostio/flash_mode.h"
#include "hostio/mailbox.h"
#include "hostio/sio.h"
#include "platform/platform.h"
#include "regions.h"
#include "unknown_size.h"

namespace driver {

namespace {

using flash::FlashPart;

// Two chips take only 128 KB of a 256 KB image: 0x8987 its upper half,
// 0x8928 its lower half.
constexpr uint16_t kChipUpperHalf = 0x8987;
constexpr uint16_t kChipLowerHalf = 0x8928;
constexpr uint32_t kHalvedPages = 256;
constexpr uint64_t kHalvedImageLength = 0x40000;

bool ChipTakesHalf(uint16_t chip, const Geometry& geometry)
{
    return (chip == kChipUpperHalf || chip == kChipLowerHalf) && geometry.pages == kHalvedPages;
}

// Prints why the update (or compare) cannot go ahead on this part, if it
// cannot.
bool Refused(const RunOptions& options, const FlashPart& part, bool halved, uint64_t length)
{
    const Region* region = ChosenRegion(options);
    if (region != nullptr && part.row->erase == flash::EraseGranularity::k64KOnly) {
        PrintLine("\n\rRegion update needs 4 KB erase; this flash has no 4 KB erase!");
        return true;
    }
    // The halves are taken at fixed offsets: a shorter image has no upper
    // half to read.
    if (halved && length != kHalvedImageLength) {
        PrintLine("\n\rImage for this chip must be 256K!");
        return true;
    }
    // Past the part's end the addresses wrap onto what was just written,
    // and every verify would still pass.
    const uint64_t whole = halved ? length >> 1 : length;
    return PastCapacity(part, FlashBase(options) + (region != nullptr ? region->offset + region->length : whole));
}

// What a run that was stopped, and one that verified every block, say last.
struct Endings {
    const char* interrupted;
    const char* verified;  // null: nothing
};

constexpr Endings kUpdateEndings = {
    "\n\rInterrupted: the flash may hold a partial image; run the update again before resetting the board.",
    nullptr,
};
constexpr Endings kCompareEndings = {"\n\rInterrupted.", "\n\rFlash equals the image."};

void ShowDifferences(const flash::Differences& d)
{
    Print("\n\rDiffers: %llu bytes, first at 0x%06X (flash 0x%02X, image 0x%02X), last at 0x%06X.\n",
          static_cast<unsigned long long>(d.count), static_cast<unsigned>(d.first), d.first_flash, d.first_image,
          static_cast<unsigned>(d.last));
}

}  // namespace

int RunUpdate(const RunOptions& options, const UpdateImage& image)
{
    const Endings& endings = options.compare ? kCompareEndings : kUpdateEndings;
    const uint8_t closing = options.reset ? hostio::kEcCloseWithReset : hostio::kEcClose;

    if (kProgram.prepare_update) {
        PrintLine("Send EC Cmd 0xDD \n");
        hostio::SendEcCommand(hostio::kEcPrepareUpdate);
        platform::DelayUs(kProgram.prepare_pause_us);
    }
    hostio::OpenFlashMode(closing);

    PrintLine("vReadSPIDeviceID start\n");
    const FlashPart part = flash::IdentifyFlash();
    PrintLine("vReadSPIDeviceID end\n");
    Print("\nBlockNum=%x,MaxBlockNum=%x", 0u, image.geometry.blocks);

    const uint16_t chip = hostio::ReadChipId();
    const bool halved = ChipTakesHalf(chip, image.geometry);
    if (Refused(options, part, halved, image.length)) {
        runrecord::Fail(runrecord::Result::kRefused);
        hostio::CloseFlashMode(closing);
        return 1;
    }
    const uint64_t length = halved ? image.length >> 1 : image.length;
    const uint32_t blocks = halved ? image.geometry.blocks >> 1 : image.geometry.blocks;
    const uint32_t first_image_block = halved && chip == kChipUpperHalf ? 2 : 0;

    // The base is on a 64 KB boundary and the image fits below 16 MB (the
    // update mode refuses anything else).
    const uint32_t base = FlashBase(options);
    const Region* region = ChosenRegion(options);
    const uint32_t start = base + (region != nullptr ? region->offset : 0);
    runrecord::NoteArea(start, region != nullptr ? region->name : nullptr, length);
    const bool size_unknown = part.Capacity() == 0 && !options.compare;
    UnknownSizeCheck size_check;
    if (size_unknown)
        size_check.Before(start);
    BlockUpdate update(options, part);
    bool verified = true;
    uint32_t block = 0;
    // A stop signal ends the work between blocks, never inside one. A
    // compare reads every block, whatever the ones before held.
    for (; block < blocks && (verified || options.compare) && !platform::StopRequested(); ++block) {
        const uint32_t image_offset = (first_image_block + block) * flash::kBlockBytes;
        const uint64_t left = length - uint64_t{block} * flash::kBlockBytes;
        const flash::BlockImage slice{image.bytes + image_offset,
                                      static_cast<uint32_t>(left < flash::kBlockBytes ? left : flash::kBlockBytes),
                                      image_offset};
        ShowStatusScreen(part, block);
        // A failed block ends an update's work: the EC is told to leave
        // flash mode next, and nothing more may reach it in follow mode.
        const uint32_t address = base + block * flash::kBlockBytes;
        const bool done = options.differential ? update.RunDifferential(address, slice) : update.Run(address, slice);
        verified = done && verified;
    }

    const bool stopped = (verified || options.compare) && block < blocks;
    if (verified && !stopped && options.differential)
        Print("\n\rUnits rewritten: %u of %u (the others already held the image).\n",
              static_cast<unsigned>(update.rewritten()), static_cast<unsigned>(update.units()));
    if (verified && !stopped && size_unknown) {
        verified = size_check.After(start, image.bytes + first_image_block * flash::kBlockBytes,
                                    static_cast<uint32_t>(length));
        if (!verified)
            runrecord::Fail(runrecord::Result::kFinalCheckFailed);
    }
    // Every byte of the area was read: a compare reads on past differences.
    if (!stopped && (verified || options.compare))
        runrecord::FlashReadWhole();
    if (!verified && !options.compare)
        PrintLine(kPartialImage);
    hostio::CloseFlashMode(closing);
    if (stopped) {
        // Before its first block an update has changed nothing.
        PrintLine(block == 0 && !options.compare ? kNothingWritten : endings.interrupted);
        runrecord::Fail(runrecord::Result::kInterrupted);
        return 1;
    }
    if (verified && endings.verified != nullptr)
        PrintLine(endings.verified);
    if (options.compare && !verified)
        ShowDifferences(update.differences());
    return verified ? 0 : 1;
}

}  // namespace driver
