// The board's frame: the virtual clock, the counters, the port log and the
// ports nobody claims.
#include <algorithm>

#include "board_fixture.h"

namespace boardtest {
namespace {

using BoardFrameTest = BoardTest;

TEST_F(BoardFrameTest, EachAccessCostsItsTimeAndIsCounted)
{
    config.port_access_us = 3;
    Boot();
    for (int i = 0; i < 5; ++i)
        board.Read(0x10);
    board.Write(0x10, 1);
    board.Write(0x6C, 0xDD);
    EXPECT_EQ(board.NowUs(), 21u);
    board.Pause(100);
    EXPECT_EQ(board.NowUs(), 121u);
    EXPECT_EQ(board.stats().port_reads, 5u);
    EXPECT_EQ(board.stats().port_writes, 2u);
    EXPECT_EQ(board.stats().pause_us, 100u);
}

TEST_F(BoardFrameTest, UnclaimedPortsReadFFAndIgnoreWrites)
{
    const uint8_t claimed[] = {0x4E, 0x4F, 0x60, 0x62, 0x64, 0x66, 0x68, 0x6C, 0x70, 0x71};
    for (int port = 0; port < 256; ++port) {
        if (std::find(std::begin(claimed), std::end(claimed), port) != std::end(claimed))
            continue;
        board.Write(static_cast<uint8_t>(port), 0x00);
        EXPECT_EQ(board.Read(static_cast<uint8_t>(port)), 0xFF) << std::hex << port;
    }
    EXPECT_EQ(TakeTrace(), "");
}

TEST_F(BoardFrameTest, PortLogRecordsAccessesUpToItsCapacity)
{
    sim::PortEvent events[3];
    board.SetPortLog(events, 3);
    board.Write(0x6C, 0x80);
    board.Write(0x68, 0x00);
    board.Read(0x68);
    board.Read(0x6C);
    ASSERT_EQ(board.PortLogLength(), 3u);
    EXPECT_TRUE(events[0].write);
    EXPECT_EQ(events[0].port, 0x6C);
    EXPECT_EQ(events[0].value, 0x80);
    EXPECT_FALSE(events[2].write);
    EXPECT_EQ(events[2].port, 0x68);
    EXPECT_EQ(events[2].value, 1);  // the version's high byte
}

TEST_F(BoardFrameTest, NoTraceWithoutASink)
{
    board.SetTraceSink(nullptr, nullptr);
    Command(kPmc2, 0xDC);
    EXPECT_EQ(TakeTrace(), "");
    EXPECT_TRUE(board.InFlashMode());
}

}  // namespace
}  // namespace boardtest
