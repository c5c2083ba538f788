// The status register's block-protection bits: cleared before every block
// of an update, set to guard the boot block in the protection mode.
#include "protect.h"

#include "common/flavour.h"
#include "common/print.h"
#include "engine.h"
#include "follow.h"
#include "platform/platform.h"

namespace {

constexpr uint8_t kUnprotected = 0x00;
constexpr uint8_t kProtectBootBlock = 0x06;
// Winbond: SEC, TB and BP0 guard the lowest 4 KB.
constexpr uint8_t kProtectBootBlockSr1 = 0x64;

void SendWriteEnable()
{
    vEnterFollowMode();
    vSendSPICommand(spi::kWriteEnable);
}

void EnableWriteStatus()
{
    vEnterFollowMode();
    vSendSPICommand(spi::kEnableWriteStatus);
}

void Settle()
{
    delay(kFlavour.protect_settle);
}

}  // namespace

void SPIUnlockAll()
{
    vWaitSPIFree();
    SendWriteEnable();
    engine::OpenStatusRead();
    engine::PollLatchSet();
    if (engine::Steps().enable_write_status)
        EnableWriteStatus();
    vEnterFollowMode();
    vSendSPICommand(spi::kWriteStatus);
    vSendSPIByte(kUnprotected);
    vWaitSPIFree();
}

void ProtectBBK()
{
    const engine::PartSteps& part = engine::Steps();
    vWaitSPIFree();
    SendWriteEnable();
    vWaitSPIFree();
    engine::OpenStatusRead();
    engine::PollLatchSet();
    uint8_t status2 = 0;
    if (part.two_status_bytes) {
        vWaitSPIFree();
        vEnterFollowMode();
        vSendSPICommand(spi::kReadStatus2);
        status2 = BReadByteFromSPI();
    }
    if (part.enable_write_status || part.two_status_bytes)
        EnableWriteStatus();
    vWaitSPIFree();
    vEnterFollowMode();
    vSendSPICommand(spi::kWriteStatus);
    if (part.two_status_bytes) {
        vSendSPIByte(kProtectBootBlockSr1);
        Settle();
        vSendSPIByte(status2);
        Settle();
    } else {
        vSendSPIByte(kProtectBootBlock);
    }
    vEnterFollowMode();
    Settle();
    vSendSPICommand(spi::kReadStatus);
    Settle();
    kputs("\n\nProtect BBK Area Done!");
    kprint("\nRead Status Register = 0x%x\n", BReadByteFromSPI());
    vWaitSPIFree();
}
