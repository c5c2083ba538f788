// Page programming (0x02). Every run stops at the image end, wherever in the
// block it falls.
#include "channel.h"
#include "common/print.h"
#include "common/program.h"
#include "phase.h"
#include "program.h"
#include "status.h"

namespace flash {

namespace {

constexpr uint32_t kBurstBytes = 32;

struct PageRun {
    const char* label;
    uint32_t pages;
    uint32_t command_bytes;  // kPageBytes: one command per page
    bool mark_every_page;
};

// Each command ends with its transaction left open: the next wait ends it.
PageCounters Program(const FlashPart& part, uint32_t address, const BlockImage& image, const PageRun& run)
{
    const PhaseScope phase(Phase::kProgram);
    PrintText(run.label);
    PageCounters at{0, 0};
    uint32_t sent = 0;
    uint32_t page = 0;
    for (; page < run.pages && sent < image.length; ++page) {
        for (uint32_t offset = 0; offset < kPageBytes && sent < image.length; offset += run.command_bytes) {
            EnableWrite(part);
            SendCommand(kOpPageProgram, address + page * kPageBytes + offset);
            uint32_t byte = 0;
            for (; byte < run.command_bytes && sent < image.length; ++byte, ++sent)
                SendFlashByte(image.bytes[page * kPageBytes + offset + byte]);
            at.byte = static_cast<uint16_t>(byte);
        }
        WaitIdle();
        if (run.mark_every_page || page % 16 == 0)
            PrintText(kProgram.mark);
    }
    at.page = static_cast<uint16_t>(page);
    DisableWrite();
    PrintLine(" -- Programing OK. \n");
    return at;
}

}  // namespace

PageCounters ProgramPages(const FlashPart& part, uint32_t address, const BlockImage& image, uint32_t pages,
                          Marks marks)
{
    return Program(part, address, image,
                   {kProgram.program_label_narrow, pages, kPageBytes, marks == Marks::kPer256});
}

// A whole block's run has always shown the wide label, a region's the narrow.
PageCounters ProgramBursts(const FlashPart& part, uint32_t address, const BlockImage& image, uint32_t pages)
{
    const char* label = pages == kPagesPerBlock ? kProgram.program_label_wide : kProgram.program_label_narrow;
    return Program(part, address, image, {label, pages, kBurstBytes, false});
}

}  // namespace flash
