#include "channel.h"

#include "hostio/mailbox.h"

namespace flash {

namespace {

constexpr uint8_t kEnterFollowMode = 0x01;
constexpr uint8_t kSendOpcode = 0x02;
constexpr uint8_t kSendByte = 0x03;
constexpr uint8_t kReadByte = 0x04;
constexpr uint8_t kExitFollowMode = 0x05;

}  // namespace

void EnterFollowMode()
{
    hostio::SendEcCommand(kEnterFollowMode);
}

void ExitFollowMode()
{
    hostio::SendEcCommand(kExitFollowMode);
}

void SendOpcode(uint8_t opcode)
{
    hostio::SendEcCommand(kSendOpcode);
    hostio::SendEcCommand(opcode);
}

void SendFlashByte(uint8_t value)
{
    hostio::SendEcCommand(kSendByte);
    hostio::SendEcCommand(value);
}

uint8_t ReadFlashByte()
{
    hostio::SendEcCommand(kReadByte);
    return hostio::ReadEcData();
}

void SendAddress(uint32_t address)
{
    SendFlashByte(static_cast<uint8_t>(address >> 16));
    SendFlashByte(static_cast<uint8_t>(address >> 8));
    SendFlashByte(static_cast<uint8_t>(address));
}

void SendCommand(uint8_t opcode, uint32_t address)
{
    EnterFollowMode();
    SendOpcode(opcode);
    SendAddress(address);
}

void OpenFastRead(uint32_t address)
{
    SendCommand(kOpFastRead, address);
    SendFlashByte(0x00);  // dummy byte
}

}  // namespace flash
