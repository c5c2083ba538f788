#include "banner.h"
#include "common/flavour.h"
#include "common/image_state.h"
#include "common/print.h"
#include "common/runstate.h"
#include "hostio/sio.h"
#include "modes.h"
#include "platform/platform.h"
#include "version_readouts.h"

namespace {

constexpr uint16_t kNoChip = 0xFFFF;
// An image fills at most the flash's 16 MB address space; a larger length
// (a directory reports one) is no image and is not worth allocating.
constexpr uint64_t kLargestImage = 0x1000000;

enum class Load { kOk, kOpenFail, kReadFail };

// The whole version file into gUSBReadBuffer. A file whose length cannot be
// found, that cannot be held, or that reads short counts as unreadable.
Load LoadVersionFile(VersionFile* out)
{
    platform::File* file = platform::FileOpen(gFileName);
    if (file == nullptr)
        return Load::kOpenFail;
    kprint("\n\rfopen file %s ", gFileName);

    uint64_t length = 0;
    Load result = Load::kReadFail;
    if (platform::FileLength(file, &length) && length <= kLargestImage) {
        const size_t size = static_cast<size_t>(length);
        gUSBReadBuffer = platform::BufferAlloc(size);
        if (gUSBReadBuffer != nullptr && platform::FileRead(file, gUSBReadBuffer, size) == size) {
            out->loaded = true;
            out->length = length;
            result = Load::kOk;
        }
    }
    platform::FileClose(file);
    return result;
}

}  // namespace

int RunVersionQuery()
{
    vShowVersion();

    const uint16_t chip = find_ite_chip();
    if (kFlavour.show_chip_id)
        kprint("\n\rfind_ite_chip=%x\n", chip);
    if (chip == kNoChip) {
        kputs("\n\rNot ITE Chip\n\r");
        return 1;
    }

    VersionFile file{false, 0};
    if (FileVer_flag) {
        switch (LoadVersionFile(&file)) {
        case Load::kOk:
            break;
        case Load::kOpenFail:
            kputs("\n\rFile Open Fail!");
            return 1;
        case Load::kReadFail:
            kline("\n\rFile Read Fail!");
            return 1;
        }
    }

    if (BRAM_flag)
        return BramReadout(file);
    if (Varnel_flag)
        return VarnelReadout();
    return PlainReadout();
}
