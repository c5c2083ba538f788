// An EC that stops taking bytes (--hang N) at the start and in the middle
// of every phase of an update, for each flash family and programming
// routine, at every transaction of the stand-alone modes, and at every byte
// of the version query. Each run must end by itself with the timeout line
// and status 1, having printed nothing the fault-free run would not, and
// must try to close flash mode and turn the keyboard back on.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "fault_run.h"
#include "hang_search.h"

namespace {

using faults::ExpectHungEcLeftAlone;
using faults::ExpectTimedOut;
using faults::FirstDrop;
using faults::Image;
using faults::Outcome;
using faults::Phase;
using faults::SimRun;
using faults::RunSim;

// The wait that expires (5 s) and the closing try on a hung EC (5 s for
// its input buffer, 5 s after the byte), with some slack.
constexpr uint64_t kMailboxGiveUpUs = 16'000'000;

SimRun WithHang(SimRun run, uint64_t n)
{
    run.board.push_back("--hang");
    run.board.push_back(std::to_string(n));
    return run;
}

// Every phase's start, then the middle between two starts: the run must
// hang where it was aimed, and give up cleanly.
void SweepPhases(const SimRun& run, const Outcome& good, const std::vector<Phase>& phases,
                 const std::string& closing)
{
    ASSERT_EQ(good.status, 0) << good.out;
    faults::HangSearch search(good, [&run](uint64_t n) { return RunSim(WithHang(run, n)); });

    std::vector<uint64_t> starts;
    for (const Phase& phase : phases) {
        SCOPED_TRACE("hang at the start of " + phase.name + " (trace line " + std::to_string(phase.line) + ")");
        const auto found = search.StartOf(phase.line);
        starts.push_back(found.n);
        EXPECT_EQ(FirstDrop(found.outcome.trace), phase.line) << "--hang " << found.n;
        ExpectTimedOut(found.outcome, good, kMailboxGiveUpUs);
        ExpectHungEcLeftAlone(found.outcome, good, closing);
    }
    for (size_t i = 0; i + 1 < phases.size(); ++i) {
        if (starts[i + 1] - starts[i] < 2)
            continue;
        const uint64_t n = starts[i] + (starts[i + 1] - starts[i]) / 2;
        SCOPED_TRACE("hang in the middle of " + phases[i].name + ", --hang " + std::to_string(n));
        const Outcome o = search.At(n);
        EXPECT_GE(FirstDrop(o.trace), phases[i].line);
        EXPECT_LE(FirstDrop(o.trace), phases[i + 1].line);
        ExpectTimedOut(o, good, kMailboxGiveUpUs);
        ExpectHungEcLeftAlone(o, good, closing);
    }
}

struct UpdateCase {
    const char* name;
    const char* part;
    size_t length;
    std::vector<std::string> options;  // after the size
    const char* closing;
};

// Each flash family, with a whole-block update (project name checked) and
// a region update (with "/j"): between them every programming routine.
const UpdateCase kUpdates[] = {
    {"winbond_whole", "winbond", 0x10000, {}, "fe"},                     // pages, whole block
    {"winbond_bootblock", "winbond", 0x1000, {"/BK", "/F", "/j"}, "fc"},  // pages, region
    {"mxic_pp32_whole", "mxic-pp32", 0x10000, {}, "fe"},                 // 32-byte bursts, whole block
    {"mxic_pp32_main", "mxic-pp32", 61440, {"/Mn", "/j"}, "fc"},         // 32-byte bursts, region
    {"sst_old_whole", "sst-old", 0x10000, {}, "fe"},                     // AAI bytes
    {"sst_old_backup", "sst-old", 61440, {"/Bp", "/F", "/j"}, "fc"},
    {"sst_whole", "sst", 0x10000, {}, "fe"},                             // AAI words
    {"sst_bootblock", "sst", 0x1000, {"/BK", "/j"}, "fc"},
    {"ite_whole", "ite", 0x10000, {}, "fe"},                             // 1 KB erase, AAI word
    {"ite_main", "ite", 61440, {"/Mn", "/F", "/j"}, "fc"},
};

void PrintTo(const UpdateCase& c, std::ostream* os)
{
    *os << c.name;
}

class HungUpdate : public faults::FaultTest, public ::testing::WithParamInterface<UpdateCase> {};

TEST_P(HungUpdate, EveryPhase)
{
    const UpdateCase& c = GetParam();
    SimRun run{{"--flash", c.part}, {"IMAGE", std::to_string(c.length / 1024)}, Image(c.length)};
    run.tool.insert(run.tool.end(), c.options.begin(), c.options.end());
    const Outcome good = RunSim(run);
    const std::vector<Phase> phases = faults::UpdatePhases(good.trace);

    std::vector<std::string> names;
    for (const Phase& p : phases)
        names.push_back(p.name);
    std::vector<std::string> expected = {"command 0xdd", "command 0xdc", "identification", "unlock",   "erase",
                                         "erase check",  "programming",  "verify",         "closing command"};
    if (std::find(c.options.begin(), c.options.end(), "/F") == c.options.end())
        expected.insert(expected.begin(), "project name reads");
    ASSERT_EQ(names, expected) << "the fault-free run's phases";
    SweepPhases(run, good, phases, c.closing);
}

INSTANTIATE_TEST_SUITE_P(Parts, HungUpdate, ::testing::ValuesIn(kUpdates),
                         [](const auto& info) { return std::string(info.param.name); });

// The stand-alone modes, at every transaction; both close with 0xFC.
struct ModeCase {
    const char* name;
    const char* part;
    const char* option;
};

const ModeCase kModes[] = {
    {"test_winbond", "winbond", "/T"},         {"test_ite", "ite", "/T"},
    {"protect_winbond", "winbond", "/PB"},     {"protect_mxic_pp32", "mxic-pp32", "/PB"},
    {"protect_sst_old", "sst-old", "/PB"},     {"protect_sst", "sst", "/PB"},
    {"protect_ite", "ite", "/PB"},
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << c.name;
}

class HungStandalone : public faults::FaultTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(HungStandalone, EveryTransaction)
{
    const ModeCase& c = GetParam();
    const SimRun run{{"--flash", c.part}, {c.option}, {}};
    const Outcome good = RunSim(run);
    SweepPhases(run, good, faults::EveryTransaction(good.trace), "fc");
}

INSTANTIATE_TEST_SUITE_P(Modes, HungStandalone, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

// The version query at every byte: the EC takes 0, 1, 2, ... bytes until
// the read-out completes as without the fault.
class HungVersionQuery : public faults::FaultTest,
                         public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(HungVersionQuery, EveryByte)
{
    const SimRun run{{}, GetParam(), {}};
    const Outcome good = RunSim(run);
    ASSERT_EQ(good.status, 0) << good.out;
    uint64_t bytes = 0;
    for (const std::string& line : good.trace)
        bytes += faults::LineCost(line).low;

    uint64_t n = 0;
    for (;; ++n) {
        const Outcome o = RunSim(WithHang(run, n));
        if (o.status == 0) {
            EXPECT_EQ(o.out, good.out);
            break;
        }
        SCOPED_TRACE("--hang " + std::to_string(n));
        ExpectTimedOut(o, good, kMailboxGiveUpUs);
        ExpectHungEcLeftAlone(o, good, "fe");
        ASSERT_LT(n, bytes) << "hung although the EC took every byte the read-out needs";
    }
    EXPECT_EQ(n, bytes) << "the read-out completed before the EC took its last byte";
}

INSTANTIATE_TEST_SUITE_P(ReadOuts, HungVersionQuery,
                         ::testing::Values(std::vector<std::string>{"/V"},
                                           std::vector<std::string>{"/VC", "V1.0.0.0"},
                                           std::vector<std::string>{"/VB", "01B"}),
                         [](const auto& info) {
                             std::string name;
                             for (char ch : info.param[0])
                                 if (ch != '/')
                                     name += ch;
                             return name;
                         });

}  // namespace
