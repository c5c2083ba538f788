// Super I/O configuration access on the virtual board: the port sequences,
// the chip id, and the logical device 0x10 bank reached through the low
// byte of its base.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "driver/version_readouts.h"
#include "hostio/sio.h"
#include "support/sim_fixture.h"

namespace {

using testsupport::Render;

class SioTest : public testsupport::SimBoardTest {};

struct SequenceRow {
    const char* name;
    std::function<void()> op;
    const char* ports;
};

TEST_F(SioTest, PortSequences)
{
    const SequenceRow rows[] = {
        {"FindIteChip", [] { hostio::FindIteChip(); },
         "w4e=87 w4e=01 w4e=55 w4e=55 w4e=20 r4f w4e=21 r4f"},
        {"EnterSio", [] { hostio::EnterSio(); }, "w4e=87 w4e=01 w4e=55 w4e=55"},
        {"ExitSio", [] { hostio::ExitSio(); }, "w4e=02 w4f=02"},
        {"SelectLogicalDevice(0x10)", [] { hostio::SelectLogicalDevice(0x10); }, "w4e=07 w4f=10"},
        {"WriteSioRegister(0x2E, 0x5A)", [] { hostio::WriteSioRegister(0x2E, 0x5A); }, "w4e=2e w4f=5a"},
        {"ReadSioRegister(0x61)", [] { hostio::ReadSioRegister(0x61); }, "w4e=61 r4f"},
        {"ReadEcRamThroughSio(0x12A5)", [] { hostio::ReadEcRamThroughSio(0x12A5); },
         "w4e=4e w4f=11 w4e=4f w4f=12 w4e=4e w4f=10 w4e=4f w4f=a5 w4e=4e w4f=12 w4e=4f r4f"},
    };
    for (const SequenceRow& row : rows) {
        SCOPED_TRACE(row.name);
        Boot();
        RecordPorts();
        row.op();
        EXPECT_EQ(Render(Ports()), row.ports);
    }
}

TEST_F(SioTest, ChipIdFromRegisters20And21)
{
    config.chip_id = 0x8987;
    Boot();
    EXPECT_EQ(hostio::FindIteChip(), 0x8987);

    config.chip_id = 0x8928;
    Boot();
    EXPECT_EQ(hostio::FindIteChip(), 0x8928);
}

TEST_F(SioTest, NoSuperIoReadsAsFFFF)
{
    config.sio_present = false;
    Boot();
    EXPECT_EQ(hostio::FindIteChip(), 0xFFFF);
}

// A base above 0xFF reaches the bank through its low byte: 0x0A70 gives
// index port 0x70 and data port 0x71.
TEST_F(SioTest, BramBankThroughTheLowByteOfTheBase)
{
    config.ldn_base = 0x0A70;
    config.bram[0] = 18;
    config.bram[1] = 0x41;
    Boot();
    hostio::FindIteChip();
    RecordPorts();
    EXPECT_EQ(driver::BramReadout(driver::RunOptions{}, nullptr), 0);
    EXPECT_EQ(Render(Ports()),
              "w4e=07 w4f=10 w4e=60 r4f w4e=61 r4f w70=10 r71 w70=11 r71 w4e=02 w4f=02");
    EXPECT_EQ(TakeConsole(), "\n\r\n\rFW_H=12 , FW_L=41\n\rSIO FW version :18A ");
}

}  // namespace
