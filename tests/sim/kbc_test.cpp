// The keyboard controller on 0x60/0x64.
#include "board_fixture.h"

namespace boardtest {
namespace {

using KbcTest = BoardTest;

TEST_F(KbcTest, PendingBytesAreReadOneByOne)
{
    config.kbc_pending = 3;
    Boot();
    int read = 0;
    while ((board.Read(0x64) & kObf) != 0 && read < 10) {
        board.Read(0x60);
        ++read;
    }
    EXPECT_EQ(read, 3);
    EXPECT_EQ(board.Read(0x64) & (kObf | kIbf), 0);
}

TEST_F(KbcTest, DisableAndEnableTheKeyboardInterface)
{
    EXPECT_TRUE(board.KeyboardEnabled());
    Command(kKbc, 0xAD);
    EXPECT_FALSE(board.KeyboardEnabled());
    Command(kKbc, 0xAA);  // another command: traced, changes nothing
    EXPECT_FALSE(board.KeyboardEnabled());
    Command(kKbc, 0xAE);
    EXPECT_TRUE(board.KeyboardEnabled());
    EXPECT_EQ(TakeTrace(), "kbc ad\nkbc aa\nkbc ae\n");
    EXPECT_EQ(board.stats().kbc_commands, 3u);
    EXPECT_EQ(board.stats().ec_commands, 0u);
}

}  // namespace
}  // namespace boardtest
