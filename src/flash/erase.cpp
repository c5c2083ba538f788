// Nothing is read back here; the erase check follows.
#include "erase.h"

#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "phase.h"
#include "platform/platform.h"
#include "status.h"

namespace flash {

namespace {

constexpr uint32_t kUnit1K = 0x400;
constexpr int kMarksPerSector = 16;

// One erase command on its own write enable, waited out.
void EraseUnit(const FlashPart& part, uint8_t opcode, uint32_t address)
{
    EnableWrite(part);
    SendCommand(opcode, address);
    ExitFollowMode();
    WaitIdle();
}

uint32_t UnitsFor(uint32_t length, uint32_t unit)
{
    return (length + unit - 1) / unit;
}

}  // namespace

void EraseBlock(const FlashPart& part, uint32_t address, uint32_t length)
{
    const PhaseScope phase(Phase::kErase);
    PrintText(kProgram.block_erase_label);
    if (part.row->erase == EraseGranularity::k1K) {
        for (uint32_t i = 0; i < UnitsFor(length, kUnit1K); ++i) {
            EraseUnit(part, kOpPageErase1K, address + i * kUnit1K);
            if (i % 4 == 0)
                PrintText(kProgram.mark);
        }
    } else {
        for (uint32_t i = 0; i < UnitsFor(length, kSectorBytes); ++i) {
            EraseUnit(part, part.EraseOpcode(), address + i * kSectorBytes);
            PrintText(kProgram.mark);
        }
    }
    PrintLine(" -- Erase OK. \n");
}

uint32_t EraseUnitBytes(const FlashPart& part, bool region)
{
    if (region)
        return kSectorBytes;
    switch (part.row->erase) {
    case EraseGranularity::k1K:
        return kUnit1K;
    case EraseGranularity::k64KOnly: {
        const PartNumber* number = part.Number();
        return number != nullptr && number->sector_kb != 0 ? number->sector_kb * 1024u : kBlockBytes;
    }
    case EraseGranularity::k4K:
        break;
    }
    return kSectorBytes;
}

void EraseSectors(const FlashPart& part, uint32_t address, uint32_t count, Marks marks)
{
    const PhaseScope phase(Phase::kErase);
    PrintText(kProgram.sector_erase_label);
    for (uint32_t i = 0; i < count; ++i) {
        EraseUnit(part, part.EraseOpcode(), address + i * kSectorBytes);
        if (marks == Marks::kPer4K) {
            PrintText(kProgram.mark);
            continue;
        }
        for (int m = 0; m < kMarksPerSector; ++m) {
            PrintText(kProgram.mark);
            platform::DelayUs(kProgram.erase_mark_pause_us);
        }
    }
    PrintLine(" -- Erase OK. \n");
}

}  // namespace flash
