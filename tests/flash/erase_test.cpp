// Block and sector erase: units, addresses, the stop at the image end,
// marks and labels; and the two erase checks.
#include <gtest/gtest.h>

#include <cstdio>

#include "flash/erase.h"
#include "flash_fixture.h"
#include "hostio/mailbox.h"

namespace flash_test {
namespace {

using Lines = std::vector<std::string>;

class EraseTest : public FlashTest {};

// The erase commands of a trace: "20 010000".
Lines EraseCommands(const Lines& spi)
{
    Lines commands;
    for (const std::string& line : spi) {
        unsigned op = 0;
        unsigned address = 0;
        char rest = 0;
        if (sscanf(line.c_str(), "spi %x addr=%x%c", &op, &address, &rest) == 2 &&
            (op == 0x20 || op == 0xD7 || op == 0xD8)) {
            char text[16];
            snprintf(text, sizeof text, "%02x %06x", op, address);
            commands.push_back(text);
        }
    }
    return commands;
}

Lines Units(unsigned op, unsigned first, unsigned step, unsigned count)
{
    Lines units;
    for (unsigned i = 0; i < count; ++i) {
        char text[16];
        snprintf(text, sizeof text, "%02x %06x", op, first + i * step);
        units.push_back(text);
    }
    return units;
}

struct BlockEraseRow {
    const char* name;
    sim::Part part;
    size_t image;
    uint8_t block;
    Lines units;
    size_t marks;
    uint32_t erased_end;  // flash from the block start to here reads 0xFF
};

// The flash starts all 0x00 so that every byte an erase reaches shows.
TEST_F(EraseTest, BlockEraseUnitsAndImageEnd)
{
    const BlockEraseRow rows[] = {
        {"ITE 100 KB block 0", sim::Part::kIte, 100 * 1024, 0, Units(0xD7, 0x000000, 0x400, 64), 16, 0x10000},
        {"ITE 100 KB block 1", sim::Part::kIte, 100 * 1024, 1, Units(0xD7, 0x010000, 0x400, 36), 9, 0x19000},
        {"ITE-A 1000 bytes", sim::Part::kIteA, 1000, 0, Units(0xD7, 0, 0x400, 1), 1, 0x400},
        {"Winbond 32 KB", sim::Part::kWinbond, 0x8000, 0, Units(0x20, 0, 0x1000, 8), 8, 0x8000},
        {"Winbond 128 KB block 1", sim::Part::kWinbond, 0x20000, 1, Units(0x20, 0x10000, 0x1000, 16), 16, 0x20000},
        // The last block stops after the last sector that holds image bytes.
        {"Winbond 96 KB block 1", sim::Part::kWinbond, 0x18000, 1, Units(0x20, 0x10000, 0x1000, 8), 8, 0x18000},
        {"MXIC 10 KB", sim::Part::kMxic, 10 * 1024, 0, Units(0x20, 0, 0x1000, 3), 3, 0x3000},
        {"SST 4097 bytes", sim::Part::kSst, 4097, 0, Units(0x20, 0, 0x1000, 2), 2, 0x2000},
        {"unknown 64 KB", sim::Part::kUnknown, 0x10000, 0, Units(0x20, 0, 0x1000, 16), 16, 0x10000},
    };
    for (const BlockEraseRow& row : rows) {
        SCOPED_TRACE(row.name);
        BootPart(row.part, true, std::vector<uint8_t>(0x40000, 0x00));
        SetImage(row.image);
        flash::EraseBlock(part, uint32_t{row.block} << 16, Block(row.block).length);
        EXPECT_EQ(Join(EraseCommands(Spi())), Join(row.units));
        EXPECT_EQ(TakeConsole(), " Eraseing...      : " + Marks(row.marks) + " -- Erase OK. \n\n");
        const std::vector<uint8_t> flash = FlashContent();
        const uint32_t start = uint32_t{row.block} << 16;
        for (uint32_t a = 0; a < flash.size(); ++a) {
            const uint8_t want = a >= start && a < row.erased_end ? 0xFF : 0x00;
            if (flash[a] != want) {
                ADD_FAILURE() << "flash[" << std::hex << a << "] = " << int{flash[a]};
                break;
            }
        }
    }
}

// One unit: write enable, the erase command on its own, then the wait.
TEST_F(EraseTest, EachUnitIsItsOwnWriteEnableCommandAndWait)
{
    BootPart(sim::Part::kSst);
    flash::EraseBlock(part, 0, 0x1000);
    EXPECT_EQ(Join(Spi()), Join({"spi 05 r=1", "spi 06", "spi 50", "spi 05 r=1", "spi 20 addr=000000", "spi 05 r=1"}));
}

// ST parts erase with 0xD8 in place of 0x20, still at 4 KB steps.
TEST_F(EraseTest, StUsesD8At4KSteps)
{
    BootPart(sim::Part::kSt, true, std::vector<uint8_t>(0x20000, 0x00));
    flash::EraseBlock(part, 0, 0x10000);
    EXPECT_EQ(Join(EraseCommands(Spi())), Join(Units(0xD8, 0, 0x1000, 16)));
    const std::vector<uint8_t> flash = FlashContent();
    EXPECT_EQ(flash[0xFFFF], 0xFF);
    EXPECT_EQ(flash[0x10000], 0x00);

    flash::EraseSectors(part, 0x11000, 2, flash::Marks::kPer4K);
    EXPECT_EQ(Join(EraseCommands(Spi())), Join(Units(0xD8, 0x11000, 0x1000, 2)));
}

struct SectorEraseRow {
    const char* name;
    sim::Part part;
    uint8_t high, middle, count;
    uint8_t bbk, test;
    Lines units;
    size_t marks;
    uint64_t pause_us;
};

TEST_F(EraseTest, SectorEraseAddressesAndMarks)
{
    const SectorEraseRow rows[] = {
        // Step 14 crosses into the next 64 KB: middle 0x00, high + 1.
        {"main-code region", sim::Part::kWinbond, 0, 0x10, 15, 0, 0, Units(0x20, 0x001000, 0x1000, 15), 15, 0},
        {"middle 0x20", sim::Part::kWinbond, 0, 0x20, 15, 0, 0, Units(0x20, 0x002000, 0x1000, 15), 15, 0},
        {"backup-code region", sim::Part::kMxic, 1, 0x10, 15, 0, 0, Units(0x20, 0x011000, 0x1000, 15), 15, 0},
        {"boot block", sim::Part::kIte, 0, 0, 1, 1, 0, Units(0x20, 0, 0x1000, 1), 16, 16 * 50'000},
        {"test mode", sim::Part::kSst, 0, 0, 1, 0, 1, Units(0x20, 0, 0x1000, 1), 16, 16 * 50'000},
        {"two sectors in test mode", sim::Part::kWinbond, 0, 0, 2, 0, 1, Units(0x20, 0, 0x1000, 2), 32,
         32 * 50'000},
    };
    for (const SectorEraseRow& row : rows) {
        SCOPED_TRACE(row.name);
        BootPart(row.part, true, std::vector<uint8_t>(0x40000, 0x00));
        const flash::Marks marks = row.bbk || row.test ? flash::Marks::kPer256 : flash::Marks::kPer4K;
        const uint64_t paused = board.stats().pause_us;
        flash::EraseSectors(part, (uint32_t{row.high} << 16) | (uint32_t{row.middle} << 8), row.count, marks);
        EXPECT_EQ(Join(EraseCommands(Spi())), Join(row.units));
        EXPECT_EQ(TakeConsole(), " Eraseing...      : " + Marks(row.marks) + " -- Erase OK. \n\n");
        EXPECT_EQ(board.stats().pause_us - paused, row.pause_us);
        const std::vector<uint8_t> flash = FlashContent();
        const uint32_t start = (uint32_t{row.high} << 16) | (uint32_t{row.middle} << 8);
        const uint32_t end = start + row.count * 0x1000u;
        EXPECT_EQ(flash[start - (start ? 1 : 0)], start ? 0x00 : 0xFF);
        EXPECT_EQ(flash[start], 0xFF);
        EXPECT_EQ(flash[end - 1], 0xFF);
        EXPECT_EQ(flash[end], 0x00);
    }
}

// The test mode erases without identifying the part: id 0 takes 0x20,
// which an M25P does not have.
TEST_F(EraseTest, UnidentifiedPartTakesSectorErase)
{
    config.flash = sim::Part::kSt;
    Boot();
    hostio::SendEcCommand(0xDC);
    hostio::ReadEcData();
    TakeTrace();
    flash::EraseSectors(flash::UnidentifiedPart(), 0, 1, flash::Marks::kPer256);
    EXPECT_EQ(CountPrefix(Spi(), "spi 20 addr=000000 ignored unsupported"), 1u);
    EXPECT_EQ(TakeConsole(), " Eraseing...      : " + Marks(16) + " -- Erase OK. \n\n");
}

TEST_F(EraseTest, BlockCheckReadsToTheImageEnd)
{
    struct Row {
        size_t image;
        uint8_t block;
        const char* read;
        size_t marks;
    } const rows[] = {
        {0x20000, 0, "spi 0b addr=000000 w=1 r=65536", 16},
        {0x18000, 1, "spi 0b addr=010000 w=1 r=32768", 8},
        {10 * 1024, 0, "spi 0b addr=000000 w=1 r=10240", 3},
        {0x10001, 1, "spi 0b addr=010000 w=1 r=1", 1},
        {0x1000, 0, "spi 0b addr=000000 w=1 r=4096", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.read);
        BootPart(sim::Part::kWinbond);
        SetImage(row.image);
        EXPECT_TRUE(flash::CheckBlockErased(uint32_t{row.block} << 16, Block(row.block).length, {0, 0}));
        EXPECT_EQ(Join(Spi()), Join({"spi 05 r=1", "spi 04", "spi 05 r=1", "spi 05 r=1", row.read, "spi 05 r=1"}));
        EXPECT_EQ(TakeConsole(), " Erase Verify...  : " + Marks(row.marks) + " -- Verify OK. \n\n");
    }
}

// The block check prints where the last page-programming run stopped, not
// the position.
TEST_F(EraseTest, BlockCheckFailurePrintsThePageCounters)
{
    std::vector<uint8_t> before(0x40000, 0xFF);
    before[0x1234] = 0x7F;
    BootPart(sim::Part::kWinbond, true, before);
    EXPECT_FALSE(flash::CheckBlockErased(0, 0x10000, {0x5, 0x1A}));
    EXPECT_EQ(TakeConsole(), " Erase Verify...  : ## -- Verify Fail. counter2=5 counter=1a\n");
    const Lines spi = Spi();
    ASSERT_GE(spi.size(), 2u);
    EXPECT_EQ(spi[spi.size() - 2], "spi 0b addr=000000 w=1 r=4661");
    EXPECT_EQ(spi.back(), "spi 05 r=1");
}

TEST_F(EraseTest, RegionCheckFailurePrintsThePosition)
{
    std::vector<uint8_t> before(0x40000, 0xFF);
    before[0x1000 + 0x1234] = 0x7F;
    BootPart(sim::Part::kMxic, true, before);
    EXPECT_FALSE(flash::CheckRegionErased(0x1000, 60 * 1024, flash::Marks::kPer4K));
    EXPECT_EQ(TakeConsole(), " Erase Verify...  : ## -- Verify Fail. counterN=1234\n");
    const Lines spi = Spi();
    ASSERT_GE(spi.size(), 2u);
    EXPECT_EQ(spi[spi.size() - 2], "spi 0b addr=001000 w=1 r=4661");
}

TEST_F(EraseTest, RegionCheckMarks)
{
    struct Row {
        uint8_t bbk;
        size_t image;
        uint8_t high, middle;
        const char* read;
        size_t marks;
    } const rows[] = {
        {1, 0x1000, 0, 0x00, "spi 0b addr=000000 w=1 r=4096", 16},
        {0, 0xF000, 0, 0x10, "spi 0b addr=001000 w=1 r=61440", 15},
        {0, 0xF000, 1, 0x10, "spi 0b addr=011000 w=1 r=61440", 15},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.read);
        BootPart(sim::Part::kEon);
        const flash::Marks marks = row.bbk ? flash::Marks::kPer256 : flash::Marks::kPer4K;
        EXPECT_TRUE(flash::CheckRegionErased((uint32_t{row.high} << 16) | (uint32_t{row.middle} << 8),
                                             static_cast<uint32_t>(row.image), marks));
        const Lines spi = Spi();
        EXPECT_EQ(CountPrefix(spi, row.read), 1u) << Join(spi);
        EXPECT_EQ(TakeConsole(), " Erase Verify...  : " + Marks(row.marks) + " -- Verify OK. \n\n");
    }
}

}  // namespace
}  // namespace flash_test
