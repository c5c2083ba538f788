// One fast read over the block, compared with the image to its end.
#include "verify.h"

#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "phase.h"
#include "status.h"

namespace flash {

bool VerifyBlock(uint32_t address, const BlockImage& image, Marks marks)
{
    const PhaseScope phase(Phase::kVerify);
    DisableWrite();
    WaitIdle();
    OpenFastRead(address);
    PrintText(kProgram.verify_label);
    const uint32_t mark_every = marks == Marks::kPer256 ? 0x100 : kSectorBytes;
    for (uint32_t n = 0; n < image.length; ++n) {
        const uint8_t expected = image.bytes[n];
        if (ReadFlashByte() != expected) {
            // The image offset and the byte the image holds there.
            Print("[%x]=%x", static_cast<unsigned>(image.image_offset + n), expected);
            WaitIdle();
            PrintLine(" -- Verify Fail. ");
            return false;
        }
        if (n % mark_every == 0)
            PrintText(kProgram.mark);
    }
    WaitIdle();
    PrintLine(" -- Verify OK. ");
    return true;
}

}  // namespace flash
