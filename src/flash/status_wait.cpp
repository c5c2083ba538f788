// The flash's status polls. Each poll is one status read in a transaction
// already open on opcode 0x05; a part that never shows the awaited bits ends
// the run after hostio::kFlashLimitUs instead of holding the EC for ever.
#include "engine.h"
#include "follow.h"
#include "hostio/wait.h"

namespace {

constexpr hostio::Awaited kBusy = {"flash busy", -1};
constexpr hostio::Awaited kLatchSet = {"flash write enable", -1};
constexpr hostio::Awaited kLatchClear = {"flash write disable", -1};

void PollUntilLatchedAndIdle()
{
    auto latched = [] {
        return (BReadByteFromSPI() & (spi::kStatusBusy | spi::kStatusWriteEnableLatch)) ==
               spi::kStatusWriteEnableLatch;
    };
    hostio::WaitFor(latched, hostio::kFlashLimitUs, kLatchSet);
}

}  // namespace

namespace engine {

void OpenStatusRead()
{
    vEnterFollowMode();
    vSendSPICommand(spi::kReadStatus);
}

void PollLatchSet()
{
    hostio::WaitFor([] { return (BReadByteFromSPI() & spi::kStatusWriteEnableLatch) != 0; }, hostio::kFlashLimitUs,
                    kLatchSet);
}

}  // namespace engine

using engine::OpenStatusRead;

void vWaitSPIFree()
{
    OpenStatusRead();
    hostio::WaitFor([] { return (BReadByteFromSPI() & spi::kStatusBusy) == 0; }, hostio::kFlashLimitUs, kBusy);
    vExitFollowMode();
}

void vWaitWriteEnable()
{
    OpenStatusRead();
    PollUntilLatchedAndIdle();
}

void vSPIWriteEnable()
{
    vWaitSPIFree();
    vEnterFollowMode();
    vSendSPICommand(spi::kWriteEnable);
    if (engine::Steps().enable_write_status) {
        vEnterFollowMode();
        vSendSPICommand(spi::kEnableWriteStatus);
    }
    OpenStatusRead();
    PollUntilLatchedAndIdle();
    vExitFollowMode();
}

void vSPIWriteDisable()
{
    vWaitSPIFree();
    vEnterFollowMode();
    vSendSPICommand(spi::kWriteDisable);
    OpenStatusRead();
    hostio::WaitFor([] { return (BReadByteFromSPI() & spi::kStatusWriteEnableLatch) == 0; }, hostio::kFlashLimitUs,
                    kLatchClear);
    vExitFollowMode();
}
