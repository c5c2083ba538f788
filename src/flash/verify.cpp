// One fast read over the block, compared with the image to its end.
#include "verify.h"

#include "channel.h"
#include "common/print.h"
#include "common/run_record.h"
#include "common/program.h"
#include "phase.h"
#include "status.h"

namespace flash {

namespace {

void Note(Differences* d, uint32_t address, uint8_t flash, uint8_t image)
{
    if (d->count++ == 0) {
        d->first = address;
        d->first_flash = flash;
        d->first_image = image;
    }
    d->last = address;
}

}  // namespace

bool VerifyBlock(uint32_t address, const BlockImage& image, Marks marks, Differences* differences)
{
    const PhaseScope phase(Phase::kVerify);
    DisableWrite();
    WaitIdle();
    OpenFastRead(address);
    PrintText(kProgram.verify_label);
    const uint32_t mark_every = marks == Marks::kPer256 ? 0x100 : kSectorBytes;
    bool same = true;
    for (uint32_t n = 0; n < image.length; ++n) {
        const uint8_t expected = image.bytes[n];
        const uint8_t read = ReadFlashByte();
        // A compare's bytes are the flash's own, not always the image's.
        if (differences != nullptr)
            runrecord::HashFlash(&read, 1);
        if (read != expected) {
            if (same) {
                // The image offset and the byte the image holds there.
                Print("[%x]=%x", static_cast<unsigned>(image.image_offset + n), expected);
                same = false;
            }
            if (differences == nullptr)
                break;
            Note(differences, address + n, read, expected);
        }
        if (n % mark_every == 0)
            PrintText(kProgram.mark);
    }
    WaitIdle();
    PrintLine(same ? " -- Verify OK. " : " -- Verify Fail. ");
    return same;
}

bool CheckImageHeld(uint32_t address, const uint8_t* bytes, uint32_t length, uint32_t* differs_at)
{
    const PhaseScope phase(Phase::kFinalCheck);
    PrintText(kProgram.final_check_label);
    OpenFastRead(address);
    bool same = true;
    for (uint32_t n = 0; n < length && same; ++n) {
        if (ReadFlashByte() != bytes[n]) {
            *differs_at = address + n;
            same = false;
        } else if (n % kSectorBytes == 0) {
            PrintText(kProgram.mark);
        }
    }
    ExitFollowMode();
    PrintLine(same ? " -- Final check OK. " : " -- Final check Fail. ");
    return same;
}

}  // namespace flash
