// One fast read over the erased area, which must read 0xFF to its end.
#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "erase.h"
#include "phase.h"
#include "status.h"

namespace flash {

namespace {

constexpr uint8_t kErased = 0xFF;

// The position of the first byte that is not erased, or length.
uint32_t ReadErased(uint32_t address, uint32_t length, uint32_t mark_every)
{
    DisableWrite();
    WaitIdle();
    OpenFastRead(address);
    PrintText(kProgram.erase_check_label);
    for (uint32_t n = 0; n < length; ++n) {
        if (ReadFlashByte() != kErased)
            return n;
        if (n % mark_every == 0)
            PrintText(kProgram.mark);
    }
    return length;
}

bool Passed()
{
    WaitIdle();
    PrintLine(" -- Verify OK. \n");
    return true;
}

uint32_t MarkEvery(Marks marks)
{
    return marks == Marks::kPer256 ? 0x100 : kSectorBytes;
}

}  // namespace

bool CheckBlockErased(uint32_t address, uint32_t length, PageCounters last_run)
{
    const PhaseScope phase(Phase::kEraseCheck);
    if (ReadErased(address, length, MarkEvery(Marks::kPer4K)) == length)
        return Passed();
    WaitIdle();
    Print(" -- Verify Fail. counter2=%x counter=%x\n", last_run.page, last_run.byte);
    return false;
}

bool CheckRegionErased(uint32_t address, uint32_t length, Marks marks)
{
    const PhaseScope phase(Phase::kEraseCheck);
    const uint32_t first_unerased = ReadErased(address, length, MarkEvery(marks));
    if (first_unerased == length)
        return Passed();
    WaitIdle();
    Print(" -- Verify Fail. counterN=%x\n", static_cast<unsigned>(first_unerased));
    return false;
}

}  // namespace flash
