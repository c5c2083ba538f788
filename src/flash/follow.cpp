// Follow mode: every sub-command and the byte that goes with it travel on
// the EC mailbox's command port; only a flash read answers, on the data port.
#include "follow.h"

#include "hostio/mailbox.h"

namespace {

constexpr uint8_t kEnterFollowMode = 0x01;
constexpr uint8_t kSendCommand = 0x02;
constexpr uint8_t kSendByte = 0x03;
constexpr uint8_t kReadByte = 0x04;
constexpr uint8_t kExitFollowMode = 0x05;

}  // namespace

void vEnterFollowMode()
{
    send_EC_cmd(kEnterFollowMode);
}

void vExitFollowMode()
{
    send_EC_cmd(kExitFollowMode);
}

void vSendSPICommand(uint8_t opcode)
{
    send_EC_cmd(kSendCommand);
    send_EC_cmd(opcode);
}

void vSendSPIByte(uint8_t value)
{
    send_EC_cmd(kSendByte);
    send_EC_cmd(value);
}

uint8_t BReadByteFromSPI()
{
    send_EC_cmd(kReadByte);
    return Read_EC_data();
}
