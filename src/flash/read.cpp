// One fast read over the block; the part is only read, so no status wait
// comes before or after it.
#include "read.h"

#include "block.h"
#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "phase.h"

namespace flash {

void ReadBlock(uint32_t address, uint8_t* out, uint32_t length)
{
    const PhaseScope phase(Phase::kRead);
    PrintText(kProgram.read_label);
    OpenFastRead(address);
    for (uint32_t n = 0; n < length; ++n) {
        out[n] = ReadFlashByte();
        if (n % kSectorBytes == 0)
            PrintText(kProgram.mark);
    }
    ExitFollowMode();
    PrintLine(" -- Read OK. ");
}

void ReadQuietly(uint32_t address, uint8_t* out, uint32_t length)
{
    const PhaseScope phase(Phase::kFinalCheck);
    OpenFastRead(address);
    for (uint32_t n = 0; n < length; ++n)
        out[n] = ReadFlashByte();
    ExitFollowMode();
}

}  // namespace flash
