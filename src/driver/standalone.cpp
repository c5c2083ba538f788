#include "banner.h"
#include "common/flavour.h"
#include "common/print.h"
#include "flash/erase.h"
#include "flash/follow.h"
#include "flash/ident.h"
#include "flash/program.h"
#include "flash/protect.h"
#include "flash_session.h"
#include "modes.h"
#include "platform/platform.h"

namespace {

// The test pattern: one page of 0x88 at flash address 0.
constexpr uint16_t kPatternLength = 256;
constexpr uint8_t kPatternByte = 0x88;

void SendAddressZero()
{
    for (int i = 0; i < 3; ++i)
        vSendSPIByte(0x00);
}

void WritePattern()
{
    kputs(kFlavour.program_label_wide);
    vSPIWriteEnable();
    vEnterFollowMode();
    vSendSPICommand(spi::kPageProgram);
    SendAddressZero();
    for (counter = 0; counter < kPatternLength; ++counter) {
        vSendSPIByte(kPatternByte);
        if (counter % 16 == 0)
            kputs(kFlavour.mark);
    }
    vWaitSPIFree();
    vSPIWriteDisable();
}

// Reads the page back in one fast read: true when it holds the pattern.
bool PatternReadsBack()
{
    vEnterFollowMode();
    vSendSPICommand(spi::kFastRead);
    SendAddressZero();
    vSendSPIByte(0x00);  // dummy byte
    bool same = true;
    for (uint16_t i = 0; i < kPatternLength; ++i)
        if (BReadByteFromSPI() != kPatternByte)
            same = false;
    vWaitSPIFree();
    return same;
}

}  // namespace

// The flash is not identified here: byte 0 of SPIDeviceID stays 0 and the
// engine takes its generic paths.
int RunTestMode()
{
    OpenFlashMode(ec::kCloseWithReset);
    vSPISectorErase(0, 0, 0, 1);
    WritePattern();
    const bool written = PatternReadsBack();
    kline(written ? " -- Test OK. \n" : " -- Test Fail. \n");
    CloseFlashMode(ec::kCloseWithReset);
    return written ? 0 : 1;
}

int RunProtectMode()
{
    OpenFlashMode(ec::kCloseWithReset);
    kline("vReadSPIDeviceID start\n");
    vReadSPIDeviceID();
    kline("vReadSPIDeviceID end\n");
    clrscr();
    vShowVersion();
    vShowDeviceID();
    vShowVendorID();
    ProtectBBK();
    CloseFlashMode(ec::kCloseWithReset);
    return 0;
}
