#include "sio.h"

#include "platform/platform.h"

uint8_t CFG_PORT = 0x4E;
uint16_t ChipID;

namespace {

constexpr uint8_t kEntryKey[] = {0x87, 0x01, 0x55, 0x55};

constexpr uint8_t kRegExit = 0x02;
constexpr uint8_t kRegLdn = 0x07;
constexpr uint8_t kRegChipIdHigh = 0x20;
constexpr uint8_t kRegChipIdLow = 0x21;

// The EC RAM window inside the configuration space.
constexpr uint8_t kRegEcIndex = 0x4E;
constexpr uint8_t kRegEcData = 0x4F;
constexpr uint8_t kEcIndexLow = 0x10;
constexpr uint8_t kEcIndexHigh = 0x11;
constexpr uint8_t kEcIndexData = 0x12;

}  // namespace

void ResetSioState()
{
    CFG_PORT = 0x4E;
    ChipID = 0;
}

void LPC_Write_Byte(uint8_t reg, uint8_t value)
{
    IoWrite8(CFG_PORT, reg);
    IoWrite8(static_cast<uint8_t>(CFG_PORT + 1), value);
}

uint8_t LPC_Read_Byte(uint8_t reg)
{
    IoWrite8(CFG_PORT, reg);
    return IoRead8(static_cast<uint8_t>(CFG_PORT + 1));
}

uint8_t get_cfg_port()
{
    return CFG_PORT;
}

void enter_sio()
{
    for (uint8_t key : kEntryKey)
        IoWrite8(CFG_PORT, key);
}

void exit_sio()
{
    LPC_Write_Byte(kRegExit, 0x02);
}

void change_ldn(uint8_t device)
{
    LPC_Write_Byte(kRegLdn, device);
}

// Leaves the configuration mode entered: the BRAM read-out goes on in it.
uint16_t find_ite_chip()
{
    enter_sio();
    const uint8_t high = LPC_Read_Byte(kRegChipIdHigh);
    const uint8_t low = LPC_Read_Byte(kRegChipIdLow);
    return static_cast<uint16_t>((high << 8) | low);
}

uint8_t Embedded_Controller_Get_Ram_Byte(uint16_t address)
{
    LPC_Write_Byte(kRegEcIndex, kEcIndexHigh);
    LPC_Write_Byte(kRegEcData, static_cast<uint8_t>(address >> 8));
    LPC_Write_Byte(kRegEcIndex, kEcIndexLow);
    LPC_Write_Byte(kRegEcData, static_cast<uint8_t>(address));
    LPC_Write_Byte(kRegEcIndex, kEcIndexData);
    return LPC_Read_Byte(kRegEcData);
}
