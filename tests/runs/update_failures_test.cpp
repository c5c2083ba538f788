// An update that goes wrong: a block that does not verify, an erase that
// does not take, a device that stops answering. Each ends with status 1,
// after taking the EC out of flash mode once and enabling the keyboard.
#include "update_support.h"

namespace {

using updatetest::CountLines;
using updatetest::CountPrefix;
using updatetest::ExpectClosedOnce;
using updatetest::Image;
using updatetest::OldFlash;
using updatetest::OldFlashWith;
using updatetest::Outcome;
using updatetest::RunUpdate;
using updatetest::Update;

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// What an update that failed after its first erase says last.
const std::string kPartialImage =
    "\n\rThe flash may hold a partial image; run the update again before resetting the board.\n";

// After the check that failed, only its own closing status wait reaches the
// flash; then the closing command and the keyboard.
void ExpectNothingAfterTheFailedCheck(const Outcome& o, const std::string& check_prefix)
{
    const auto& t = o.trace;
    ASSERT_GE(t.size(), 4u);
    EXPECT_EQ(t[t.size() - 4].rfind(check_prefix, 0), 0u) << t[t.size() - 4];
    EXPECT_EQ(t[t.size() - 3].rfind("spi 05 ", 0), 0u) << t[t.size() - 3];
}

TEST(UpdateFailures, StuckByteFailsTheVerify)
{
    std::vector<uint8_t> image = Image(128 * 1024);
    image[0x1234] = 0xA5;
    for (const char* reset : {"", "/j"}) {
        SCOPED_TRACE(reset);
        const std::vector<std::string> options = *reset ? std::vector<std::string>{reset} : std::vector<std::string>{};
        const auto o = RunUpdate(Update{image, {"--stuck", "1234=ff"}, options, ""});
        EXPECT_EQ(o.status, 1);
        EXPECT_TRUE(EndsWith(o.out, " Verify...        : ##[1234]=a5 -- Verify Fail. \n" + kPartialImage)) << o.out;
        ExpectClosedOnce(o, *reset ? "ec fc" : "ec fe");
        ExpectNothingAfterTheFailedCheck(o, "spi 0b addr=000000");
        // The second block is never started.
        EXPECT_EQ(o.out.find(" Block Number     : 1 "), std::string::npos);
        EXPECT_EQ(CountPrefix(o.trace, "spi 0b addr=010000"), 0u);
    }
}

TEST(UpdateFailures, FailedEraseCheckSkipsProgramming)
{
    const auto o = RunUpdate(Update{Image(128 * 1024), {"--stuck", "1234=00"}, {}, ""});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(EndsWith(o.out, " Erase Verify...  : ## -- Verify Fail. counter2=0 counter=0\n" + kPartialImage)) << o.out;
    EXPECT_EQ(CountPrefix(o.trace, "spi 02"), 0u);
    ExpectClosedOnce(o, "ec fe");
    ExpectNothingAfterTheFailedCheck(o, "spi 0b addr=000000");
}

TEST(UpdateFailures, WrongAcknowledgeStillUpdates)
{
    const std::vector<uint8_t> image = Image(64 * 1024);
    const auto o = RunUpdate(Update{image, {"--ack", "55"}, {}, ""});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("Read EC Data \n\nEC ACK Fail. \n\nvReadSPIDeviceID start"), std::string::npos);
    EXPECT_FLASH(o.flash, OldFlashWith(0, image));
}

TEST(UpdateFailures, RegionUpdateRefusedWhereErasesAre64K)
{
    for (const char* option : {"/BK", "/Mn", "/Bp"}) {
        SCOPED_TRACE(option);
        const size_t length = std::string(option) == "/BK" ? 4096 : 61440;
        const auto o = RunUpdate(Update{Image(length), {"--flash", "st"}, {option}, ""});
        EXPECT_EQ(o.status, 1);
        EXPECT_TRUE(EndsWith(o.out, "\nBlockNum=0,MaxBlockNum=1"
                                    "\n\rRegion update needs 4 KB erase; this flash has no 4 KB erase!\n"))
            << o.out;
        EXPECT_FLASH(o.flash, OldFlash());
        EXPECT_EQ(CountPrefix(o.trace, "spi d8"), 0u);
        ExpectClosedOnce(o, "ec fe");
    }
}

// A device that stops answering mid-update: the run gives up with status 1
// and still tries to leave flash mode and enable the keyboard.
TEST(UpdateFailures, DeviceThatStopsAnswering)
{
    const std::vector<uint8_t> image = Image(64 * 1024);
    auto o = RunUpdate(Update{image, {"--flash-busy-forever"}, {}, ""});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("\n\rTimeout: "), std::string::npos);
    EXPECT_TRUE(EndsWith(o.out, kPartialImage)) << o.out;
    ExpectClosedOnce(o, "ec fe");

    // An EC that takes no more bytes cannot be closed, but the keyboard can.
    o = RunUpdate(Update{image, {"--hang", "3000"}, {}, ""});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("\n\rTimeout: "), std::string::npos);
    ASSERT_FALSE(o.trace.empty());
    EXPECT_EQ(o.trace.back(), "kbc ae");
    EXPECT_EQ(CountLines(o.trace, "kbc ae"), 1u);
}

}  // namespace
