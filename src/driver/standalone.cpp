// The two modes that work on the flash without an image: the test and the
// boot-block protection.
#include "banner.h"
#include "common/print.h"
#include "common/run_record.h"
#include "common/program.h"
#include "flash/channel.h"
#include "flash/erase.h"
#include "flash/ident.h"
#include "flash/protect.h"
#include "flash/status.h"
#include "hostio/commands.h"
#include "hostio/flash_mode.h"
#include "modes.h"
#include "platform/platform.h"
#include "stop_signals.h"

namespace driver {

namespace {

// The test pattern: one page of 0x88 at flash address 0.
constexpr uint32_t kPatternLength = 256;
constexpr uint8_t kPatternByte = 0x88;

void WritePattern(const flash::FlashPart& part)
{
    PrintText(kProgram.program_label_wide);
    flash::EnableWrite(part);
    flash::SendCommand(flash::kOpPageProgram, 0);
    for (uint32_t n = 0; n < kPatternLength; ++n) {
        flash::SendFlashByte(kPatternByte);
        if (n % 16 == 0)
            PrintText(kProgram.mark);
    }
    flash::WaitIdle();
    flash::DisableWrite();
}

// Reads the page back in one fast read: true when it holds the pattern.
bool PatternReadsBack()
{
    flash::OpenFastRead(0);
    bool same = true;
    for (uint32_t n = 0; n < kPatternLength; ++n) {
        if (flash::ReadFlashByte() != kPatternByte)
            same = false;
    }
    flash::WaitIdle();
    return same;
}

}  // namespace

// The flash is not identified here: the engine takes its generic steps.
int RunTestMode()
{
    const flash::FlashPart part = flash::UnidentifiedPart();
    const StopSignalsHeld held;
    hostio::OpenFlashMode(hostio::kEcCloseWithReset);
    flash::EraseSectors(part, 0, 1, flash::Marks::kPer256);
    WritePattern(part);
    const bool written = PatternReadsBack();
    PrintLine(written ? " -- Test OK. \n" : " -- Test Fail. \n");
    if (!written)
        runrecord::Fail(runrecord::Result::kTestFailed);
    hostio::CloseFlashMode(hostio::kEcCloseWithReset);
    return StatusAfterStop(written ? 0 : 1);
}

int RunProtectMode()
{
    const StopSignalsHeld held;
    hostio::OpenFlashMode(hostio::kEcCloseWithReset);
    PrintLine("vReadSPIDeviceID start\n");
    const flash::FlashPart part = flash::IdentifyFlash();
    PrintLine("vReadSPIDeviceID end\n");
    platform::ClearScreen();
    ShowBanner();
    flash::ShowDeviceId(part);
    flash::ShowVendor(part);
    const bool protected_now = flash::ProtectBootBlock(part);
    if (!protected_now)
        runrecord::Fail(runrecord::Result::kProtectFailed);
    hostio::CloseFlashMode(hostio::kEcCloseWithReset);
    return StatusAfterStop(protected_now ? 0 : 1);
}

}  // namespace driver
