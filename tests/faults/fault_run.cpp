#include "fault_run.h"

#include <algorithm>
#include <filesystem>

#include "support/run_tool.h"

namespace faults {

namespace {

int gFaultRuns;

const char* const kFaultOptions[] = {"--hang", "--flash-busy-forever", "--stuck", "--ack"};

bool HasFault(const SimRun& run)
{
    for (const std::string& option : run.board)
        for (const char* fault : kFaultOptions)
            if (option == fault)
                return true;
    return false;
}

}  // namespace

std::vector<uint8_t> Image(size_t length, uint32_t seed)
{
    std::vector<uint8_t> bytes(length);
    uint32_t x = seed * 2654435761u + 7;
    for (uint8_t& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(x >> 24);
    }
    if (length >= 0x40 + kProject.size())
        std::copy(kProject.begin(), kProject.end(), bytes.begin() + 0x40);
    return bytes;
}

std::vector<uint8_t> OldFlash(size_t size)
{
    std::vector<uint8_t> bytes = Image(size, 99);
    for (uint8_t& b : bytes)
        b &= 0x7E;
    return bytes;
}

Outcome RunSim(const SimRun& run)
{
    testsupport::TempDir dir;
    std::vector<std::string> args = run.board;
    const std::vector<std::string> files = {"--flash-in",
                                            dir.Write("old.bin", OldFlash(testsupport::FlashBytesOf(run.board))),
                                            "--flash-out",
                                            dir.File("new.bin"), "--trace", dir.File("trace.txt"),
                                            "--stats", dir.File("stats.json"), "--"};
    args.insert(args.end(), files.begin(), files.end());
    // Relative: an argument that begins with "/" is one of the tool's options.
    const std::string image =
        run.image.empty() ? "" : std::filesystem::relative(dir.Write("ec.bin", run.image)).string();
    for (const std::string& a : run.tool)
        args.push_back(a == "IMAGE" ? image : a);

    if (HasFault(run))
        ++gFaultRuns;
    const testsupport::RunResult r = testsupport::Run(testsupport::BinPath("kovrinux-sim"), args);
    if (!run.image.empty()) {
        EXPECT_TRUE(dir.Read("ec.bin") == run.image) << "the image file was changed";
    }
    Outcome o;
    o.status = r.status;
    o.out = r.out;
    o.err = r.err;
    o.trace = testsupport::TraceLines(dir.Read("trace.txt"), "kovrinux-sim");
    const std::vector<uint8_t> stats = dir.Read("stats.json");
    o.modeled_us = static_cast<uint64_t>(
        std::max(0LL, testsupport::Stat(std::string(stats.begin(), stats.end()), "modeled_us")));
    o.flash = dir.Read("new.bin");
    return o;
}

int FaultRuns()
{
    return gFaultRuns;
}

size_t FirstDrop(const std::vector<std::string>& trace)
{
    for (size_t i = 0; i < trace.size(); ++i)
        if (StartsWith(trace[i], "drop "))
            return i;
    return trace.size();
}

bool StartsWith(const std::string& s, const std::string& head)
{
    return s.compare(0, head.size(), head) == 0;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

void ExpectTimedOut(const Outcome& faulty, const Outcome& good, uint64_t limit_us)
{
    EXPECT_EQ(faulty.status, 1);
    EXPECT_EQ(faulty.err, "");
    const size_t timeout = faulty.out.find("\n\rTimeout: ");
    ASSERT_NE(timeout, std::string::npos) << "no timeout line:\n" << faulty.out;
    EXPECT_EQ(faulty.out.find("\n\rTimeout: ", timeout + 1), std::string::npos) << "two timeout lines";
    std::string line = faulty.out.substr(timeout);
    // An update that had begun to erase adds its advice; nothing else follows.
    const bool erasing =
        faulty.out.find("File Size:") != std::string::npos && faulty.out.find("Eraseing") != std::string::npos;
    if (erasing && EndsWith(line, kPartialImage))
        line.resize(line.size() - kPartialImage.size());
    else
        EXPECT_FALSE(erasing) << "no advice after a timeout in an update that had begun to erase: " << line;
    EXPECT_GT(line.size(), std::string("\n\rTimeout: \n").size()) << "the timeout line says nothing";
    EXPECT_EQ(line.find('\n', 1), line.size() - 1) << "the timeout line is not the last line: " << line;
    EXPECT_TRUE(StartsWith(good.out, faulty.out.substr(0, timeout))) << "printed what the fault-free run would not";
    EXPECT_LE(faulty.modeled_us, good.modeled_us + limit_us) << "gave up late";
}

void ExpectHungEcLeftAlone(const Outcome& faulty, const Outcome& good, const std::string& closing)
{
    const size_t drop = FirstDrop(faulty.trace);
    ASSERT_LT(drop, faulty.trace.size()) << "the EC took every byte";
    ASSERT_LE(drop, good.trace.size());
    for (size_t i = 0; i < drop; ++i)
        ASSERT_EQ(faulty.trace[i], good.trace[i]) << "the runs part before the fault, at trace line " << i;

    const auto fault = faulty.trace.begin() + static_cast<long>(drop);
    const bool flash_mode = std::find(faulty.trace.begin(), fault, "ec dc") != fault;
    const bool keyboard_off = std::find(faulty.trace.begin(), fault, "kbc ad") != fault;
    const std::string try_close = "drop " + closing + " @6c";
    std::vector<std::string> after(fault + 1, faulty.trace.end());
    // The closing try; the byte the EC did not take may itself have been
    // the closing command.
    if (!after.empty() && after.front() == try_close)
        after.erase(after.begin());
    else if (flash_mode && *fault != try_close)
        ADD_FAILURE() << "flash mode was entered, but no closing command " << closing << " was tried";
    if (keyboard_off)
        EXPECT_EQ(after, std::vector<std::string>{"kbc ae"}) << "the keyboard is not turned back on last";
    else
        EXPECT_TRUE(after.empty()) << "more talk after the fault: " << after.front();
}

void ExpectClosedOnce(const Outcome& o, const std::string& closing)
{
    EXPECT_EQ(testsupport::FlashMisuse(o.trace), std::vector<std::string>{});
    EXPECT_EQ(FirstDrop(o.trace), o.trace.size()) << "a byte the EC did not take";
    const std::string other = closing == "fe" ? "ec fc" : "ec fe";
    EXPECT_EQ(std::count(o.trace.begin(), o.trace.end(), "ec " + closing), 1);
    EXPECT_EQ(std::count(o.trace.begin(), o.trace.end(), other), 0);
    ASSERT_GE(o.trace.size(), 2u);
    EXPECT_EQ(o.trace[o.trace.size() - 2], "ec " + closing);
    EXPECT_EQ(o.trace.back(), "kbc ae");
}

void FaultTest::SetUp()
{
    runs_at_start_ = FaultRuns();
}

void FaultTest::TearDown()
{
    RecordProperty("fault_runs", FaultRuns() - runs_at_start_);
}

}  // namespace faults
