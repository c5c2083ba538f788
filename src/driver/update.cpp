#include "update.h"

#include "banner.h"
#include "block_update.h"
#include "common/flavour.h"
#include "common/image_state.h"
#include "common/print.h"
#include "common/runstate.h"
#include "flash/ident.h"
#include "flash/protect.h"
#include "flash_session.h"
#include "hostio/mailbox.h"
#include "hostio/sio.h"
#include "platform/platform.h"

namespace {

// Two chips take only 128 KB of a 256 KB image: 0x8987 its upper half,
// 0x8928 its lower half.
constexpr uint16_t kChipUpperHalf = 0x8987;
constexpr uint16_t kChipLowerHalf = 0x8928;
constexpr uint32_t kHalvedPageCount = 256;
constexpr uint64_t kHalvedImageLength = 0x40000;

constexpr uint8_t kStBlockEraser = 0x20;  // erases 64 KB where 4 KB is asked

constexpr uint8_t kRegChipIdHigh = 0x20;
constexpr uint8_t kRegChipIdLow = 0x21;

void ReadChipId()
{
    if (kFlavour.assign_cfg_port)
        CFG_PORT = 0x4E;
    const uint8_t high = LPC_Read_Byte(kRegChipIdHigh);
    const uint8_t low = LPC_Read_Byte(kRegChipIdLow);
    ChipID = static_cast<uint16_t>((high << 8) | low);
}

bool ChipTakesHalf()
{
    return (ChipID == kChipUpperHalf || ChipID == kChipLowerHalf) && gPageCount == kHalvedPageCount;
}

// What stops the update before the first erase, or null.
const char* Refusal()
{
    if (IsRegionUpdate() && SPIDeviceID[0] == kStBlockEraser)
        return "\n\rRegion update needs 4 KB erase; this flash erases 64 KB blocks!";
    // The halves are taken at fixed offsets: a shorter image has no upper
    // half to read.
    if (ChipTakesHalf() && gFileSize != kHalvedImageLength)
        return "\n\rImage for this chip must be 256K!";
    return nullptr;
}

void ShowStatusScreen()
{
    clrscr();
    vShowVersion();
    vShowDeviceID();
    vShowVendorID();
    vShowBlockNumber();
    gotoxy(1, 10);
}

}  // namespace

int IFU()
{
    const uint8_t closing = gReset != 0 ? ec::kCloseWithReset : ec::kClose;

    if (kFlavour.send_dd) {
        kline("Send EC Cmd 0xDD \n");
        send_EC_cmd(ec::kPrepareUpdate);
        delay(kFlavour.dd_pause);
    }
    OpenFlashMode(closing);

    kline("vReadSPIDeviceID start\n");
    vReadSPIDeviceID();
    kline("vReadSPIDeviceID end\n");
    kprint("\nBlockNum=%x,MaxBlockNum=%x", BlockNum, MaxBlockNum);

    ReadChipId();
    if (const char* refusal = Refusal()) {
        kline(refusal);
        CloseFlashMode(closing);
        return 1;
    }
    const bool halved = ChipTakesHalf();
    if (halved) {
        gFileSize >>= 1;
        MaxBlockNum >>= 1;
    }
    const uint8_t first_buffer_block = halved && ChipID == kChipUpperHalf ? 2 : 0;

    // The base is on a 64 KB boundary and the image fits below 16 MB (the
    // update mode refuses anything else), so no address byte wraps.
    const uint8_t base_high = static_cast<uint8_t>(gOffset >> 16);
    const uint8_t base_middle = static_cast<uint8_t>(gOffset >> 8);
    bool verified = true;
    while (BlockNum < MaxBlockNum) {
        const uint8_t high = static_cast<uint8_t>(base_high + BlockNum);
        BufferBlockNum = static_cast<uint8_t>(BlockNum + first_buffer_block);
        ShowStatusScreen();
        SPIUnlockAll();
        verified = UpdateBlock(high, base_middle, 0);
        ++BlockNum;
        // A failed block ends the work: the EC is told to leave flash mode
        // next, and nothing more may reach it in follow mode.
        if (!verified)
            break;
    }

    CloseFlashMode(closing);
    return verified ? 0 : 1;
}
