// The EC mailbox, the keyboard controller and the ACPI read on the virtual
// board: the exact order of port accesses, what comes back, and the bounded
// waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <string>

#include "hostio/mailbox.h"
#include "platform/platform.h"
#include "platform/sim/sim_platform.h"
#include "support/sim_fixture.h"

namespace {

using testsupport::Render;
using testsupport::RunToDeath;

// A wait that expires outside a death test ends the whole test program;
// say so instead of vanishing.
int ReportUnexpectedEnd(int status)
{
    fprintf(stderr, "\nThe tool ended the process with status %d (a wait expired)\n", status);
    return status;
}

class MailboxTest : public testsupport::SimBoardTest {
protected:
    void SetUp() override
    {
        const uint8_t project[10] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'};
        std::copy(std::begin(project), std::end(project), config.project);
        config.ec_version[0] = 3;
        config.ec_version[1] = 7;
        SimBoardTest::SetUp();
        RecordPorts();
        simplat::SetFinish(ReportUnexpectedEnd);
    }
    void TearDown() override
    {
        simplat::SetFinish(nullptr);
        SimBoardTest::TearDown();
    }
};

// With devices that answer at once, every wait is a single status read.
struct SequenceRow {
    const char* name;
    std::function<int()> op;  // returns the byte read, or -1
    const char* ports;
    int result;
};

TEST_F(MailboxTest, PortSequencesOfAReadyBoard)
{
    const SequenceRow rows[] = {
        {"hostio::ReadEcExternalRam(0x0AA5)", [] { return hostio::ReadEcExternalRam(0x0AA5); },
         "r6c w6c=92 r6c r6c w68=0a r6c r6c w68=a5 r6c r6c r68", 'F'},
        {"ReadEcRam(0x01, {0x6C, 0x68})", [] { return hostio::ReadEcRam(0x01, {0x6C, 0x68}); },
         "r6c w6c=80 r6c w68=01 r6c r6c r68", 7},
        {"ReadEcRam(0x00, {0x66, 0x62})", [] { return hostio::ReadEcRam(0x00, {0x66, 0x62}); },
         "r66 w66=80 r66 w62=00 r66 r66 r62", 3},
        {"hostio::SendEcCommand(0xDD)", [] { hostio::SendEcCommand(0xDD); return -1; }, "r6c w6c=dd r6c", -1},
        {"hostio::SendKbcCommand(0xAD)", [] { hostio::SendKbcCommand(0xAD); return -1; }, "r64 r64 w64=ad r64", -1},
        {"hostio::SendKbcData(0x55)", [] { hostio::SendKbcData(0x55); return -1; }, "r64 r64 w60=55 r64", -1},
    };
    for (const SequenceRow& row : rows) {
        SCOPED_TRACE(row.name);
        Boot();
        RecordPorts();
        EXPECT_EQ(row.op(), row.result);
        EXPECT_EQ(Render(Ports()), row.ports);
    }
}

TEST_F(MailboxTest, TraceNamesEachExchange)
{
    hostio::ReadEcExternalRam(0x0AA5);
    hostio::ReadEcRam(0x01, {0x6C, 0x68});
    hostio::ReadEcRam(0xD8, {0x66, 0x62});
    hostio::SendKbcCommand(0xAD);
    EXPECT_EQ(TakeTrace(), "ec 92 0aa5\nec 80 01 @6c\nec 80 d8 @66\nkbc ad\n");
}

TEST_F(MailboxTest, SendKbCmdFirstDiscardsEveryPendingByte)
{
    config.kbc_pending = 3;
    Boot();
    RecordPorts();
    hostio::SendKbcCommand(0xAD);
    EXPECT_EQ(Render(Ports()), "r64 r60 r64 r60 r64 r60 r64 r64 w64=ad r64");
    EXPECT_EQ(TakeTrace(), "kbc ad\n");

    // Nothing is left for the host afterwards.
    EXPECT_EQ(platform::IoRead8(0x64) & 0x01, 0);
}

// A reply nobody read is what the next read gets: no operation drains the
// EC's output buffer first.
TEST_F(MailboxTest, StaleReplyIsTakenAsTheAcknowledge)
{
    config.ack = 0x33;
    Boot();
    hostio::SendEcCommand(0x92);
    hostio::SendEcData(0x0A);
    hostio::SendEcData(0xA2);  // 'C' now waits unread
    hostio::SendEcCommand(0xDC);
    EXPECT_EQ(hostio::ReadEcData(), 'C');
}

TEST_F(MailboxTest, SendEcCmdReturnsOnlyAfterTheByteIsTaken)
{
    config.ec_latency = 3;
    Boot();
    RecordPorts();
    hostio::SendEcCommand(0xDD);
    const auto events = Ports();
    ASSERT_GE(events.size(), 3u);

    // Before the write: a status read with the input buffer empty.
    size_t write_at = 0;
    while (write_at < events.size() && !events[write_at].write)
        ++write_at;
    ASSERT_LT(write_at, events.size());
    ASSERT_GT(write_at, 0u);
    EXPECT_EQ(events[write_at - 1].port, 0x6C);
    EXPECT_EQ(events[write_at - 1].value & 0x02, 0);

    // After it: status reads only, the busy ones first, ending on the one
    // that showed the byte taken.
    size_t busy = 0;
    for (size_t i = write_at + 1; i < events.size(); ++i) {
        EXPECT_FALSE(events[i].write);
        EXPECT_EQ(events[i].port, 0x6C);
        if (i + 1 < events.size()) {
            EXPECT_NE(events[i].value & 0x02, 0) << "read " << i;
            ++busy;
        }
    }
    EXPECT_GE(busy, 1u);
    EXPECT_EQ(events.back().value & 0x02, 0);
}

TEST_F(MailboxTest, HungEcEndsTheRunWithATimeout)
{
    config.hang = true;
    config.hang_after = 1;
    Boot();
    EXPECT_EXIT(RunToDeath([] { hostio::ReadEcExternalRam(0x0AA0); }), testing::ExitedWithCode(1),
                "^\n\rTimeout: EC input buffer on port 0x6C\n$");
    EXPECT_EXIT(RunToDeath([] { hostio::ReadEcRam(0xD8, {0x66, 0x62}); }), testing::ExitedWithCode(1),
                "^\n\rTimeout: EC input buffer on port 0x66\n$");
}

TEST_F(MailboxTest, SilentDevicesEndTheRunWithATimeout)
{
    EXPECT_EXIT(RunToDeath([] { hostio::ReadEcData(); }), testing::ExitedWithCode(1),
                "^\n\rTimeout: EC output buffer on port 0x6C\n$");
    EXPECT_EXIT(RunToDeath([] { hostio::ReadKbcData(); }), testing::ExitedWithCode(1),
                "^\n\rTimeout: keyboard controller output buffer on port 0x64\n$");
}

TEST_F(MailboxTest, KeyboardControllerThatNeverEmptiesEndsTheRun)
{
    config.kbc_pending = 10'000'000;
    Boot();
    EXPECT_EXIT(RunToDeath([] { hostio::SendKbcCommand(0xAD); }), testing::ExitedWithCode(1),
                "^\n\rTimeout: keyboard controller output buffer to drain on port 0x64\n$");
}

}  // namespace
