#include "protect.h"

#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "phase.h"
#include "protection.h"
#include "platform/platform.h"
#include "status.h"

namespace flash {

namespace {

constexpr uint8_t kUnprotected = 0x00;
// Status register 1 without the busy bit and the latch.
constexpr uint8_t kProtectionBits = 0xFC;

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
    if (part.row->enable_write_status_always)
        SendEnableWriteStatus();
    EnterFollowMode();
    SendOpcode(kOpWriteStatus);
    SendFlashByte(kUnprotected);
    WaitIdle();
}

bool ProtectBootBlock(const FlashPart& part)
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
        status2 = ReadFlashByte() & static_cast<uint8_t>(~row.protect_clears2);
    }
    const uint8_t status2_written = status2;
    WaitIdle();
    // The enable that makes the write last goes right before it: SST's 0x50
    // is spent by any command in between, and after Winbond's 0x50 the part
    // would keep the value only until power-off.
    EnterFollowMode();
    SendOpcode(row.protect_enable);
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
    uint8_t status = ReadFlashByte();
    Print("\nRead Status Register = 0x%x\n", status);
    WaitIdle();
    // The value that counts is the one the part holds once it is idle.
    if ((status & kStatusBusy) != 0)
        status = ReadStatusRegister(kOpReadStatus);
    if (row.has_status2)
        status2 = ReadStatusRegister(kOpReadStatus2);
    PrintProtectedLine(part, status, status2);
    const bool status2_held = !row.keeps_status2 || status2 == status2_written;
    if ((status & kProtectionBits) != (row.protect_value & kProtectionBits) || !status2_held) {
        PrintLine("\n\rProtect BBK Area Fail!");
        return false;
    }
    return true;
}

}  // namespace flash
