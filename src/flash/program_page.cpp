// Page programming (0x02): 256-byte pages, or pages sent as eight 32-byte
// bursts for parts that take no more per command. Every routine stops at
// the image end, wherever in the run it falls.
#include "common/flavour.h"
#include "common/image_state.h"
#include "common/print.h"
#include "common/runstate.h"
#include "engine.h"
#include "follow.h"
#include "program.h"

namespace {

constexpr uint32_t kPageBytes = 256;
constexpr uint32_t kBurstBytes = 32;
constexpr uint32_t kPagesPerBlock = 256;

struct PageRun {
    const char* label;
    uint32_t pages;
    uint32_t burst_bytes;  // kPageBytes: one command per page
    bool mark_every_page;
};

// One page-program command of up to `bytes` image bytes from block position
// `position`; the transaction stays open for the next wait to end.
void ProgramChunk(uint32_t start, uint32_t position, uint32_t bytes)
{
    vSPIWriteEnable();
    engine::Command(spi::kPageProgram, start + position);
    for (counter = 0; counter < bytes; ++counter) {
        if (engine::ImageProgrammed())
            break;
        vSendSPIByte(engine::ImageByte(position + counter));
        ++gFileProcessCount;
    }
}

void ProgramPages(uint8_t high, uint8_t middle, uint8_t low, const PageRun& run)
{
    kputs(run.label);
    const uint32_t start = engine::Linear(high, middle, low);
    for (counter2 = 0; counter2 < run.pages; ++counter2) {
        if (engine::ImageProgrammed())
            break;
        for (uint32_t offset = 0; offset < kPageBytes; offset += run.burst_bytes) {
            if (engine::ImageProgrammed())
                break;
            ProgramChunk(start, counter2 * kPageBytes + offset, run.burst_bytes);
        }
        vWaitSPIFree();
        if (run.mark_every_page || counter2 % 16 == 0)
            engine::Mark();
    }
    vSPIWriteDisable();
    kline(" -- Programing OK. \n");
}

}  // namespace

void ByteProgram64KByte(uint8_t high, uint8_t middle, uint8_t low)
{
    ProgramPages(high, middle, low, {kFlavour.program_label_narrow, kPagesPerBlock, kPageBytes, false});
}

void ByteProgram(uint8_t high, uint8_t middle, uint8_t low, uint8_t pages)
{
    ProgramPages(high, middle, low, {kFlavour.program_label_narrow, pages, kPageBytes, BBK_flag == 1});
}

void ByteProgram64KByte_PP32(uint8_t high, uint8_t middle, uint8_t low)
{
    ProgramPages(high, middle, low, {kFlavour.program_label_wide, kPagesPerBlock, kBurstBytes, false});
}

void ByteProgram_PP32(uint8_t high, uint8_t middle, uint8_t low, uint8_t pages)
{
    ProgramPages(high, middle, low, {kFlavour.program_label_narrow, pages, kBurstBytes, false});
}
