// Whole runs against the board's clock: mailboxes that take their time and
// an EC that takes milliseconds per byte change nothing but the time; every
// time limit holds from both sides; kovrinux's fixed pauses add up (kovrin's
// are checked with its other runs).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_tool.h"
#include "update_support.h"

namespace {

using testsupport::FlashBytesOf;

struct BoardRun {
    std::string program;
    std::vector<std::string> board;
    std::vector<std::string> tool;  // "IMAGE": the image's path
    size_t image = 0;               // its length, 0: none
};

struct Outcome {
    int status = -1;
    std::string out;
    std::vector<uint8_t> flash;
    std::vector<std::string> trace;
    std::string stats;
};

Outcome RunOnBoard(const BoardRun& run)
{
    testsupport::TempDir dir;
    std::vector<std::string> args = run.board;
    const std::vector<std::string> files = {
        "--flash-in", dir.Write("old.bin", updatetest::OldFlash(FlashBytesOf(run.board))),
        "--flash-out", dir.File("new.bin"), "--trace", dir.File("trace.txt"), "--stats", dir.File("stats.json"),
        "--"};
    args.insert(args.end(), files.begin(), files.end());
    const std::string image =
        run.image == 0 ? "" : std::filesystem::relative(dir.Write("ec.bin", updatetest::Image(run.image))).string();
    for (const std::string& a : run.tool)
        args.push_back(a == "IMAGE" ? image : a);
    testsupport::RunResult r = testsupport::Run(testsupport::BinPath(run.program), args);
    EXPECT_EQ(r.err, "");
    // The image's path differs from run to run; the tool may print it.
    for (size_t at; !image.empty() && (at = r.out.find(image)) != std::string::npos;)
        r.out.replace(at, image.size(), "IMAGE");
    const std::vector<uint8_t> stats = dir.Read("stats.json");
    return Outcome{r.status, r.out, dir.Read("new.bin"), testsupport::TraceLines(dir.Read("trace.txt"), run.program),
                   std::string(stats.begin(), stats.end())};
}

std::string Shown(const BoardRun& run)
{
    std::string text = run.program;
    for (const std::string& a : run.board)
        text += " " + a;
    text += " --";
    for (const std::string& a : run.tool)
        text += " " + a;
    return text;
}

const std::vector<std::string> kSlowMailboxes = {"--ec-latency", "3", "--kbc-latency", "2", "--jitter", "29"};
// The version modes also on a Super I/O that answers only after its key.
const std::vector<std::string> kSlowAndLocked = {"--ec-latency", "3",  "--kbc-latency", "2",
                                                  "--jitter",     "31", "--sio-locked"};
// About 3 ms of board time for each byte and each reply.
const std::vector<std::string> kSlowEc = {"--ec-latency", "3000"};

// On these boards a run prints, returns and leaves on the flash what it
// does on the default board.
TEST(SlowBoards, ChangeNothingButTheTime)
{
    const BoardRun rows[] = {
        {"kovrinux-sim", kSlowMailboxes, {"/T"}},
        {"kovrinux-sim", kSlowMailboxes, {"/PB"}},
        {"kovrin-sim", kSlowMailboxes, {"/T", "/j"}},
        {"kovrin-sim", kSlowMailboxes, {"/PB"}},
        {"kovrinux-sim", kSlowAndLocked, {"/V"}},
        {"kovrinux-sim", kSlowAndLocked, {"/VC", "V1.0.0.0"}},
        {"kovrinux-sim", kSlowAndLocked, {"/VB", "01B"}},
        {"kovrinux-sim", kSlowAndLocked, {"/VBF", "IMAGE"}, 0x10000},
        {"kovrin-sim", kSlowAndLocked, {"/V"}},
        {"kovrin-sim", kSlowAndLocked, {"/VC", "V1.0.0.0"}},
        {"kovrin-sim", kSlowAndLocked, {"/VB", "01B"}},
        {"kovrin-sim", kSlowMailboxes, {"IMAGE", "128"}, 0x20000},
        {"kovrinux-sim", kSlowEc, {"/V"}},
        {"kovrinux-sim", kSlowEc, {"/T"}},
        {"kovrinux-sim", kSlowEc, {"IMAGE", "1"}, 1024},
        {"kovrin-sim", kSlowEc, {"/V"}},
        {"kovrin-sim", kSlowEc, {"/T"}},
        {"kovrin-sim", kSlowEc, {"IMAGE", "1"}, 1024},
    };
    for (const BoardRun& row : rows) {
        SCOPED_TRACE(Shown(row));
        BoardRun plain = row;
        plain.board.clear();
        const Outcome want = RunOnBoard(plain);
        const Outcome got = RunOnBoard(row);
        EXPECT_EQ(got.status, want.status);
        EXPECT_EQ(got.out, want.out);
        EXPECT_FLASH(got.flash, want.flash);
        EXPECT_EQ(testsupport::FlashMisuse(got.trace), std::vector<std::string>{});
        EXPECT_EQ(testsupport::Stat(got.stats, "ec_drops"), 0);
        EXPECT_EQ(testsupport::Stat(got.stats, "kbc_drops"), 0);
    }
}

// With --trace-time every trace line starts with the board time in us.
uint64_t TimeOf(const std::string& line)
{
    return std::stoull(line);
}

std::string EventOf(const std::string& line)
{
    return line.substr(line.find(' ') + 1);
}

// The board time of the first line whose event starts with head; fails
// the test when there is none.
uint64_t FirstAt(const std::vector<std::string>& trace, const std::string& head)
{
    for (const std::string& line : trace)
        if (EventOf(line).rfind(head, 0) == 0)
            return TimeOf(line);
    ADD_FAILURE() << "no trace line " << head;
    return 0;
}

struct Limit {
    const char* what;
    BoardRun run;
    const char* from;  // the trace event the limit starts at ("" the start of the run)
    const char* to;    // the event that shows the tool gave up ("" the end of the run)
    uint64_t limit_us;
};

// The mailbox waits give up 5 s after the device stopped, the flash waits
// 30 s after it went busy: not earlier, and within a few ms (the clock is
// read every 256 polls). A hung EC costs two waits before the closing try
// shows (the one that expired, then the closing try's own), and one more
// before the keyboard goes back on; a keyboard controller that never drains
// costs the drain that expired and the closing try's own.
TEST(TimeLimits, HoldFromBothSides)
{
    constexpr uint64_t kLate = 10'000;
    const std::vector<std::string> timed = {"--trace-time"};
    auto with = [&timed](std::vector<std::string> board) {
        board.insert(board.end(), timed.begin(), timed.end());
        return board;
    };
    const Limit rows[] = {
        {"EC stops taking bytes", {"kovrinux-sim", with({"--hang", "2000"}), {"IMAGE", "4", "/F"}, 4096},
         "drop ", "drop fe @6c", 2 * 5'000'000},
        {"then the keyboard", {"kovrinux-sim", with({"--hang", "2000"}), {"IMAGE", "4", "/F"}, 4096},
         "drop fe @6c", "kbc ae", 5'000'000},
        {"EC stops taking bytes", {"kovrin-sim", with({"--hang", "2000"}), {"IMAGE", "4", "/F"}, 4096},
         "drop ", "drop fe @66", 2 * 5'000'000},
        {"flash stays busy", {"kovrinux-sim", with({"--flash-busy-forever"}), {"IMAGE", "4", "/F"}, 4096},
         "spi 20 ", "ec fe", 30'000'000},
        {"flash stays busy", {"kovrin-sim", with({"--flash-busy-forever"}), {"/T"}}, "spi 20 ", "ec fc",
         30'000'000},
        {"keyboard controller never drains", {"kovrinux-sim", with({"--kbc-pending", "4294967295"}), {"/T"}}, "",
         "", 2 * 5'000'000},
        {"keyboard controller never takes its byte",
         {"kovrin-sim", with({"--kbc-latency", "4294967295"}), {"/T"}}, "", "drop ae @64", 2 * 5'000'000},
    };
    for (const Limit& row : rows) {
        SCOPED_TRACE(std::string(row.what) + ": " + Shown(row.run));
        const Outcome o = RunOnBoard(row.run);
        EXPECT_EQ(o.status, 1);
        EXPECT_NE(o.out.find("\n\rTimeout: "), std::string::npos) << o.out;
        const uint64_t from = *row.from != '\0' ? FirstAt(o.trace, row.from) : 0;
        const uint64_t to = *row.to != '\0' ? FirstAt(o.trace, row.to)
                                            : static_cast<uint64_t>(testsupport::Stat(o.stats, "modeled_us"));
        EXPECT_GE(to - from, row.limit_us);
        EXPECT_LE(to - from, row.limit_us + kLate);
    }
}

// kovrinux's pauses, in ms: 500 after 0xDD; 50 after each of the 16 marks
// of a boot-block or test erase; 500 at each settle point of the
// protection, four on Winbond, two on other parts.
TEST(FixedPauses, AddUpInTheBoardsPauseTime)
{
    const struct {
        BoardRun run;
        long long pause_us;
    } rows[] = {
        {{"kovrinux-sim", {}, {"IMAGE", "128"}, 0x20000}, 500'000},
        {{"kovrinux-sim", {}, {"IMAGE", "4", "/BK"}, 4096}, 500'000 + 16 * 50'000},
        {{"kovrinux-sim", {}, {"/T"}}, 16 * 50'000},
        {{"kovrinux-sim", {}, {"/PB"}}, 4 * 500'000},
        {{"kovrinux-sim", {"--flash", "mxic"}, {"/PB"}}, 2 * 500'000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Shown(row.run));
        const Outcome o = RunOnBoard(row.run);
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(testsupport::Stat(o.stats, "pause_us"), row.pause_us);
    }
}

}  // namespace
