// A stop signal in every mode at the very first port accesses and in the
// middle of the run: each ends with status 1 and its line, the EC closed
// once where it was opened, and nothing written by a mode that only reads.
// In the last block of a two-block run nothing is left to stop: the run
// ends with its own result.
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
        return first ? kNothingWritten : kPartial;
    case Kind::kCompare:
        return first ? kNothingWritten : kStopped;
    default:
        return kStopped;
    }
}

Outcome RunRow(const Row& row, const std::vector<uint8_t>& image, const std::vector<std::string>& board,
               bool file_kept = false)
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
        EXPECT_EQ(std::filesystem::exists(dir.File("out.bin")), file_kept) << "a read-out file was left, or lost";
    }
    return o;
}

// The run's own count of port accesses, unstopped.
long long AccessesOf(const Row& row, const std::vector<uint8_t>& image)
{
    const Outcome whole = RunRow(Row{row.tool, Kind::kShortJob, nullptr}, image, {});
    return testsupport::Stat(whole.stats, "port_reads") + testsupport::Stat(whole.stats, "port_writes");
}

TEST(StopPoints, EveryModeAtTheStartAndInTheMiddle)
{
    const std::vector<uint8_t> image = Image(128 * 1024, 4);
    const std::vector<uint8_t> flash = updatetest::OldFlashWith(0, image);
    for (const Row& row : kRows) {
        const long long accesses = AccessesOf(row, image);
        for (const Point& point : {Point{"first", 1}, Point{"second", 2}, Point{"middle", accesses / 4}}) {
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

// Three quarters into a two-block run the stop waits for the block in
// progress, which is the last: the work is done and verified, and the run
// says so with status 0.
TEST(StopPoints, StopInTheLastBlockLetsTheRunFinish)
{
    const std::vector<uint8_t> image = Image(128 * 1024, 4);
    const struct {
        const Row& row;
        const char* ending;
    } rows[] = {
        {kRows[4], "\n\rFlash saved: 128K from 0x000000.\n"},
        {kRows[5], "\n\rFlash equals the image.\n"},
        {kRows[6], " -- Verify OK. \n"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row.tool[0]);
        const long long at = AccessesOf(r.row, image) * 3 / 4;
        const Outcome o = RunRow(r.row, image, {"--signal", "INT@" + std::to_string(at)}, true);
        EXPECT_EQ(o.status, 0);
        ASSERT_GE(o.out.size(), strlen(r.ending));
        EXPECT_EQ(o.out.substr(o.out.size() - strlen(r.ending)), r.ending);
        updatetest::ExpectClosedOnce(o, r.row.closing);
    }
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
