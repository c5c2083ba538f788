#include "sio.h"
#include "common/run_record.h"

#include "platform/platform.h"

namespace hostio {

namespace {

constexpr uint8_t kSioDataPort = kSioIndexPort + 1;
constexpr uint8_t kEntryKey[] = {0x87, 0x01, 0x55, 0x55};

constexpr uint8_t kRegExit = 0x02;
constexpr uint8_t kRegLogicalDevice = 0x07;
constexpr uint8_t kRegChipIdHigh = 0x20;
constexpr uint8_t kRegChipIdLow = 0x21;

// The EC RAM window inside the configuration space.
constexpr uint8_t kRegEcIndex = 0x4E;
constexpr uint8_t kRegEcData = 0x4F;
constexpr uint8_t kEcIndexLow = 0x10;
constexpr uint8_t kEcIndexHigh = 0x11;
constexpr uint8_t kEcIndexData = 0x12;

}  // namespace

void WriteSioRegister(uint8_t reg, uint8_t value)
{
    platform::IoWrite8(kSioIndexPort, reg);
    platform::IoWrite8(kSioDataPort, value);
}

uint8_t ReadSioRegister(uint8_t reg)
{
    platform::IoWrite8(kSioIndexPort, reg);
    return platform::IoRead8(kSioDataPort);
}

uint8_t SioIndexPort()
{
    return kSioIndexPort;
}

void EnterSio()
{
    for (uint8_t key : kEntryKey)
        platform::IoWrite8(kSioIndexPort, key);
}

void ExitSio()
{
    WriteSioRegister(kRegExit, 0x02);
}

void SelectLogicalDevice(uint8_t device)
{
    WriteSioRegister(kRegLogicalDevice, device);
}

uint16_t ReadChipId()
{
    const uint8_t high = ReadSioRegister(kRegChipIdHigh);
    const uint8_t low = ReadSioRegister(kRegChipIdLow);
    const auto chip = static_cast<uint16_t>((high << 8) | low);
    runrecord::NoteChip(chip);
    return chip;
}

// Leaves the configuration mode entered: the BRAM read-out goes on in it.
uint16_t FindIteChip()
{
    EnterSio();
    return ReadChipId();
}

uint8_t ReadEcRamThroughSio(uint16_t address)
{
    WriteSioRegister(kRegEcIndex, kEcIndexHigh);
    WriteSioRegister(kRegEcData, static_cast<uint8_t>(address >> 8));
    WriteSioRegister(kRegEcIndex, kEcIndexLow);
    WriteSioRegister(kRegEcData, static_cast<uint8_t>(address));
    WriteSioRegister(kRegEcIndex, kEcIndexData);
    return ReadSioRegister(kRegEcData);
}

}  // namespace hostio
