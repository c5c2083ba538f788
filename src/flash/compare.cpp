// One fast read runs on while the units match; a difference ends it, and
// the next unit starts a read of its own. An image that already holds costs
// what a verify costs, one that differs everywhere a few bytes per unit.
#include "compare.h"

#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "phase.h"

namespace flash {

uint64_t CompareUnits(uint32_t address, const BlockImage& image, uint32_t unit, Marks marks)
{
    const PhaseScope phase(Phase::kCompare);
    PrintText(kProgram.compare_label);
    const uint32_t mark_every = marks == Marks::kPer256 ? 0x100 : kSectorBytes;
    const uint32_t units = (image.length + unit - 1) / unit;
    uint64_t differing = 0;
    bool reading = false;
    for (uint32_t u = 0; u < units; ++u) {
        const uint32_t begin = u * unit;
        const uint32_t end = begin + unit < image.length ? begin + unit : image.length;
        if (!reading)
            OpenFastRead(address + begin);
        reading = true;
        for (uint32_t n = begin; n < end; ++n) {
            if (ReadFlashByte() != image.bytes[n]) {
                differing |= uint64_t{1} << u;
                reading = false;
                break;
            }
        }
        for (uint32_t m = (begin + mark_every - 1) / mark_every * mark_every; m < end; m += mark_every)
            PrintText(kProgram.mark);
    }
    ExitFollowMode();
    uint32_t count = 0;
    for (uint64_t bits = differing; bits != 0; bits &= bits - 1)
        ++count;
    if (count == 0)
        PrintLine(" -- Block holds the image. ");
    else
        Print(" -- Differs in %u of %u units. \n", static_cast<unsigned>(count), static_cast<unsigned>(units));
    return differing;
}

}  // namespace flash
