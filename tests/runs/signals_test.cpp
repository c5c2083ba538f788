// Stop signals while the tool holds the EC: an update stops between blocks
// and closes flash mode, the short jobs finish first, and a closed output
// pipe never stops a run. The board sends the signal at a chosen port access.
#include "update_support.h"

namespace {

using updatetest::CountLines;
using updatetest::Image;
using updatetest::OldFlash;
using updatetest::OldFlashWith;
using updatetest::RunTool;
using updatetest::RunUpdate;
using updatetest::Stat;
using updatetest::Update;

const std::string kInterrupted =
    "\n\rInterrupted: the flash may hold a partial image; run the update again before resetting the board.\n";

// Each stop signal, a quarter into block 1 of a four-block update: block 1
// still completes, blocks 2 and 3 keep the old firmware.
TEST(Signals, UpdateStopsAfterTheBlockInProgress)
{
    const std::vector<uint8_t> image = Image(256 * 1024);
    const auto whole = RunUpdate(Update{image, {}, {}, ""});
    ASSERT_EQ(whole.status, 0);
    const long long accesses = Stat(whole.stats, "port_reads") + Stat(whole.stats, "port_writes");
    const std::string at = std::to_string(accesses * 5 / 16);

    std::vector<uint8_t> want = OldFlashWith(0, std::vector<uint8_t>(image.begin(), image.begin() + 0x20000));
    for (const char* signal : {"INT", "TERM", "HUP", "QUIT", "TSTP"}) {
        SCOPED_TRACE(signal);
        const std::string when = std::string(signal) + "@" + at;
        const auto o = RunUpdate(Update{image, {"--signal", when}, {}, ""});
        EXPECT_EQ(o.status, 1);
        ASSERT_GE(o.out.size(), kInterrupted.size());
        EXPECT_EQ(o.out.substr(o.out.size() - kInterrupted.size()), kInterrupted);
        EXPECT_EQ(o.out.find(" Block Number     : 2 "), std::string::npos);
        EXPECT_FLASH(o.flash, want);
        updatetest::ExpectClosedOnce(o, "ec fe");
    }
}

// The short jobs run to their end, then the status says they were stopped;
// a stop during the project-name check ends the update before flash mode.
TEST(Signals, ShortJobsFinishFirst)
{
    struct Row {
        std::vector<std::string> tool;
        const char* at;
        const char* done;        // the job's last line, printed before
        const char* last_trace;  // the job's last exchange
    } const rows[] = {
        {{"/PB"}, "INT@40", "Read Status Register = 0x64\n", "kbc ae"},
        {{"/V"}, "TERM@5", "The current project is: DEMO", "ec 92 0aa9"},
    };
    const std::string stopped = "\n\rInterrupted.\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.at);
        const auto o = RunTool(row.tool, {"--signal", row.at});
        EXPECT_EQ(o.status, 1);
        EXPECT_NE(o.out.find(row.done), std::string::npos);
        EXPECT_EQ(o.out.substr(o.out.size() - stopped.size()), stopped);
        ASSERT_FALSE(o.trace.empty());
        EXPECT_EQ(o.trace.back(), row.last_trace);
    }

    const std::string nothing = "\n\rInterrupted: nothing was written.\n";
    const auto o = RunUpdate(Update{Image(64 * 1024), {"--signal", "HUP@10"}, {}, ""});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("Passssssssssssssssssssssssss"), std::string::npos);
    EXPECT_EQ(o.out.substr(o.out.size() - nothing.size()), nothing);
    EXPECT_EQ(CountLines(o.trace, "ec dc"), 0u);
    EXPECT_FLASH(o.flash, OldFlash());
}

// The reader of the output goes away after one line: the update goes on.
TEST(Signals, ClosedOutputPipeDoesNotStopTheUpdate)
{
    testsupport::TempDir dir;
    const std::vector<uint8_t> image = Image(128 * 1024);
    const std::string path = std::filesystem::relative(dir.Write("ec.bin", image)).string();
    const std::string command = testsupport::CommandWords("kovrinux-sim") + " --flash-out " + dir.File("new.bin") +
                                " -- " + path + " 128 | head -1 >/dev/null; exit ${PIPESTATUS[0]}";
    const auto r = testsupport::Run("/bin/bash", {"-c", command});
    EXPECT_EQ(r.status, 0);
    const std::vector<uint8_t> flash = dir.Read("new.bin");
    ASSERT_GE(flash.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.end(), flash.begin()));
}

}  // namespace
