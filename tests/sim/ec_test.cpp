// The EC's mailboxes and firmware, driven through ports as a host would.
#include <cstring>

#include "board_fixture.h"

namespace boardtest {
namespace {

class EcTest : public BoardTest {
protected:
    void SetUp() override
    {
        config.ec_version[0] = 7;
        config.ec_version[1] = 42;
        memcpy(config.varnel, "AB.CD-EF", 8);
        memcpy(config.project, "KOVRIN-X1\0", 10);
        Boot();
    }
};

TEST_F(EcTest, ExternalRamReadSendsAddressHighFirstAndAnswersTheByte)
{
    std::vector<sim::PortEvent> log(64);
    board.SetPortLog(log.data(), log.size());
    EXPECT_EQ(XramRead(kPmc2, 0x0AA5), 'N');
    std::vector<std::pair<uint8_t, uint8_t>> writes;
    for (size_t i = 0; i < board.PortLogLength(); ++i) {
        if (log[i].write)
            writes.emplace_back(log[i].port, log[i].value);
    }
    EXPECT_EQ(writes, (std::vector<std::pair<uint8_t, uint8_t>>{{0x6C, 0x92}, {0x68, 0x0A}, {0x68, 0xA5}}));
    EXPECT_EQ(TakeTrace(), "ec 92 0aa5\n");
}

TEST_F(EcTest, AcpiReadAnswersOnBothPairs)
{
    struct Row {
        Pair pair;
        uint8_t address;
        uint8_t expected;
        const char* trace;
    };
    const Row rows[] = {
        {kPmc2, 0x00, 7, "ec 80 00 @6c\n"},   {kPmc2, 0x01, 42, "ec 80 01 @6c\n"},
        {kAcpi, 0x00, 7, "ec 80 00 @66\n"},   {kAcpi, 0xD8, 'A', "ec 80 d8 @66\n"},
        {kAcpi, 0xDF, 'F', "ec 80 df @66\n"}, {kPmc2, 0xDB, 'C', "ec 80 db @6c\n"},
        {kAcpi, 0x50, 0x00, "ec 80 50 @66\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(AcpiRead(row.pair, row.address), row.expected) << std::hex << int{row.address};
        EXPECT_EQ(TakeTrace(), row.trace);
    }
    EXPECT_EQ(board.stats().ec_commands, std::size(rows));
}

TEST_F(EcTest, OneMemoryBehindBothReadCommands)
{
    EXPECT_EQ(XramRead(kPmc2, 0x0000), 7);
    EXPECT_EQ(XramRead(kPmc2, 0x00DC), 'D');
    EXPECT_EQ(XramRead(kPmc2, 0x1000), 0xFF);  // beyond the EC's 4 KB
    EXPECT_EQ(XramRead(kAcpi, 0x0AA9), 0x00);  // a short project name is zero-filled
    EXPECT_EQ(board.ec().MemoryByte(0x0AA2), 'V');
}

TEST_F(EcTest, StaleByteIsTakenAsTheAcknowledge)
{
    Command(kPmc2, 0x80);
    Data(kPmc2, 0x01);  // its reply is left unread
    Command(kPmc2, 0xDC);
    EXPECT_EQ(Reply(kPmc2), 42);    // the stale byte first
    EXPECT_EQ(Reply(kPmc2), 0x33);  // then the acknowledge, not lost
    EXPECT_FALSE(ReplyWaiting(kPmc2));
}

TEST_F(EcTest, InputBufferStaysFullForTheConfiguredStatusReads)
{
    for (const uint32_t latency : {0u, 1u, 4u}) {
        config.ec_latency = latency;
        Boot();
        board.Write(0x66, 0xDD);
        for (uint32_t i = 0; i < latency; ++i)
            EXPECT_EQ(board.Read(0x66) & kIbf, kIbf) << "latency " << latency << " read " << i;
        EXPECT_EQ(board.Read(0x66) & kIbf, 0) << "latency " << latency;
        EXPECT_EQ(TakeTrace(), "ec dd\n");
    }
}

TEST_F(EcTest, LatencyCountsStatusReadsOfItsOwnPairOnly)
{
    config.ec_latency = 2;
    Boot();
    board.Write(0x6C, 0xDD);
    board.Read(0x66);
    board.Read(0x68);
    EXPECT_EQ(board.Read(0x6C) & kIbf, kIbf);
    EXPECT_EQ(board.Read(0x6C) & kIbf, kIbf);
    EXPECT_EQ(board.Read(0x6C) & kIbf, 0);
}

TEST_F(EcTest, ByteWrittenWhileInputBufferIsFullIsDropped)
{
    config.ec_latency = 3;
    Boot();
    board.Write(0x6C, 0xDD);
    board.Write(0x6C, 0xDC);
    EXPECT_TRUE(WaitClear(0x6C, kIbf));
    EXPECT_EQ(TakeTrace(), "drop dc @6c\nec dd\n");
    EXPECT_FALSE(board.InFlashMode());
    EXPECT_FALSE(ReplyWaiting(kPmc2));
    EXPECT_EQ(board.stats().ec_drops, 1u);
}

TEST_F(EcTest, HangStopsTakingBytesAfterExactlyN)
{
    for (const uint64_t n : {0u, 1u, 4u}) {
        config.hang = true;
        config.hang_after = n;
        Boot();
        // Alternate ports of both pairs; keyboard bytes do not count.
        const struct {
            uint8_t port;
            uint8_t status;
        } writes[] = {{0x6C, 0x6C}, {0x68, 0x6C}, {0x66, 0x66}, {0x62, 0x66}};
        for (uint64_t i = 0; i < n; ++i) {
            EXPECT_FALSE(board.EcHung());
            board.Write(0x64, 0xAD);
            board.Write(writes[i % 4].port, 0xDD);
            EXPECT_EQ(board.Read(writes[i % 4].status) & kIbf, 0) << "n " << n << " byte " << i;
        }
        EXPECT_EQ(board.ec().accepted(), n);
        EXPECT_TRUE(board.EcHung());
        TakeTrace();
        board.Write(0x6C, 0xFE);
        EXPECT_FALSE(WaitClear(0x6C, kIbf)) << "n " << n;
        board.Write(0x6C, 0xFC);
        EXPECT_EQ(TakeTrace(), "drop fe @6c\ndrop fc @6c\n") << "n " << n;
        EXPECT_EQ(board.stats().ec_drops, 2u);
    }
}

TEST_F(EcTest, HungEcStopsInTheMiddleOfAReadAndShowsTheDroppedByte)
{
    config.hang = true;
    config.hang_after = 4;
    Boot();
    EXPECT_EQ(AcpiRead(kPmc2, 0x00), 7);  // bytes 1 and 2
    Command(kPmc2, 0x92);                 // 3
    Data(kPmc2, 0x0A);                    // 4
    board.Write(0x68, 0xA0);
    EXPECT_FALSE(WaitClear(0x6C, kIbf));
    EXPECT_FALSE(ReplyWaiting(kPmc2));
    EXPECT_EQ(TakeTrace(), "ec 80 00 @6c\ndrop a0 @68\n");
    // The other pair's input buffer is still empty, but nothing is taken there either.
    EXPECT_EQ(board.Read(0x66) & kIbf, 0);
    board.Write(0x66, 0x80);
    EXPECT_EQ(board.Read(0x66) & kIbf, kIbf);
}

TEST_F(EcTest, FlashModeCommands)
{
    config.ack = 0x5A;
    Boot();
    Command(kPmc2, 0xDD);
    EXPECT_FALSE(board.InFlashMode());
    EXPECT_FALSE(ReplyWaiting(kPmc2));
    Command(kPmc2, 0xDC);
    EXPECT_TRUE(board.InFlashMode());
    EXPECT_EQ(Reply(kPmc2), 0x5A);
    Command(kPmc2, 0xFE);
    EXPECT_FALSE(board.InFlashMode());
    Command(kAcpi, 0xDC);
    EXPECT_EQ(Reply(kAcpi), 0x5A);
    Command(kAcpi, 0xFC);
    EXPECT_FALSE(board.InFlashMode());
    EXPECT_EQ(TakeTrace(), "ec dd\nec dc\nec fe\nec dc\nec fc\n");
    EXPECT_EQ(board.stats().ec_commands, 5u);
    EXPECT_EQ(board.stats().ec_resets, 1u);
}

TEST_F(EcTest, ResetDropsRepliesTheHostHasNotRead)
{
    Command(kPmc2, 0xDC);  // acknowledge left unread
    Command(kPmc2, 0xFC);
    EXPECT_FALSE(ReplyWaiting(kPmc2));
    EXPECT_EQ(AcpiRead(kPmc2, 0x01), 42);  // the firmware serves again
}

TEST_F(EcTest, FollowModeReachesTheFlash)
{
    for (const Pair pair : {kPmc2, kAcpi}) {
        Boot();
        Command(pair, 0xDC);
        EXPECT_EQ(Reply(pair), 0x33);
        Select(pair);
        EXPECT_TRUE(board.InFollowMode());
        Opcode(pair, 0x9F);
        const uint8_t id[] = {SpiRead(pair), SpiRead(pair), SpiRead(pair), SpiRead(pair)};
        Deselect(pair);
        EXPECT_FALSE(board.InFollowMode());
        EXPECT_TRUE(board.InFlashMode());
        EXPECT_EQ(std::vector<uint8_t>(std::begin(id), std::end(id)), (std::vector<uint8_t>{0xEF, 0x40, 0x12, 0x00}));
        EXPECT_EQ(TakeTrace(), pair.command == 0x6C ? "ec dc\nspi 9f r=4 @6c\n" : "ec dc\nspi 9f r=4 @66\n");
        EXPECT_EQ(board.stats().ec_commands, 1u) << "follow-mode bytes are not EC commands";
        EXPECT_EQ(board.stats().spi_transactions, 1u);
    }
}

TEST_F(EcTest, SelectEndsTheOpenTransaction)
{
    Command(kPmc2, 0xDC);
    Reply(kPmc2);
    Select(kPmc2);
    Opcode(kPmc2, 0x06);
    Select(kPmc2);
    Opcode(kPmc2, 0x05);
    SpiRead(kPmc2);
    Deselect(kPmc2);
    EXPECT_EQ(TakeTrace(), "ec dc\nspi 06 @6c\nspi 05 r=1 @6c\n");
}

TEST_F(EcTest, BytesAfterOpcodeAndByteSubCommandsAreNeverCommands)
{
    Command(kPmc2, 0xDC);
    Reply(kPmc2);
    Select(kPmc2);
    Opcode(kPmc2, 0xFE);  // an opcode, not the closing command
    SpiByte(kPmc2, 0x05);  // a data byte, not the end of follow mode
    SpiByte(kPmc2, 0xFC);
    EXPECT_TRUE(board.InFlashMode());
    EXPECT_TRUE(board.InFollowMode());
    EXPECT_EQ(board.stats().ec_commands, 1u);
}

TEST_F(EcTest, ClosingCommandEndsFlashModeInTheMiddleOfATransaction)
{
    for (const uint8_t closing : {0xFE, 0xFC}) {
        Boot();
        Command(kPmc2, 0xDC);
        Reply(kPmc2);
        Select(kPmc2);
        Opcode(kPmc2, 0x9F);
        SpiRead(kPmc2);
        Command(kPmc2, closing);
        EXPECT_FALSE(board.InFlashMode());
        EXPECT_FALSE(board.InFollowMode());
        const std::string closing_line = closing == 0xFE ? "ec fe\n" : "ec fc\n";
        EXPECT_EQ(TakeTrace(), "ec dc\nspi 9f r=1 @6c\n" + closing_line);
        // Outside flash mode 0x04 reads nothing from the flash.
        Command(kPmc2, 0x04);
        EXPECT_FALSE(ReplyWaiting(kPmc2));
    }
}

TEST_F(EcTest, FollowModeBytesOutsideFlashModeReachNothing)
{
    Select(kPmc2);
    Opcode(kPmc2, 0x9F);
    Command(kPmc2, 0x04);
    Deselect(kPmc2);
    EXPECT_FALSE(ReplyWaiting(kPmc2));
    EXPECT_FALSE(board.InFollowMode());
    EXPECT_EQ(board.stats().spi_transactions, 0u);
    EXPECT_EQ(TakeTrace().find("spi"), std::string::npos);
}

}  // namespace
}  // namespace boardtest
