// The serial-flash rules every part follows: page wrap, the write-enable
// latch, busy time, AAI sequences, fast read, block protection, stuck
// bytes, busy forever, the trace lines and the counters.
#include <gtest/gtest.h>

#include "spi_flash_rig.h"

namespace {

using flashtest::FlashRig;
using sim::Part;
using Bytes = std::vector<uint8_t>;

Bytes Count(size_t n, uint8_t first = 0)
{
    Bytes bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}

TEST(SpiFlash, PageProgramWrapsInsideItsPage)
{
    FlashRig rig;
    rig.Boot(Part::kWinbond);
    rig.Program(0x1F0, Count(32));
    EXPECT_EQ(rig.FastRead(0x1F0, 16), Count(16));
    Bytes wrapped = Count(16, 16);
    wrapped.push_back(0xFF);
    EXPECT_EQ(rig.FastRead(0x100, 17), wrapped);
    EXPECT_EQ(rig.memory[0x200], 0xFF);

    // Past 256 bytes the page buffer is overwritten, not ANDed twice.
    Bytes long_page(256, 0xAA);
    long_page.push_back(0x0F);
    long_page.push_back(0x0F);
    rig.Program(0x300, long_page);
    EXPECT_EQ(rig.FastRead(0x300, 3), (Bytes{0x0F, 0x0F, 0xAA}));

    // mxic-pp32: a 32-byte burst at the page end stays where it was sent.
    rig.Boot(Part::kMxicPp32);
    rig.Program(0x4E0, Count(32, 0x40));
    EXPECT_EQ(rig.FastRead(0x4E0, 32), Count(32, 0x40));
    EXPECT_EQ(rig.memory[0x400], 0xFF);
}

TEST(SpiFlash, ProgramAndEraseNeedTheLatchAndClearIt)
{
    FlashRig rig;
    rig.Boot(Part::kMxic, 0x00);
    for (const Bytes& command : {FlashRig::With({0x20}, 0), FlashRig::With({0xD8}, 0)}) {
        rig.Tx(command);
        EXPECT_EQ(rig.Status(), 0x00);
        EXPECT_EQ(rig.memory[0], 0x00);
    }
    rig.Tx({0x06});
    EXPECT_EQ(rig.Status(), 0x02);
    rig.Tx({0x04});
    EXPECT_EQ(rig.Status(), 0x00);
    rig.Tx(FlashRig::With({0x20}, 0));
    EXPECT_EQ(rig.memory[0], 0x00);

    rig.Erase(0x20, 0);
    EXPECT_EQ(rig.Status(), 0x00);
    EXPECT_EQ(rig.memory[0], 0xFF);
    rig.Tx(FlashRig::With({0x02}, 0, {0x12}));
    EXPECT_EQ(rig.memory[0], 0xFF);
    rig.Program(0, {0x12});
    EXPECT_EQ(rig.Status(), 0x00);
    EXPECT_EQ(rig.memory[0], 0x12);
}

// Each member stays busy for its datasheet's typical time (ITE: the
// board's estimate, no published timing).
TEST(SpiFlash, BusyLastsTheMembersTimeAndShutsOutOtherCommands)
{
    struct Row {
        Part part;
        uint32_t kb;  // 0: the default member
        Bytes command;
        uint32_t busy_us;
    };
    const Row rows[] = {
        {Part::kWinbond, 0, FlashRig::With({0x20}, 0x1000), 45'000},        // W25Q80DV tSE lent to the W25Q20
        {Part::kWinbond, 1024, FlashRig::With({0xD8}, 0x10000), 150'000},   // W25Q80DV tBE2
        {Part::kWinbond, 8192, {0x01, 0x00}, 15'000},                       // W25Q64FV tW
        {Part::kPmc, 4096, FlashRig::With({0x20}, 0x1000), 45'000},         // as W25Q32FV...IQ tSE
        {Part::kSt, 128, FlashRig::With({0xD8}, 0x10000), 650'000},         // M25P10-A sector
        {Part::kSt, 0, FlashRig::With({0x02}, 0x100, {0x00}), 800},         // M25P20 page
        {Part::kGigaDevice, 0, FlashRig::With({0x52}, 0x8000), 200'000},    // GD25Q32B 32 KB
        {Part::kMxic, 0, FlashRig::With({0x02}, 0x100, {0x00}), 1'400},     // MX25L8005 page
        {Part::kSst, 2048, FlashRig::With({0x20}, 0x1000), 18'000},         // SST25VF016B sector
        {Part::kIte, 0, FlashRig::With({0xD7}, 0x400), 20'000},             // estimate
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(sim::PartInfoOf(row.part).name);
        SCOPED_TRACE(static_cast<int>(row.command[0]));
        FlashRig rig;
        rig.config.flash_kb = row.kb;
        rig.Boot(row.part);
        rig.Tx({0x06});
        rig.Tx(row.command);
        const uint64_t start = rig.clock;
        EXPECT_EQ(rig.Status(), 0x01);
        // While busy: no id, no data, no latch; status register 2 still answers.
        EXPECT_EQ(rig.Tx({0x9F}, 1), Bytes{0xFF});
        EXPECT_EQ(rig.FastRead(0, 1), Bytes{0xFF});
        rig.Tx({0x06});
        if (row.part == Part::kWinbond) {
            EXPECT_EQ(rig.Tx({0x35}, 1), Bytes{0x00});
        }
        const size_t polls = rig.WaitIdle();
        EXPECT_GT(polls, 2u);
        EXPECT_GE(rig.clock, start + row.busy_us);
        EXPECT_LT(rig.clock, start + row.busy_us + 50);
        EXPECT_EQ(rig.Status(), 0x00);
        EXPECT_EQ(rig.stats.flash_busy_us, row.busy_us);
    }
}

TEST(SpiFlash, AaiSequencesRunUntilWriteDisable)
{
    struct Row {
        Part part;
        uint8_t opcode;
    };
    const Row rows[] = {
        {Part::kSst, 0xAD}, {Part::kIteA, 0xAD}, {Part::kIte, 0xAD},
        {Part::kSstOld, 0xAF}, {Part::kIteA, 0xAF}, {Part::kIte, 0xAF},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.opcode));
        const long unit = row.opcode == 0xAD ? 2 : 1;
        const Bytes data = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
        FlashRig rig;
        rig.Boot(row.part);
        rig.Tx({0x06});
        rig.Tx(FlashRig::With({row.opcode}, 0x1000, Bytes(data.begin(), data.begin() + unit)));
        EXPECT_EQ(rig.Status() & 0x01, 0x01);
        rig.WaitIdle();
        // The latch holds through the sequence; SST shows the sequence in bit 6.
        const bool sst = row.part == Part::kSst || row.part == Part::kSstOld;
        EXPECT_EQ(rig.Status(), sst ? 0x42 : 0x02);
        // Only the sequence's own opcode, status reads and 0x04 are heard now.
        EXPECT_EQ(rig.FastRead(0x1000, 1), Bytes{0xFF});
        rig.Tx(FlashRig::With({0x20}, 0x1000));
        for (auto next = data.begin() + unit; next != data.end(); next += unit) {
            Bytes command{row.opcode};
            command.insert(command.end(), next, next + unit);
            rig.Tx(command);
            rig.WaitIdle();
        }
        rig.Tx({row.opcode});  // left without data
        rig.Tx({0x04});
        EXPECT_EQ(rig.Status(), 0x00);
        Bytes expected = data;
        expected.push_back(0xFF);
        EXPECT_EQ(rig.FastRead(0x1000, expected.size()), expected);
        // After 0x04 the same opcode starts nothing without a new latch.
        rig.Tx({row.opcode, 0x00, 0x00});
        rig.WaitIdle();
        EXPECT_EQ(rig.FastRead(0x1000, expected.size()), expected);
    }
}

TEST(SpiFlash, FastReadStreamsAndWrapsAtTheEnd)
{
    FlashRig rig;
    rig.Boot(Part::kMxicPp32);  // 64 KB
    for (size_t i = 0; i < rig.memory.size(); ++i)
        rig.memory[i] = static_cast<uint8_t>(i * 7);
    const Bytes& m = rig.memory;
    EXPECT_EQ(rig.FastRead(0xFFFE, 4), (Bytes{m[0xFFFE], m[0xFFFF], m[0], m[1]}));
    // Address bits above the array are ignored.
    EXPECT_EQ(rig.FastRead(0x350010, 2), (Bytes{m[0x10], m[0x11]}));
    // Nothing comes before the dummy byte.
    EXPECT_EQ(rig.Tx(FlashRig::With({0x0B}, 0x10), 1), Bytes{0xFF});
    rig.Erase(0x20, 0x351000);
    EXPECT_EQ(rig.memory[0x1000], 0xFF);
    EXPECT_EQ(rig.memory[0x0FFF], static_cast<uint8_t>(0x0FFF * 7));
}

// Tries a program and an erase in four 4 KB areas of a 256 KB part: the
// lowest, those just under and just over 128 KB and 192 KB (0x1F000,
// 0x2F000), the highest. True where they worked.
struct Reach {
    bool low, under_half, under_top64, high;
};
Reach TryWrites(FlashRig& rig)
{
    auto works = [&](uint32_t area) {
        const uint32_t cell = area + 0x10;
        rig.memory[cell] = 0xF0;
        rig.Tx({0x06});
        rig.Tx(FlashRig::With({0x02}, cell, {0x00}));
        rig.WaitIdle();
        const bool programmed = rig.memory[cell] == 0x00;
        rig.Tx({0x06});
        rig.Tx(FlashRig::With({static_cast<uint8_t>(rig.flash.part().part == Part::kSt ? 0xD8 : 0x20)}, area));
        rig.WaitIdle();
        const bool erased = rig.memory[cell] == 0xFF;
        EXPECT_EQ(rig.Status() & 0x02, 0);  // refused or not, the latch clears
        EXPECT_EQ(programmed, erased);
        return programmed && erased;
    };
    return Reach{works(0), works(0x1F000), works(0x2F000), works(0x3F000)};
}

TEST(SpiFlash, BlockProtectionHoldsUntilUnlocked)
{
    struct Row {
        Part part;
        Bytes before;  // what precedes the status write
        Bytes protect;
        uint8_t status;  // what 0x05 reads then
        Reach reach;
    };
    const Row rows[] = {
        // BP0 (the tool's 0x06): the upper 64 KB
        {Part::kSst, {0x50}, {0x01, 0x06}, 0x04, {true, true, true, false}},
        {Part::kMxic, {0x06}, {0x01, 0x06}, 0x04, {true, true, true, false}},
        {Part::kSt, {0x06}, {0x01, 0x06}, 0x04, {true, true, true, false}},
        {Part::kIte, {0x06}, {0x01, 0x06}, 0x04, {true, true, true, false}},
        {Part::kPmc, {0x06}, {0x01, 0x06}, 0x04, {true, true, true, false}},
        // BP1: the upper 128 KB; BP1 and BP0: the upper 256 KB, all of it
        {Part::kMxic, {0x06}, {0x01, 0x08}, 0x08, {true, true, false, false}},
        {Part::kAtmel, {0x06}, {0x01, 0x0C}, 0x0C, {false, false, false, false}},
        // SEC, TB, BP0: the lowest 4 KB, with or without the latch
        {Part::kWinbond, {0x06}, {0x01, 0x64, 0x02}, 0x64, {false, true, true, true}},
        {Part::kWinbond, {0x50}, {0x01, 0x64}, 0x64, {false, true, true, true}},
        // TB, BP1: the lowest 128 KB; BP1 alone: the upper 128 KB
        {Part::kWinbond, {0x06}, {0x01, 0x28}, 0x28, {false, false, true, true}},
        {Part::kWinbond, {0x06}, {0x01, 0x08}, 0x08, {true, true, false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(sim::PartInfoOf(row.part).name);
        SCOPED_TRACE(static_cast<int>(row.protect[1]));
        FlashRig rig;
        rig.Boot(row.part);
        rig.Tx(row.before);
        rig.Tx(row.protect);
        rig.WaitIdle();
        EXPECT_EQ(rig.Status(), row.status);
        const Reach reach = TryWrites(rig);
        EXPECT_EQ(reach.low, row.reach.low);
        EXPECT_EQ(reach.under_half, row.reach.under_half);
        EXPECT_EQ(reach.under_top64, row.reach.under_top64);
        EXPECT_EQ(reach.high, row.reach.high);
        if (row.protect.size() > 2) {
            EXPECT_EQ(rig.Tx({0x35}, 1), Bytes{row.protect[2]});
        }

        // 0x00 frees everything.
        rig.Tx({0x06});
        rig.Tx({0x01, 0x00});
        rig.WaitIdle();
        EXPECT_EQ(rig.Status(), 0x00);
        const Reach freed = TryWrites(rig);
        EXPECT_TRUE(freed.low && freed.under_half && freed.under_top64 && freed.high);
    }
}

TEST(SpiFlash, WinbondProtectsExactlyTheLowest4K)
{
    FlashRig rig;
    rig.Boot(Part::kWinbond, 0x00);
    rig.Tx({0x50});
    rig.Tx({0x01, 0x64});
    EXPECT_EQ(rig.Status(), 0x64);  // a volatile write takes no time
    rig.Program(0x0FFF, {0x00});
    rig.Erase(0xD8, 0x0000);
    rig.Erase(0x20, 0x0000);
    EXPECT_EQ(rig.memory[0x0000], 0x00);
    EXPECT_EQ(rig.memory[0x0FFF], 0x00);
    rig.Erase(0x20, 0x1000);
    EXPECT_EQ(rig.memory[0x0FFF], 0x00);
    EXPECT_EQ(rig.memory[0x1000], 0xFF);
    EXPECT_EQ(rig.memory[0x1FFF], 0xFF);
    EXPECT_EQ(rig.memory[0x2000], 0x00);
    EXPECT_EQ(rig.stats.status_nonvolatile, 0x00u);  // the next power-on is unprotected
}

TEST(SpiFlash, PowerOnStatusProtects)
{
    FlashRig rig;
    rig.config.flash_status = 0x1C;  // BP2..BP0: everything
    rig.Boot(Part::kEon);
    EXPECT_EQ(rig.Status(), 0x1C);
    const Reach reach = TryWrites(rig);
    EXPECT_FALSE(reach.low || reach.under_half || reach.under_top64 || reach.high);
}

TEST(SpiFlash, StuckBytesKeepTheirValue)
{
    FlashRig rig;
    rig.config.stuck[0] = {0x1234, 0x5A};
    rig.config.stuck[1] = {0x41000, 0xA5};  // wraps to 0x1000 on 256 KB
    rig.config.stuck_count = 2;
    rig.Boot(Part::kWinbond);
    EXPECT_EQ(rig.flash.ByteAt(0x1234), 0x5A);
    EXPECT_EQ(rig.flash.ByteAt(0x1000), 0xA5);
    rig.Program(0x1234, {0x00});
    EXPECT_EQ(rig.FastRead(0x1233, 3), (Bytes{0xFF, 0x5A, 0xFF}));
    rig.Program(0x1200, Bytes(256, 0x00));
    rig.Erase(0x20, 0x1000);
    EXPECT_EQ(rig.FastRead(0x1233, 3), (Bytes{0xFF, 0x5A, 0xFF}));
    EXPECT_EQ(rig.flash.ByteAt(0x1000), 0xA5);
    EXPECT_EQ(rig.flash.ByteAt(0x1001), 0xFF);
}

TEST(SpiFlash, BusyForeverAfterTheFirstProgramOrErase)
{
    FlashRig rig;
    rig.config.flash_busy_forever = true;
    rig.Boot(Part::kSst);
    rig.Tx({0x50});
    rig.Tx({0x01, 0x00});
    EXPECT_LT(rig.WaitIdle(1'000'000), 1'000'000u);  // a status write ends
    rig.Tx({0x06});
    rig.Tx(FlashRig::With({0x20}, 0));
    EXPECT_EQ(rig.WaitIdle(1'000'000), 1'000'000u);
    EXPECT_EQ(rig.Status(), 0x01);
}

TEST(SpiFlash, InstantFlashIsNeverBusy)
{
    FlashRig rig;
    rig.config.instant_flash = true;
    rig.Boot(Part::kWinbond, 0x00);
    rig.Tx({0x06});
    rig.Tx(FlashRig::With({0xD8}, 0));
    EXPECT_EQ(rig.Status(), 0x00);
    EXPECT_EQ(rig.memory[0xFFFF], 0xFF);
    EXPECT_EQ(rig.stats.flash_busy_us, 0u);
}

TEST(SpiFlash, TraceLinesAndCounters)
{
    FlashRig rig;
    rig.Boot(Part::kWinbond);
    rig.Tx({0x9F}, 4);
    rig.Tx({0xAB, 0, 0, 0}, 16);
    rig.Tx({0x06});
    rig.Tx(FlashRig::With({0x02}, 0x100, Bytes(256, 0x00)));
    rig.clock += 800;  // W25Q80DV tPP, lent to the W25Q20
    rig.Tx({0x05}, 3);
    rig.Tx(FlashRig::With({0x0B}, 0x100, {0x00}), 2);
    rig.Tx(FlashRig::With({0x20}, 0x1000));
    rig.Tx(FlashRig::With({0xD8}, 0x10000));
    rig.Tx({0x50});
    rig.Tx({0x01, 0x64, 0x00});
    rig.Tx({0x35}, 1);
    rig.Tx({0x04});
    rig.Tx({0x02, 0x00});  // address cut short
    rig.flash.Select();    // no opcode: no line
    rig.flash.Deselect();
    rig.flash.Select();  // a new select ends the open transaction
    rig.flash.Write(0x06);
    rig.flash.Select();
    rig.flash.Deselect();
    EXPECT_EQ(rig.TakeLines(),
              "spi 9f r=4\n"
              "spi ab w=3 r=16\n"
              "spi 06\n"
              "spi 02 addr=000100 w=256\n"
              "spi 05 r=3\n"
              "spi 0b addr=000100 w=1 r=2\n"
              "spi 20 addr=001000 ignored not-enabled\n"
              "spi d8 addr=010000 ignored not-enabled\n"
              "spi 50\n"
              "spi 01 w=2\n"
              "spi 35 r=1\n"
              "spi 04\n"
              "spi 02 w=1 ignored length\n"
              "spi 06\n");
    EXPECT_EQ(rig.stats.spi_transactions, 14u);
    EXPECT_EQ(rig.stats.spi_ignored, 3u);
    EXPECT_EQ(rig.stats.spi_bytes_out, 1u + 4 + 1 + 260 + 1 + 5 + 4 + 4 + 1 + 3 + 1 + 1 + 2 + 1);
    EXPECT_EQ(rig.stats.spi_bytes_in, 4u + 16 + 3 + 2 + 1);
    EXPECT_EQ(rig.stats.flash_busy_us, 800u);

    // AAI: the address shows on the first transaction only; ITE's 1 KB erase.
    rig.Boot(Part::kIte);
    rig.Tx({0x06});
    rig.Tx(FlashRig::With({0xAF}, 0x20000, {0x11}));
    rig.WaitIdle();
    rig.Tx({0xAF, 0x22});
    rig.WaitIdle();
    rig.Tx({0x04});
    rig.Tx(FlashRig::With({0xD7}, 0x400));
    rig.TakeLines();
    rig.Tx({0x06});
    rig.Tx(FlashRig::With({0xAD}, 0x30000, {0x11, 0x22}));
    rig.Tx(FlashRig::With({0xD7}, 0x400));
    EXPECT_EQ(rig.TakeLines(),
              "spi 06\n"
              "spi ad addr=030000 w=2\n"
              "spi d7 addr=000400 ignored busy\n");
}

}  // namespace
