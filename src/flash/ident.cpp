// Identification: the JEDEC id, or the older read-id when the part answers
// the JEDEC read with a 0 vendor byte; and the status screen's id lines.
#include "ident.h"

#include "common/image_state.h"
#include "common/print.h"
#include "follow.h"
#include "platform/platform.h"

namespace {

constexpr int kJedecIdBytes = 4;
constexpr int kReadIdBytes = 16;
constexpr uint8_t kSstVendor = 0xBF;

void ReadIdBytes(int count)
{
    for (int i = 0; i < count; ++i) {
        SPIDeviceID[i] = BReadByteFromSPI();
        kprint(" %x", SPIDeviceID[i]);
    }
}

}  // namespace

void vReadSPIDeviceID()
{
    SPIDeviceID[0] = 0;
    vWaitSPIFree();
    kputs("\nvEnterFollowMode");
    vEnterFollowMode();
    vSendSPICommand(spi::kReadJedecId);
    kputs("\nSPIDeviceID=");
    ReadIdBytes(kJedecIdBytes);
    if (SPIDeviceID[0] == 0)
        vReadSPIDeviceID_CmdAB();
    kputs("\nvExitFollowMode");
    vExitFollowMode();
}

void vReadSPIDeviceID_CmdAB()
{
    vWaitSPIFree();
    vEnterFollowMode();
    vSendSPICommand(spi::kReadId);
    for (int i = 0; i < 3; ++i)
        vSendSPIByte(0x00);
    kline("\n");
    ReadIdBytes(kReadIdBytes);
    kline("\n");
    Old_SSTDeviceID = SPIDeviceID[0] == kSstVendor ? 1 : 0;
    vExitFollowMode();
}

void vShowDeviceID()
{
    gotoxy(1, 3);
    kprint(" Device ID        : %x %x %x %x ", SPIDeviceID[0], SPIDeviceID[1], SPIDeviceID[2], SPIDeviceID[3]);
}

void vShowBlockNumber()
{
    gotoxy(1, 5);
    kprint(" Block Number     : %d \n\n", BlockNum);
}
