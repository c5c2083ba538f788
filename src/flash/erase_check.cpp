// The erase checks: one fast read over the erased area, which must read
// 0xFF up to the block's end or the image's end.
#include "common/flavour.h"
#include "common/print.h"
#include "common/runstate.h"
#include "engine.h"
#include "erase.h"
#include "follow.h"
#include "program.h"

namespace {

constexpr uint32_t kBlockBytes = 0x10000;
constexpr uint8_t kErased = 0xFF;

enum class Marks { kEvery4K, kEvery256WithBootBlock };

// counterN is left at the first byte that is not erased, or where the
// check stopped.
bool ReadsErased(uint32_t start, Marks marks)
{
    vSPIWriteDisable();
    vWaitSPIFree();
    engine::OpenFastRead(start);
    kputs(kFlavour.erase_verify_label);
    const uint32_t mark_every = marks == Marks::kEvery256WithBootBlock && BBK_flag == 1 ? 0x100 : 0x1000;
    for (counterN = 0; counterN < kBlockBytes; ++counterN) {
        if (engine::PastImage(counterN))
            break;
        if (BReadByteFromSPI() != kErased)
            return false;
        if (counterN % mark_every == 0)
            engine::Mark();
    }
    return true;
}

uint8_t Passed()
{
    vWaitSPIFree();
    kline(" -- Verify OK. \n");
    return 1;
}

}  // namespace

uint8_t vSPIVerifyErase64KByte(uint8_t high, uint8_t middle, uint8_t low)
{
    if (ReadsErased(engine::Linear(high, middle, low), Marks::kEvery4K))
        return Passed();
    vWaitSPIFree();
    // The page counters of the last programming run, as they stand.
    kprint(" -- Verify Fail. counter2=%x counter=%x\n", counter2, counter);
    return 0;
}

uint8_t vSPIVerifyErase(uint8_t high, uint8_t middle, uint8_t low)
{
    if (ReadsErased(engine::Linear(high, middle, low), Marks::kEvery256WithBootBlock))
        return Passed();
    vWaitSPIFree();
    kprint(" -- Verify Fail. counterN=%x\n", static_cast<unsigned>(counterN));
    return 0;
}
