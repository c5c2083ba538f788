#include "status.h"

#include "channel.h"
#include "hostio/wait.h"

namespace flash {

namespace {

constexpr hostio::Awaited kBusy = {"flash busy", -1};
constexpr hostio::Awaited kLatchSet = {"flash write enable", -1};
constexpr hostio::Awaited kLatchClear = {"flash write disable", -1};

void PollUntilLatchedAndIdle()
{
    auto latched = [] {
        return (ReadFlashByte() & (kStatusBusy | kStatusWriteEnableLatch)) == kStatusWriteEnableLatch;
    };
    hostio::WaitFor(latched, hostio::kFlashLimitUs, kLatchSet);
}

}  // namespace

void OpenStatusRead()
{
    EnterFollowMode();
    SendOpcode(kOpReadStatus);
}

void PollLatchSet()
{
    hostio::WaitFor([] { return (ReadFlashByte() & kStatusWriteEnableLatch) != 0; }, hostio::kFlashLimitUs,
                    kLatchSet);
}

uint8_t ReadStatusRegister(uint8_t opcode)
{
    EnterFollowMode();
    SendOpcode(opcode);
    const uint8_t value = ReadFlashByte();
    ExitFollowMode();
    return value;
}

void WaitIdle()
{
    OpenStatusRead();
    hostio::WaitFor([] { return (ReadFlashByte() & kStatusBusy) == 0; }, hostio::kFlashLimitUs, kBusy);
    ExitFollowMode();
}

void WaitWriteEnabled()
{
    OpenStatusRead();
    PollUntilLatchedAndIdle();
}

void EnableWrite(const FlashPart& part)
{
    WaitIdle();
    EnterFollowMode();
    SendOpcode(kOpWriteEnable);
    if (part.row->enable_write_status_always) {
        EnterFollowMode();
        SendOpcode(kOpEnableWriteStatus);
    }
    OpenStatusRead();
    PollUntilLatchedAndIdle();
    ExitFollowMode();
}

void DisableWrite()
{
    WaitIdle();
    EnterFollowMode();
    SendOpcode(kOpWriteDisable);
    OpenStatusRead();
    hostio::WaitFor([] { return (ReadFlashByte() & kStatusWriteEnableLatch) == 0; }, hostio::kFlashLimitUs,
                    kLatchClear);
    ExitFollowMode();
}

}  // namespace flash
