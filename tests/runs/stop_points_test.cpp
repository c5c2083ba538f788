// A stop signal in every mode at the very first port accesses, in the
// middle of the run and in the last block of a two-block run: each ends
// with status 1 and its line, the EC closed once where it was opened, and
// nothing written by a mode that only reads.
#include "update_support.h"

namespace {

using updatetest::Image;
using updatetest::Outcome;

enum class Kind { kShortJob, kUpdate, kCompare, kReadOut };

struct Row {
    std::vector<std::string> tool;  // "ec.bin" and "out.bin" name the run's files
    Kind kind;
    const char* closing;  // of flash mode, where the mode opens it
};

const Row kRows[] = {
    {{"/T"}, Kind::kShortJob, "ec fc"},
    {{"/PB"}, Kind::kShortJob, "ec fc"},
    {{"/V"}, Kind::kShortJob, nullptr},
    {{"/I"}, Kind::kShortJob, "ec fe"},
    {{"/R", "out.bin", "128"}, Kind::kReadOut, "ec fe"},
    {{"ec.bin", "128", "/C"}, Kind::kCompare, "ec fe"},
    {{"ec.bin", "128"}, Kind::kUpdate, "ec fe"},
};

const std::string kNothingWritten = "\n\rInterrupted: nothing was written.\n";
const std::string kPartial =
    "\n\rInterrupted: the flash may hold a partial image; run the update again before resetting the board.\n";
const std::string kStopped = "\n\rInterrupted.\n";

struct Point {
    const char* name;
    long long at;
};

// What the run says last, stopped at this point.
std::string Ending(Kind kind, const std::string& point)
{
    const bool first = point == "first" || point == "second";
    switch (kind) {
    case Kind::kUpdate:
        return first ? kNothingWritten : point == "middle" ? kPartial : "\n\rInterrupted";
    case Kind::kCompare:
        return first ? kNothingWritten : kStopped;
    default:
        return kStopped;
    }
}

Outcome RunRow(const Row& row, const std::vector<uint8_t>& image, const std::vector<std::string>& board)
{
    testsupport::TempDir dir;
    std::vector<std::string> tool = row.tool;
    for (std::string& word : tool) {
        if (word == "ec.bin")
            word = std::filesystem::relative(dir.Write("ec.bin", image)).string();
        else if (word == "out.bin")
            word = std::filesystem::relative(dir.File("out.bin")).string();
    }
    // The compare finds the flash equal to the image when it is not stopped.
    Outcome o = updatetest::RunIn(dir, "kovrinux-sim", board, tool, updatetest::OldFlashWith(0, image));
    if (row.kind == Kind::kReadOut) {
        EXPECT_FALSE(std::filesystem::exists(dir.File("out.bin"))) << "a read-out file was left";
    }
    return o;
}

// Each row stopped at each point that the run's own count of port accesses
// places (the last block: three quarters into a two-block run).
void ExpectStops(bool last_block)
{
    const std::vector<uint8_t> image = Image(128 * 1024, 4);
    const std::vector<uint8_t> flash = updatetest::OldFlashWith(0, image);
    for (const Row& row : kRows) {
        if (last_block && row.kind == Kind::kShortJob)
            continue;
        const Outcome whole = RunRow(Row{row.tool, Kind::kShortJob, nullptr}, image, {});
        const long long accesses = testsupport::Stat(whole.stats, "port_reads") +
                                   testsupport::Stat(whole.stats, "port_writes");
        const std::vector<Point> points = last_block ? std::vector<Point>{{"last block", accesses * 3 / 4}}
                                                     : std::vector<Point>{{"first", 1}, {"second", 2},
                                                                          {"middle", accesses / 4}};
        for (const Point& point : points) {
            SCOPED_TRACE(row.tool[0] + " " + point.name + " @" + std::to_string(point.at));
            const Outcome o = RunRow(row, image, {"--signal", "INT@" + std::to_string(point.at)});
            EXPECT_EQ(o.status, 1);
            const std::string ending = Ending(row.kind, point.name);
            const size_t last_line = o.out.rfind("\n\r");
            ASSERT_NE(last_line, std::string::npos) << o.out;
            EXPECT_EQ(o.out.substr(last_line).substr(0, ending.size()), ending) << o.out.substr(last_line);
            const bool opened = updatetest::CountLines(o.trace, "ec dc") != 0;
            if (opened && row.closing != nullptr)
                updatetest::ExpectClosedOnce(o, row.closing);
            else
                EXPECT_TRUE(row.kind == Kind::kUpdate || row.kind == Kind::kCompare || row.closing == nullptr);
            if (row.kind != Kind::kUpdate && row.tool[0] != "/T" && row.tool[0] != "/PB") {
                EXPECT_FLASH(o.flash, flash);
            }
        }
    }
}

TEST(StopPoints, EveryModeAtTheStartAndInTheMiddle)
{
    ExpectStops(false);
}

// tool: a stop that comes during the last block of an update, a compare or
// a read-out is lost: the run ends as if none had come, with status 0
// ("Verify OK.", "Flash equals the image.", "Flash saved: ...").
TEST(StopPoints, StopInTheLastBlockIsNotLost)
{
    ExpectStops(true);
}

// A run killed outright (no handler runs) has left in a redirected file
// every line printed so far: here, killed in the real 500 ms pause after
// EC command 0xDD, as soon as the file shows that command.
TEST(StopPoints, KilledRunLeavesItsLinesInTheFile)
{
    testsupport::TempDir dir;
    const std::string image = std::filesystem::relative(dir.Write("ec.bin", Image(64 * 1024))).string();
    const std::string run = testsupport::CommandWords("kovrinux-sim") + " --real-time -- " + image + " 64 > ";
    const std::string script = run + dir.File("full.txt") + "; " + run + dir.File("killed.txt") +
                               " & pid=$!; while ! grep -qs 'Send EC Cmd 0xDD' " + dir.File("killed.txt") +
                               " && kill -0 $pid; do sleep 0.01; done; kill -9 $pid; wait $pid";
    const auto r = testsupport::Run("/bin/bash", {"-c", script});
    EXPECT_EQ(r.status, 128 + 9) << "not killed while it ran";
    const std::vector<uint8_t> full = dir.Read("full.txt");
    const std::vector<uint8_t> killed = dir.Read("killed.txt");
    ASSERT_LT(killed.size(), full.size());
    EXPECT_TRUE(std::equal(killed.begin(), killed.end(), full.begin()));
}

}  // namespace
