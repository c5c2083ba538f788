// Auto-address-increment programming of SST-style and ITE parts: the address
// goes once, then each byte (0xAF) or byte pair (0xAD) rides on its own
// command, with the part waited out in between.
#include "common/flavour.h"
#include "common/image_state.h"
#include "common/print.h"
#include "engine.h"
#include "follow.h"
#include "program.h"

namespace {

constexpr uint32_t kBlockBytes = 0x10000;
constexpr uint32_t kMarkEvery = 0x1000;
// Pairs the last byte of an odd-length image: programming 0xFF leaves the
// erased flash as it is.
constexpr uint8_t kPad = 0xFF;

void Begin(uint8_t opcode, uint8_t high, uint8_t middle, uint8_t low, const char* label)
{
    vSPIWriteEnable();
    engine::Command(opcode, engine::Linear(high, middle, low));
    kputs(label);
}

// The next command's data follows; the last one is left without data and
// ended by the write disable, which also ends AAI mode.
void Next(uint8_t opcode)
{
    vWaitSPIFree();
    vEnterFollowMode();
    vSendSPICommand(opcode);
}

void Finish()
{
    vSPIWriteDisable();
    vWaitSPIFree();
    kline(" -- Programing OK. \n");
}

}  // namespace

void vAAIProgram64KByte(uint8_t high, uint8_t middle, uint8_t low)
{
    Begin(spi::kAaiByteProgram, high, middle, low, kFlavour.program_label_wide);
    for (counterN = 0; counterN < kBlockBytes; ++counterN) {
        if (engine::ImageProgrammed())
            break;
        vSendSPIByte(engine::ImageByte(counterN));
        Next(spi::kAaiByteProgram);
        ++gFileProcessCount;
        if (counterN % kMarkEvery == 0)
            engine::Mark();
    }
    Finish();
}

void vAAIWordProgram64KByte(uint8_t high, uint8_t middle, uint8_t low)
{
    Begin(spi::kAaiWordProgram, high, middle, low, kFlavour.program_label_narrow);
    for (counterN = 0; counterN < kBlockBytes; counterN += 2) {
        if (engine::ImageProgrammed())
            break;
        vSendSPIByte(engine::ImageByte(counterN));
        const bool pair = gFileSize - gFileProcessCount >= 2;
        vSendSPIByte(pair ? engine::ImageByte(counterN + 1) : kPad);
        Next(spi::kAaiWordProgram);
        gFileProcessCount += pair ? 2 : 1;
        if (counterN % kMarkEvery == 0)
            engine::Mark();
    }
    Finish();
}
