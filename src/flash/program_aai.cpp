// Auto-address-increment programming of SST-style and ITE parts.
#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "phase.h"
#include "program.h"
#include "status.h"

namespace flash {

namespace {

constexpr uint32_t kMarkEvery = 0x1000;
// Pairs the last byte of an odd-length image: programming 0xFF leaves the
// erased flash as it is.
constexpr uint8_t kPad = 0xFF;

void Begin(const FlashPart& part, uint8_t opcode, uint32_t address, const char* label)
{
    EnableWrite(part);
    SendCommand(opcode, address);
    PrintText(label);
}

// The next command's data follows; the last one is left without data and
// ended by the write disable, which also ends AAI mode.
void Next(uint8_t opcode)
{
    WaitIdle();
    EnterFollowMode();
    SendOpcode(opcode);
}

void Finish()
{
    DisableWrite();
    WaitIdle();
    PrintLine(" -- Programing OK. \n");
}

}  // namespace

void ProgramAaiBytes(const FlashPart& part, uint32_t address, const BlockImage& image)
{
    const PhaseScope phase(Phase::kProgram);
    Begin(part, kOpAaiByteProgram, address, kProgram.program_label_wide);
    for (uint32_t n = 0; n < image.length; ++n) {
        SendFlashByte(image.bytes[n]);
        Next(kOpAaiByteProgram);
        if (n % kMarkEvery == 0)
            PrintText(kProgram.mark);
    }
    Finish();
}

void ProgramAaiWords(const FlashPart& part, uint32_t address, const BlockImage& image)
{
    const PhaseScope phase(Phase::kProgram);
    Begin(part, kOpAaiWordProgram, address, kProgram.program_label_narrow);
    for (uint32_t n = 0; n < image.length; n += 2) {
        SendFlashByte(image.bytes[n]);
        SendFlashByte(n + 1 < image.length ? image.bytes[n + 1] : kPad);
        Next(kOpAaiWordProgram);
        if (n % kMarkEvery == 0)
            PrintText(kProgram.mark);
    }
    Finish();
}

}  // namespace flash
