// Clearing and setting block protection, per vendor: the transactions, the
// settle pauses and what the status register holds afterwards.
#include <gtest/gtest.h>

#include "flash/erase.h"
#include "flash/protect.h"
#include "flash_fixture.h"

namespace flash_test {
namespace {

using Lines = std::vector<std::string>;

class ProtectTest : public FlashTest {};

TEST_F(ProtectTest, UnlockSequences)
{
    const Lines sst = {"spi 05 r=1", "spi 06", "spi 05 r=1", "spi 50", "spi 01 w=1", "spi 05 r=1"};
    const Lines plain = {"spi 05 r=1", "spi 06", "spi 05 r=1", "spi 01 w=1", "spi 05 r=1"};
    const struct {
        sim::Part part;
        const Lines& spi;
    } rows[] = {
        {sim::Part::kSst, sst},    {sim::Part::kSstOld, sst}, {sim::Part::kWinbond, plain},
        {sim::Part::kMxic, plain}, {sim::Part::kIte, plain},  {sim::Part::kSt, plain},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.part));
        BootPart(row.part);
        flash::UnlockAll(part);
        EXPECT_EQ(Join(Spi()), Join(row.spi));
        EXPECT_EQ(TakeConsole(), "");
        EXPECT_EQ(board.stats().pause_us, 0u);
    }
}

// With every block-protect bit set the part ignores the erase until the
// unlock has cleared the status register.
TEST_F(ProtectTest, UnlockLetsAProtectedPartErase)
{
    for (sim::Part kind : {sim::Part::kWinbond, sim::Part::kSst, sim::Part::kMxic}) {
        SCOPED_TRACE(static_cast<int>(kind));
        config.flash_status = 0x1C;
        BootPart(kind, true, std::vector<uint8_t>(0x2000, 0x00));
        flash::EraseBlock(part, 0, 0x1000);
        EXPECT_EQ(FlashContent()[0x0FFF], 0x00);
        flash::UnlockAll(part);
        flash::EraseBlock(part, 0, 0x1000);
        const std::vector<uint8_t> flash = FlashContent();
        EXPECT_EQ(flash[0x0000], 0xFF);
        EXPECT_EQ(flash[0x0FFF], 0xFF);
        EXPECT_EQ(flash[0x1000], 0x00);
    }
}

struct ProtectRow {
    sim::Part part;
    Lines spi;
    uint64_t pause_us;  // 500 ms at each settle point
};

// The enable that makes the write last comes right before it: 0x50 on SST,
// 0x06 elsewhere (after 0x50 a W25Q would keep the value only until
// power-off).
TEST_F(ProtectTest, ProtectSequences)
{
    const Lines others = {"spi 05 r=1", "spi 06", "spi 05 r=1", "spi 05 r=1", "spi 05 r=1",
                          "spi 06",     "spi 01 w=1", "spi 05 r=1", "spi 05 r=1"};
    const ProtectRow rows[] = {
        {sim::Part::kWinbond,
         {"spi 05 r=1", "spi 06", "spi 05 r=1", "spi 05 r=1", "spi 05 r=1", "spi 35 r=1", "spi 05 r=1", "spi 06",
          "spi 01 w=2", "spi 05 r=1", "spi 05 r=1", "spi 35 r=1"},
         2'000'000},
        {sim::Part::kSst,
         {"spi 05 r=1", "spi 06", "spi 05 r=1", "spi 05 r=1", "spi 05 r=1", "spi 50", "spi 01 w=1", "spi 05 r=1",
          "spi 05 r=1"},
         1'000'000},
        {sim::Part::kMxic, others, 1'000'000},
        {sim::Part::kIte, others, 1'000'000},
    };
    for (const ProtectRow& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.part));
        BootPart(row.part);
        const uint64_t paused = board.stats().pause_us;
        flash::ProtectBootBlock(part);
        EXPECT_EQ(Join(Spi()), Join(row.spi));
        EXPECT_EQ(board.stats().pause_us - paused, row.pause_us);
        const std::string console = TakeConsole();
        EXPECT_EQ(console.rfind("\n\nProtect BBK Area Done!\nRead Status Register = 0x", 0), 0u) << console;
        EXPECT_EQ(console.back(), '\n');
    }
}

// Winbond: status register 1 gets SEC, TB and BP0 (the lowest 4 KB) and
// register 2 its own value back, the two bytes half a second apart.
TEST_F(ProtectTest, WinbondGuardsTheLowest4K)
{
    BootPart(sim::Part::kWinbond, true, std::vector<uint8_t>(0x2000, 0x00));
    const uint64_t start = board.NowUs();
    flash::ProtectBootBlock(part);
    EXPECT_GE(board.NowUs() - start, 2'000'000u);
    EXPECT_EQ(TakeConsole(),
              "\n\nProtect BBK Area Done!\nRead Status Register = 0x64\nProtected: 0x000000-0x000FFF\n");
    flash::EraseBlock(part, 0, 0x2000);
    const std::vector<uint8_t> flash = FlashContent();
    EXPECT_EQ(flash[0x0000], 0x00);
    EXPECT_EQ(flash[0x0FFF], 0x00);
    EXPECT_EQ(flash[0x1000], 0xFF);
    EXPECT_EQ(flash[0x1FFF], 0xFF);
}

}  // namespace
}  // namespace flash_test
