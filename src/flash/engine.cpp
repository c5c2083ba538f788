#include "engine.h"

#include "common/flavour.h"
#include "common/image_state.h"
#include "common/print.h"
#include "follow.h"
#include "ident.h"

namespace engine {

namespace {

constexpr PartSteps kGeneric = {0x00, false, false, spi::kSectorErase, false};

constexpr PartSteps kParts[] = {
    {0xBF, true, false, spi::kSectorErase, false},   // SST
    {0xEF, false, true, spi::kSectorErase, false},   // Winbond
    {0x20, false, false, spi::kBlockErase, false},   // ST: no 4 KB erase
    {0xFF, false, false, spi::kSectorErase, true},   // ITE
};

constexpr uint64_t kBlockBytes = 0x10000;

}  // namespace

void SendAddress(uint32_t address)
{
    vSendSPIByte(static_cast<uint8_t>(address >> 16));
    vSendSPIByte(static_cast<uint8_t>(address >> 8));
    vSendSPIByte(static_cast<uint8_t>(address));
}

void Command(uint8_t opcode, uint32_t address)
{
    vEnterFollowMode();
    vSendSPICommand(opcode);
    SendAddress(address);
}

void OpenFastRead(uint32_t address)
{
    Command(spi::kFastRead, address);
    vSendSPIByte(0x00);
}

uint32_t ImageOffset(uint32_t n)
{
    return static_cast<uint32_t>(BufferBlockNum * kBlockBytes + n);
}

uint8_t ImageByte(uint32_t n)
{
    return gUSBReadBuffer[ImageOffset(n)];
}

bool ImageProgrammed()
{
    return gFileProcessCount >= gFileSize;
}

bool PastImage(uint32_t n)
{
    return BlockNum * kBlockBytes + n >= gFileSize;
}

void Mark()
{
    kputs(kFlavour.mark);
}

const PartSteps& Steps()
{
    for (const PartSteps& part : kParts) {
        if (part.id == SPIDeviceID[0])
            return part;
    }
    return kGeneric;
}

}  // namespace engine
