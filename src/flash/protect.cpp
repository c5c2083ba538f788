#include "protect.h"

#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "phase.h"
#include "platform/platform.h"
#include "status.h"

namespace flash {

namespace {

constexpr uint8_t kUnprotected = 0x00;

void SendWriteEnable()
{
    EnterFollowMode();
    SendOpcode(kOpWriteEnable);
}

void SendEnableWriteStatus()
{
    EnterFollowMode();
    SendOpcode(kOpEnableWriteStatus);
}

void Settle()
{
    platform::DelayUs(kProgram.protect_settle_us);
}

}  // namespace

void UnlockAll(const FlashPart& part)
{
    const PhaseScope phase(Phase::kUnlock);
    WaitIdle();
    SendWriteEnable();
    OpenStatusRead();
    PollLatchSet();
    if (part.row->enable_write_status == EnableWriteStatus::kAlways)
        SendEnableWriteStatus();
    EnterFollowMode();
    SendOpcode(kOpWriteStatus);
    SendFlashByte(kUnprotected);
    WaitIdle();
}

void ProtectBootBlock(const FlashPart& part)
{
    const PartRow& row = *part.row;
    WaitIdle();
    SendWriteEnable();
    WaitIdle();
    OpenStatusRead();
    PollLatchSet();
    uint8_t status2 = 0;
    if (row.keeps_status2) {
        WaitIdle();
        EnterFollowMode();
        SendOpcode(kOpReadStatus2);
        status2 = ReadFlashByte();
    }
    if (row.enable_write_status != EnableWriteStatus::kNever)
        SendEnableWriteStatus();
    WaitIdle();
    EnterFollowMode();
    SendOpcode(kOpWriteStatus);
    SendFlashByte(row.protect_value);
    if (row.keeps_status2) {
        Settle();
        SendFlashByte(status2);
        Settle();
    }
    EnterFollowMode();
    Settle();
    SendOpcode(kOpReadStatus);
    Settle();
    PrintText("\n\nProtect BBK Area Done!");
    Print("\nRead Status Register = 0x%x\n", ReadFlashByte());
    WaitIdle();
}

}  // namespace flash
