#include "common/image_state.h"
#include "common/print.h"
#include "common/runstate.h"
#include "image_checks.h"
#include "modes.h"
#include "platform/platform.h"
#include "project_check.h"
#include "update.h"

namespace {

// The image file and its buffer, released on every way out of the mode.
struct OpenImage {
    platform::File* file = nullptr;

    ~OpenImage()
    {
        if (gUSBReadBuffer != nullptr)
            platform::BufferFree(gUSBReadBuffer);
        gUSBReadBuffer = nullptr;
        if (file != nullptr)
            platform::FileClose(file);
    }
};

// The whole file into gUSBReadBuffer; false when it cannot be held or read.
bool ReadImage(platform::File* file, uint64_t length)
{
    if (length > SIZE_MAX)
        return false;
    gUSBReadBuffer = platform::BufferAlloc(static_cast<size_t>(length));
    if (gUSBReadBuffer == nullptr)
        return false;
    size_t done = 0;
    while (done < length) {
        const size_t got = platform::FileRead(file, gUSBReadBuffer + done, static_cast<size_t>(length) - done);
        if (got == 0)
            return false;
        done += got;
    }
    return true;
}

}  // namespace

int RunUpdateMode()
{
    OpenImage image;
    image.file = platform::FileOpen(gFileName);
    if (image.file == nullptr) {
        kputs("\n\rFile Open Fail!");
        return 1;
    }
    if (gProjectCheck == 1 && !CheckProjectName(image.file))
        return 1;

    // A length past what the page count can say is no image file (a
    // directory reports one): it could never be read whole.
    uint64_t length = 0;
    if (!platform::FileLength(image.file, &length) || length / 1024 >= UINT32_MAX) {
        kline("\n\rFile Read Fail!");
        return 1;
    }
    SetImageGeometry(length);

    kprint("\n\rFile Size: %dK\n", static_cast<int>(gPageCount));
    if (FileSize != 0 && static_cast<int64_t>(FileSize) != static_cast<int64_t>(gPageCount)) {
        kline("\n\rParamter NOT Match with File Size, Please try again!\n");
        return 1;
    }
    kprint("\n\rBlockNum: %d,  MaxBlock: %d,   PageCount: %d\n", BlockNum, static_cast<int>(MaxBlockNum),
           static_cast<int>(gPageCount));

    if (!ReadImage(image.file, length)) {
        kline("\n\rFile Read Fail!");
        return 1;
    }
    if (const char* broken = BrokenRegionRule()) {
        kputs(broken);
        return 1;
    }
    if (const char* refusal = PlacementRefusal()) {
        kline(refusal);
        return 1;
    }
    return IFU();
}
