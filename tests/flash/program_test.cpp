// The six programming routines: commands and addresses, the stop at the
// image end, marks and labels, and what the flash holds afterwards.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "flash/program.h"
#include "flash_fixture.h"

namespace flash_test {
namespace {

using Lines = std::vector<std::string>;
using flash::BlockImage;
using flash::FlashPart;
using flash::Programming;

class ProgramTest : public FlashTest {
protected:
    // Flash [from, to) equals image [image_from, ...), and everything
    // outside it is still erased.
    void ExpectFlash(uint32_t from, uint32_t to, size_t image_from)
    {
        const std::vector<uint8_t> flash = FlashContent();
        for (uint32_t a = 0; a < flash.size(); ++a) {
            const bool inside = a >= from && a < to;
            const uint8_t want = inside ? image[image_from + (a - from)] : 0xFF;
            if (flash[a] != want) {
                ADD_FAILURE() << "flash[" << std::hex << a << "] = " << int{flash[a]} << ", want " << int{want};
                return;
            }
        }
    }
};

// The page-program commands of a trace: "000100 256".
Lines PagePrograms(const Lines& spi)
{
    Lines pages;
    for (const std::string& line : spi) {
        unsigned address = 0;
        unsigned count = 0;
        if (sscanf(line.c_str(), "spi 02 addr=%x w=%u", &address, &count) == 2) {
            char text[24];
            snprintf(text, sizeof text, "%06x %u", address, count);
            pages.push_back(text);
        }
    }
    return pages;
}

Lines Chunks(unsigned first, unsigned step, unsigned count, unsigned bytes)
{
    Lines chunks;
    for (unsigned i = 0; i < count; ++i) {
        char text[24];
        snprintf(text, sizeof text, "%06x %u", first + i * step, bytes);
        chunks.push_back(text);
    }
    return chunks;
}

Lines Plus(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::string kNarrow = " Programing...    : ";
const std::string kWide = "  Programing...    : ";
const std::string kOk = " -- Programing OK. \n\n";

struct PageRow {
    const char* name;
    sim::Part part;
    size_t image;
    uint8_t block;
    uint8_t high, middle;
    uint8_t bbk;
    std::function<void(const FlashPart&, uint32_t, const BlockImage&, flash::Marks)> run;
    Lines chunks;
    std::string label;
    size_t marks;
    uint64_t processed;  // image bytes written up to the end of this block
};

TEST_F(ProgramTest, PageRoutines)
{
    const auto pages = [](uint32_t count) {
        return [count](const FlashPart& p, uint32_t address, const BlockImage& image, flash::Marks marks) {
            flash::ProgramPages(p, address, image, count, marks);
        };
    };
    const auto bursts = [](uint32_t count) {
        return [count](const FlashPart& p, uint32_t address, const BlockImage& image, flash::Marks) {
            flash::ProgramBursts(p, address, image, count);
        };
    };
    const auto whole = pages(256);
    const auto whole32 = bursts(256);
    const auto pages16 = pages(16);
    const auto pages240 = pages(240);
    const auto bursts16 = bursts(16);
    const auto bursts240 = bursts(240);
    const PageRow rows[] = {
        {"whole block", sim::Part::kWinbond, 0x20000, 0, 0, 0, 0, whole, Chunks(0, 0x100, 256, 256), kNarrow, 16,
         0x10000},
        // Block 1 of a 96 KB image: 128 pages, then the image has ended.
        {"96 KB block 1", sim::Part::kMxic, 0x18000, 1, 1, 0, 0, whole, Chunks(0x10000, 0x100, 128, 256), kNarrow, 8,
         0x18000},
        // The last page carries only what is left; no page follows it.
        {"1000 bytes", sim::Part::kGigaDevice, 1000, 0, 0, 0, 0, whole,
         Plus(Chunks(0, 0x100, 3, 256), {"000300 232"}), kNarrow, 1, 1000},
        {"whole block in bursts", sim::Part::kMxicPp32, 0x10000, 0, 0, 0, 0, whole32, Chunks(0, 0x20, 2048, 32),
         kWide, 16, 0x10000},
        {"1000 bytes in bursts", sim::Part::kMxicPp32, 1000, 0, 0, 0, 0, whole32,
         Plus(Chunks(0, 0x20, 31, 32), {"0003e0 8"}), kWide, 1, 1000},
        {"boot block", sim::Part::kSt, 0x1000, 0, 0, 0, 1, pages16, Chunks(0, 0x100, 16, 256), kNarrow, 16, 0x1000},
        {"main-code region", sim::Part::kAtmel, 0xF000, 0, 0, 0x10, 0, pages240, Chunks(0x1000, 0x100, 240, 256),
         kNarrow, 15, 0xF000},
        {"backup-code region", sim::Part::kSpansion, 0xF000, 0, 1, 0x10, 0, pages240,
         Chunks(0x11000, 0x100, 240, 256), kNarrow, 15, 0xF000},
        {"boot block in bursts", sim::Part::kMxicPp32, 0x1000, 0, 0, 0, 1, bursts16, Chunks(0, 0x20, 128, 32),
         kNarrow, 1, 0x1000},
        {"main-code region in bursts", sim::Part::kMxicPp32, 0xF000, 0, 0, 0x10, 0, bursts240,
         Chunks(0x1000, 0x20, 1920, 32), kNarrow, 15, 0xF000},
    };
    for (const PageRow& row : rows) {
        SCOPED_TRACE(row.name);
        BootPart(row.part);
        SetImage(row.image);
        const uint32_t address = (uint32_t{row.high} << 16) | (uint32_t{row.middle} << 8);
        row.run(part, address, Block(row.block), row.bbk ? flash::Marks::kPer256 : flash::Marks::kPer4K);
        const Lines spi = Spi();
        EXPECT_EQ(Join(PagePrograms(spi)), Join(row.chunks));
        EXPECT_EQ(TakeConsole(), row.label + Marks(row.marks) + kOk);
        const uint32_t start = (uint32_t{row.high} << 16) | (uint32_t{row.middle} << 8);
        const size_t image_from = size_t{row.block} << 16;
        ExpectFlash(start, start + static_cast<uint32_t>(row.processed - image_from), image_from);
        // The run closes with the write disable.
        ASSERT_GE(spi.size(), 3u);
        EXPECT_EQ(Join(Lines(spi.end() - 3, spi.end())), Join({"spi 05 r=1", "spi 04", "spi 05 r=1"}));
    }
}

// A page: write enable, the page on its own command, the wait ending it.
// A burst: write enable, the burst; the next write enable's wait ends it.
TEST_F(ProgramTest, PageAndBurstTransactions)
{
    BootPart(sim::Part::kMxic);
    SetImage(0x180);
    flash::ProgramPages(part, 0, Block(), 256, flash::Marks::kPer4K);
    const Lines wren = {"spi 05 r=1", "spi 06", "spi 05 r=1"};
    Lines want = Plus(wren, {"spi 02 addr=000000 w=256", "spi 05 r=1"});
    want = Plus(want, Plus(wren, {"spi 02 addr=000100 w=128", "spi 05 r=1"}));
    want = Plus(want, {"spi 05 r=1", "spi 04", "spi 05 r=1"});
    EXPECT_EQ(Join(Spi()), Join(want));

    BootPart(sim::Part::kMxicPp32);
    SetImage(0x50);
    flash::ProgramBursts(part, 0, Block(), 256);
    want = Plus(wren, {"spi 02 addr=000000 w=32"});
    want = Plus(want, Plus(wren, {"spi 02 addr=000020 w=32"}));
    want = Plus(want, Plus(wren, {"spi 02 addr=000040 w=16", "spi 05 r=1"}));
    want = Plus(want, {"spi 05 r=1", "spi 04", "spi 05 r=1"});
    EXPECT_EQ(Join(Spi()), Join(want));
}

// A run reports where it stopped: the page, and the byte within its last
// command.
TEST_F(ProgramTest, RunsReportWhereTheyStopped)
{
    struct Row {
        sim::Part part;
        size_t image;
        uint32_t pages;
        uint16_t page, byte;
    } const rows[] = {
        {sim::Part::kWinbond, 1000, 256, 4, 232},
        {sim::Part::kWinbond, 0x20000, 256, 256, 256},
        {sim::Part::kMxicPp32, 0x1000, 16, 16, 32},
    };
    for (const Row& row : rows) {
        BootPart(row.part);
        SetImage(row.image);
        const flash::PageCounters at = row.part == sim::Part::kMxicPp32
                                           ? flash::ProgramBursts(part, 0, Block(), row.pages)
                                           : flash::ProgramPages(part, 0, Block(), row.pages, flash::Marks::kPer4K);
        EXPECT_EQ(at.page, row.page);
        EXPECT_EQ(at.byte, row.byte);
    }
}

// Under the chip rule a flash block is fed from another image block.
TEST_F(ProgramTest, ImageBlockFeedsTheFlashBlock)
{
    BootPart(sim::Part::kWinbond);
    SetImage(0x40000);
    flash::ProgramPages(part, 0, Block(0, 2), 256, flash::Marks::kPer4K);
    ExpectFlash(0, 0x10000, 0x20000);
}

TEST_F(ProgramTest, AaiByteProgram)
{
    BootPart(sim::Part::kSstOld);
    ASSERT_EQ(part.HowToProgram(), Programming::kAaiBytes);
    SetImage(0x1000);
    flash::ProgramAaiBytes(part, 0, Block());
    const Lines spi = Spi();
    // 4096 commands with a data byte, the first with the address, and a last
    // one without data, which the part ignores, before the write disable.
    EXPECT_EQ(CountPrefix(spi, "spi af addr=000000 w=1"), 1u);
    size_t with_data = 0;
    size_t without = 0;
    for (const std::string& line : spi) {
        with_data += line == "spi af w=1" ? 1 : 0;
        without += line == "spi af ignored length" ? 1 : 0;
    }
    EXPECT_EQ(with_data, 4095u);
    EXPECT_EQ(without, 1u);
    ASSERT_GE(spi.size(), 6u);
    EXPECT_EQ(Join(Lines(spi.end() - 6, spi.end())),
              Join({"spi 05 r=1", "spi af ignored length", "spi 05 r=1", "spi 04", "spi 05 r=1", "spi 05 r=1"}));
    EXPECT_EQ(Join(Lines(spi.begin(), spi.begin() + 6)),
              Join({"spi 05 r=1", "spi 06", "spi 50", "spi 05 r=1", "spi af addr=000000 w=1", "spi 05 r=1"}));
    EXPECT_EQ(TakeConsole(), kWide + Marks(1) + kOk);
    ExpectFlash(0, 0x1000, 0);
}

TEST_F(ProgramTest, AaiWordProgram)
{
    BootPart(sim::Part::kSst);
    ASSERT_EQ(part.HowToProgram(), Programming::kAaiWords);
    SetImage(0x18000);
    flash::ProgramAaiWords(part, 0x10000, Block(1));
    const Lines spi = Spi();
    EXPECT_EQ(CountPrefix(spi, "spi ad addr=010000 w=2"), 1u);
    EXPECT_EQ(CountPrefix(spi, "spi ad w=2"), 0x4000u - 1);
    EXPECT_EQ(CountPrefix(spi, "spi ad"), 0x4000u + 1);
    EXPECT_EQ(TakeConsole(), kNarrow + Marks(8) + kOk);
    ExpectFlash(0x10000, 0x18000, 0x10000);
}

// An odd-length image: the last byte goes with 0xFF, and the byte after the
// image in the buffer (0x00 here) is never read.
TEST_F(ProgramTest, AaiWordProgramOfAnOddImage)
{
    for (sim::Part kind : {sim::Part::kSst, sim::Part::kIte}) {
        SCOPED_TRACE(static_cast<int>(kind));
        BootPart(kind);
        SetImage(0x1001, 1);
        flash::ProgramAaiWords(part, 0, Block());
        const Lines spi = Spi();
        EXPECT_EQ(CountPrefix(spi, "spi ad w=2"), 0x800u);
        EXPECT_EQ(TakeConsole(), kNarrow + Marks(2) + kOk);
        ExpectFlash(0, 0x1001, 0);
        EXPECT_EQ(FlashContent()[0x1001], 0xFF);
    }
}

TEST_F(ProgramTest, AaiOnIteParts)
{
    BootPart(sim::Part::kIteA);
    SetImage(0x10000);
    flash::ProgramAaiBytes(part, 0, Block());
    EXPECT_EQ(TakeConsole(), kWide + Marks(16) + kOk);
    ExpectFlash(0, 0x10000, 0);

    BootPart(sim::Part::kIte);
    SetImage(0x1000);
    flash::ProgramAaiWords(part, 0, Block());
    EXPECT_EQ(TakeConsole(), kNarrow + Marks(1) + kOk);
    ExpectFlash(0, 0x1000, 0);
}

// A block with no image bytes writes nothing but still closes.
TEST_F(ProgramTest, NothingLeftToProgram)
{
    BootPart(sim::Part::kSst);
    SetImage(0x100);
    const BlockImage nothing{image.data(), 0, 0};
    flash::ProgramAaiWords(part, 0, nothing);
    EXPECT_EQ(TakeConsole(), kNarrow + kOk);
    EXPECT_EQ(Join(Spi()), Join({"spi 05 r=1", "spi 06", "spi 50", "spi 05 r=1", "spi ad addr=000000 ignored length",
                                 "spi 05 r=1", "spi 04", "spi 05 r=1", "spi 05 r=1"}));
    ExpectFlash(0, 0, 0);

    BootPart(sim::Part::kWinbond);
    flash::ProgramPages(part, 0, nothing, 16, flash::Marks::kPer4K);
    EXPECT_EQ(TakeConsole(), kNarrow + kOk);
    EXPECT_EQ(Join(Spi()), Join({"spi 05 r=1", "spi 04", "spi 05 r=1"}));
}

}  // namespace
}  // namespace flash_test
