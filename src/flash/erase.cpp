// Erase: a whole 64 KB block of an update, or a run of 4 KB sectors for a
// region and the test mode. Nothing is read back here; the check follows.
#include "erase.h"

#include "common/flavour.h"
#include "common/image_state.h"
#include "common/print.h"
#include "common/runstate.h"
#include "engine.h"
#include "follow.h"
#include "ident.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kUnit1K = 0x400;
constexpr uint32_t kSector = 0x1000;
constexpr uint32_t kUnitsPerBlock = 64;
constexpr uint32_t kSectorsPerBlock = 16;
constexpr uint32_t kBlockBytes = 0x10000;
constexpr int kMarksPerSector = 16;

// One erase command on its own write enable, waited out.
void EraseUnit(uint8_t opcode, uint32_t address)
{
    vSPIWriteEnable();
    engine::Command(opcode, address);
    vExitFollowMode();
    vWaitSPIFree();
}

// ITE flash goes in 1 KB units and stops at the image's last page.
void EraseBlockIn1K(uint32_t start)
{
    for (uint32_t i = 0; i < kUnitsPerBlock; ++i) {
        if (BlockNum * kUnitsPerBlock + i >= gPageCount)
            break;
        EraseUnit(spi::kPageErase1K, start + i * kUnit1K);
        if (i % 4 == 0)
            engine::Mark();
    }
}

// 4 KB steps up to the last sector that holds image bytes: the flash past
// the image keeps what it held.
void EraseBlockInSectors(uint32_t start)
{
    const uint8_t opcode = engine::Steps().erase_opcode;
    for (uint32_t i = 0; i < kSectorsPerBlock; ++i) {
        if (uint64_t{BlockNum} * kBlockBytes + i * kSector >= gFileSize)
            break;
        EraseUnit(opcode, start + i * kSector);
        engine::Mark();
    }
}

}  // namespace

void vSPIBlockErase64KByte(uint8_t high, uint8_t middle, uint8_t low)
{
    kputs(kFlavour.block_erase_label);
    const uint32_t start = engine::Linear(high, middle, low);
    if (engine::Steps().erase_1k_units)
        EraseBlockIn1K(start);
    else
        EraseBlockInSectors(start);
    kline(" -- Erase OK. \n");
}

void vSPISectorErase(uint8_t high, uint8_t middle, uint8_t low, uint8_t count)
{
    kputs(kFlavour.sector_erase_label);
    const uint32_t start = engine::Linear(high, middle, low);
    const uint8_t opcode = engine::Steps().erase_opcode;
    for (uint32_t i = 0; i < count; ++i) {
        EraseUnit(opcode, start + i * kSector);
        if (BBK_flag == 1 || Test_flag == 1) {
            for (int m = 0; m < kMarksPerSector; ++m) {
                engine::Mark();
                delay(kFlavour.mark_pause);
            }
        } else {
            engine::Mark();
        }
    }
    kline(" -- Erase OK. \n");
}
