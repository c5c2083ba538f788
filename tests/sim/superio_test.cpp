// The Super I/O configuration space at 0x4E/0x4F and the BRAM bank of its
// logical device 0x10.
#include "board_fixture.h"

namespace boardtest {
namespace {

class SuperIoTest : public BoardTest {
protected:
    void Key()
    {
        for (const uint8_t byte : {0x87, 0x01, 0x55, 0x55})
            board.Write(0x4E, byte);
    }
    void Set(uint8_t reg, uint8_t value)
    {
        board.Write(0x4E, reg);
        board.Write(0x4F, value);
    }
    uint8_t Get(uint8_t reg)
    {
        board.Write(0x4E, reg);
        return board.Read(0x4F);
    }
};

TEST_F(SuperIoTest, EntryKeyAndExit)
{
    EXPECT_FALSE(board.SioEntered());
    Key();
    EXPECT_TRUE(board.SioEntered());
    Set(0x02, 0x02);
    EXPECT_FALSE(board.SioEntered());
}

TEST_F(SuperIoTest, KeyMustComeWholeAndInOrder)
{
    for (const uint8_t byte : {0x87, 0x01, 0x55, 0x20, 0x55})
        board.Write(0x4E, byte);
    EXPECT_FALSE(board.SioEntered());
    for (const uint8_t byte : {0x87, 0x87, 0x01, 0x55, 0x55})
        board.Write(0x4E, byte);
    EXPECT_TRUE(board.SioEntered());
}

TEST_F(SuperIoTest, ChipIdAnswersWithOrWithoutTheKey)
{
    config.chip_id = 0x8987;
    Boot();
    EXPECT_EQ(Get(0x20), 0x89);
    EXPECT_EQ(Get(0x21), 0x87);
    Key();
    EXPECT_EQ(Get(0x20), 0x89);
    EXPECT_EQ(Get(0x21), 0x87);
}

TEST_F(SuperIoTest, NoSuperIoAnswersNothing)
{
    config.sio_present = false;
    Boot();
    Key();
    EXPECT_FALSE(board.SioEntered());
    for (const uint8_t reg : {0x07, 0x20, 0x21, 0x60, 0x61, 0x4F})
        EXPECT_EQ(Get(reg), 0xFF) << std::hex << int{reg};
    Set(0x07, 0x10);
    EXPECT_EQ(Get(0x60), 0xFF);
    EXPECT_EQ(board.Read(0x4E), 0xFF);
    EXPECT_EQ(board.Read(0x70), 0xFF);  // nor the bank
}

TEST_F(SuperIoTest, LogicalDevice10GivesItsBaseAndBank)
{
    struct Row {
        uint16_t base;
        uint8_t index_port;
        uint8_t data_port;
    };
    for (const Row row : {Row{0x0070, 0x70, 0x71}, Row{0x0A70, 0x70, 0x71}, Row{0x1234, 0x34, 0x35}, Row{0x00FF, 0xFF, 0x00}}) {
        config.ldn_base = row.base;
        config.bram[0] = 18;
        config.bram[1] = 0x41;
        Boot();
        Key();
        Set(0x07, 0x10);
        EXPECT_EQ(Get(0x07), 0x10);
        EXPECT_EQ(Get(0x60) << 8 | Get(0x61), row.base);
        board.Write(row.index_port, 0x10);
        EXPECT_EQ(board.Read(row.data_port), 18) << std::hex << row.base;
        board.Write(row.index_port, 0x11);
        EXPECT_EQ(board.Read(row.data_port), 0x41) << std::hex << row.base;
    }
}

TEST_F(SuperIoTest, BankCannotTakeAnotherDevicesPort)
{
    config.ldn_base = 0x0067;  // bank at 0x67/0x68: 0x68 stays PMC2's data port
    Boot();
    board.Write(0x67, 0x10);
    EXPECT_EQ(board.Read(0x68), 0x00);  // PMC2 data, nothing waiting
    Command(kPmc2, 0x80);
    Data(kPmc2, 0x00);
    EXPECT_EQ(Reply(kPmc2), 1);
}

TEST_F(SuperIoTest, InnerPairReadsTheEcMemory)
{
    const struct {
        uint16_t address;
        uint8_t expected;
    } rows[] = {{0x0000, 1}, {0x0001, 0}, {0x00D8, 'V'}, {0x0AA0, 'D'}, {0x0AA3, 'O'}, {0x0AA4, 0}};
    for (const auto& row : rows) {
        Set(0x4E, 0x11);
        Set(0x4F, static_cast<uint8_t>(row.address >> 8));
        Set(0x4E, 0x10);
        Set(0x4F, static_cast<uint8_t>(row.address));
        Set(0x4E, 0x12);
        EXPECT_EQ(Get(0x4F), row.expected) << std::hex << row.address;
    }
}

}  // namespace
}  // namespace boardtest
