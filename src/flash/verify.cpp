// The verify: one fast read over the block, compared with the image up to
// the block's end or the image's end.
#include "common/flavour.h"
#include "common/print.h"
#include "common/runstate.h"
#include "engine.h"
#include "follow.h"
#include "program.h"

namespace {

constexpr uint32_t kBlockBytes = 0x10000;

}  // namespace

uint8_t vSPIVerify64KByte(uint8_t high, uint8_t middle, uint8_t low)
{
    vSPIWriteDisable();
    vWaitSPIFree();
    engine::OpenFastRead(engine::Linear(high, middle, low));
    kputs(kFlavour.verify_label);
    const uint32_t mark_every = BBK_flag == 1 ? 0x100 : 0x1000;
    for (counterN = 0; counterN < kBlockBytes; ++counterN) {
        if (engine::PastImage(counterN))
            break;
        const uint8_t expected = engine::ImageByte(counterN);
        if (BReadByteFromSPI() != expected) {
            // The image offset and the byte the image holds there.
            kprint("[%x]=%x", static_cast<unsigned>(engine::ImageOffset(counterN)), expected);
            vWaitSPIFree();
            kline(" -- Verify Fail. ");
            return 0;
        }
        if (counterN % mark_every == 0)
            engine::Mark();
    }
    vWaitSPIFree();
    kline(" -- Verify OK. ");
    return 1;
}
