// The follow-mode channel: what each primitive puts on the EC mailbox, the
// status waits and write enable/disable as SPI transactions, and the
// bounded status polls.
#include <gtest/gtest.h>

#include <cstdio>

#include "flash/channel.h"
#include "flash/erase.h"
#include "flash/status.h"
#include "flash_fixture.h"

namespace flash_test {
namespace {

using Lines = std::vector<std::string>;

using testsupport::Render;

class ChannelTest : public FlashTest {};

// Every byte goes to the command port (0x6C) with one status read before
// and after; only a read comes back, on the data port.
TEST_F(ChannelTest, PrimitivesUseTheCommandPortOnly)
{
    BootPart(sim::Part::kWinbond);
    struct Row {
        const char* name;
        void (*op)();
        const char* ports;
    } const rows[] = {
        {"enter", [] { flash::EnterFollowMode(); }, "r6c w6c=01 r6c"},
        {"opcode 0x9F", [] { flash::SendOpcode(0x9F); }, "r6c w6c=02 r6c r6c w6c=9f r6c"},
        {"byte 0xA5", [] { flash::SendFlashByte(0xA5); }, "r6c w6c=03 r6c r6c w6c=a5 r6c"},
        {"read", [] { flash::ReadFlashByte(); }, "r6c w6c=04 r6c r6c r68"},
        {"exit", [] { flash::ExitFollowMode(); }, "r6c w6c=05 r6c"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordPorts();
        row.op();
        EXPECT_EQ(Render(Ports()), row.ports);
    }
}

// An idle part costs the status wait one status read and nothing else.
TEST_F(ChannelTest, IdleWaitIsOneStatusRead)
{
    BootPart(sim::Part::kWinbond);
    RecordPorts();
    flash::WaitIdle();
    EXPECT_EQ(Render(Ports()),
              "r6c w6c=01 r6c "
              "r6c w6c=02 r6c r6c w6c=05 r6c "
              "r6c w6c=04 r6c r6c r68 "
              "r6c w6c=05 r6c");
    EXPECT_EQ(Spi(), (Lines{"spi 05 r=1"}));
}

// 0x50 follows the write enable on SST parts only, in its own transaction.
TEST_F(ChannelTest, WriteEnableAndDisableTransactions)
{
    struct Row {
        sim::Part part;
        Lines enable;
    } const rows[] = {
        {sim::Part::kSst, {"spi 05 r=1", "spi 06", "spi 50", "spi 05 r=1"}},
        {sim::Part::kSstOld, {"spi 05 r=1", "spi 06", "spi 50", "spi 05 r=1"}},
        {sim::Part::kWinbond, {"spi 05 r=1", "spi 06", "spi 05 r=1"}},
        {sim::Part::kIte, {"spi 05 r=1", "spi 06", "spi 05 r=1"}},
        {sim::Part::kUnknown, {"spi 05 r=1", "spi 06", "spi 05 r=1"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.part));
        BootPart(row.part);
        flash::EnableWrite(part);
        EXPECT_EQ(Join(Spi()), Join(row.enable));
        flash::DisableWrite();
        EXPECT_EQ(Join(Spi()), Join({"spi 05 r=1", "spi 04", "spi 05 r=1"}));
    }
}

// Only the two low status bits count: 0xFE ends the write-enable poll.
TEST_F(ChannelTest, WriteEnableIgnoresTheUpperStatusBits)
{
    config.flash_status = 0xFC;
    BootPart(sim::Part::kMxic);
    flash::EnableWrite(part);
    EXPECT_EQ(Join(Spi()), Join({"spi 05 r=1", "spi 06", "spi 05 r=1"}));
}

// While an erase runs the status is read again and again until the busy
// bit clears.
TEST_F(ChannelTest, BusyIsPolled)
{
    BootPart(sim::Part::kWinbond, false);
    flash::EraseBlock(part, 0, 0x1000);
    const Lines spi = Spi();
    ASSERT_EQ(CountPrefix(spi, "spi 20 addr=000000"), 1u);
    size_t at = 0;
    while (spi[at] != "spi 20 addr=000000")
        ++at;
    ASSERT_LT(at + 1, spi.size());
    int reads = 0;
    ASSERT_EQ(sscanf(spi[at + 1].c_str(), "spi 05 r=%d", &reads), 1) << spi[at + 1];
    EXPECT_GT(reads, 1);
    EXPECT_GT(board.stats().flash_busy_us, 0u);
}

TEST_F(ChannelTest, PartThatStaysBusyEndsTheRun)
{
    config.flash_busy_forever = true;
    config.port_access_us = 100;  // fewer polls to reach the limit
    BootPart(sim::Part::kWinbond);
    EXPECT_EXIT(RunToDeath([this] { flash::EraseBlock(part, 0, 0x1000); }), testing::ExitedWithCode(1),
                "^ Eraseing...      : \n\rTimeout: flash busy\n$");
}

TEST_F(ChannelTest, LatchThatNeverShowsEndsTheRun)
{
    config.flash_busy_forever = true;
    config.port_access_us = 100;
    BootPart(sim::Part::kWinbond);
    // After its first erase the part stays busy, so the latch never shows
    // without the busy bit.
    EXPECT_EXIT(RunToDeath([this] {
                    flash::EnableWrite(part);
                    flash::SendCommand(0x20, 0);
                    flash::EnterFollowMode();
                    flash::SendOpcode(0x06);
                    flash::WaitWriteEnabled();
                }),
                testing::ExitedWithCode(1), "^\n\rTimeout: flash write enable\n$");
}

}  // namespace
}  // namespace flash_test
