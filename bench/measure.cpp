#include "measure.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "child_run.h"
#include "sim/parts.h"

namespace bench {

namespace {

constexpr uint32_t kModeledKb[] = {kImageKb / 2, kImageKb};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An integer of the board's --stats JSON; false when the key is missing.
bool StatsValue(const std::string& json, const char* key, uint64_t* value)
{
    const std::string quoted = std::string("\"") + key + "\":";
    const size_t at = json.find(quoted);
    if (at == std::string::npos)
        return false;
    *value = strtoull(json.c_str() + at + quoted.size(), nullptr, 10);
    return true;
}

std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// This process's anonymous resident memory now, in KB: what a forked
// child starts with before it execs.
long ResidentKb()
{
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("RssAnon:", 0) == 0)
            return atol(line.c_str() + 8);
    return 0;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The end of what the tool printed, for a failure message.
std::string Tail(const std::string& console)
{
    constexpr size_t kTail = 200;
    return console.size() > kTail ? console.substr(console.size() - kTail) : console;
}

}  // namespace

uint32_t ImageKbFor(const Family& family)
{
    const sim::PartInfo& part = sim::PartInfoOf(family.part);
    uint32_t largest = 0;
    for (size_t m = 0; m < part.member_count; ++m)
        largest = std::max(largest, part.members[m].kb == 0 ? kImageKb : part.members[m].kb);
    return std::min(largest, kImageKb);
}

void CountAccesses(const Images& images, Results* results)
{
    for (const Family& family : kFamilies) {
        const uint32_t kb = ImageKbFor(family);
        const std::vector<uint8_t>& image = images.at(kb).bytes;
        sim::Config config;
        config.flash = family.part;
        config.flash_kb = kb > sim::PartInfoOf(family.part).default_kb ? kb : 0;
        config.instant_flash = true;
        CountRun c{&family, kb, RunUpdateOnBoard(config, images.at(kb).path, image, true)};
        const BoardRun& run = c.run;
        const std::string what = std::string(family.flash) + " (instant board)";
        if (run.status != 0 || !run.flash_matches)
            results->problems.push_back(what + ": the update failed (status " + std::to_string(run.status) +
                                        "), the tool's last words: " + Tail(run.console));
        if (run.log_overflow)
            results->problems.push_back(what + ": the port log overflowed; counts are short");

        const Tally whole = WholeRun(run);
        const sim::Stats& s = run.stats;
        if (whole.accesses != s.port_reads + s.port_writes || whole.spi_transactions != s.spi_transactions ||
            whole.spi_bytes_out != s.spi_bytes_out || whole.spi_bytes_in != s.spi_bytes_in)
            results->problems.push_back(what + ": the counted accesses or SPI traffic disagree with the board's stats");

        const Tally& program = run.phases[static_cast<int>(Phase::kProgram)];
        const uint64_t commands = program.by_opcode[family.program_opcode];
        const uint64_t per_command = commands == 0 ? 0 : (image.size() + commands / 2) / commands;
        // Otherwise the tool chose another routine, or a programming routine
        // does not note its phase.
        if (per_command != family.bytes_per_command)
            results->problems.push_back(what + ": no programming with " + family.routine + " was seen");
        results->counts.push_back(std::move(c));
    }
}

// A flash with its typical busy times, and an EC that takes each byte only
// after one status read.
void CountControls(const std::string& image_path, const std::vector<uint8_t>& image, Results* results)
{
    sim::Config busy;
    sim::Config slow_ec;
    slow_ec.instant_flash = true;
    slow_ec.ec_latency = 1;
    const struct {
        const char* board;
        const sim::Config& config;
    } kControls[] = {
        {"winbond, typical busy times (the default board)", busy},
        {"winbond, no busy time, EC takes a byte and readies a reply after one status read", slow_ec},
    };
    for (const auto& control : kControls) {
        ControlRun c{control.board, RunUpdateOnBoard(control.config, image_path, image, true)};
        const Tally whole = WholeRun(c.run);
        if (c.run.status != 0 || !c.run.flash_matches || c.run.log_overflow)
            results->problems.push_back(std::string(control.board) + ": the update failed or overflowed the log");
        else if (whole.accesses <= whole.minimum)
            results->problems.push_back(std::string(control.board) +
                                        ": the count found no access above the minimum, so it cannot see one");
        results->controls.push_back(std::move(c));
    }
}

void TimeChild(const std::string& sim, const std::string& image_path, const std::string& stats_path, int runs,
               Results* results)
{
    SpeedRuns& s = results->speed;
    s.image_kb = kImageKb;
    const std::vector<std::string> argv = {sim, "--stats", stats_path, "--", image_path, std::to_string(kImageKb)};
    s.parent_rss_kb = ResidentKb();
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = -1; i < runs; ++i) {  // run -1 warms the caches
        const ChildRun r = RunChild(argv);
        if (r.status != 0) {
            results->problems.push_back("kovrinux-sim update ended with status " + std::to_string(r.status));
            return;
        }
        if (i < 0)
            continue;
        wall.push_back(r.wall_s);
        cpu.push_back(r.cpu_s);
        s.max_rss_kb = std::max(s.max_rss_kb, r.max_rss_kb);
    }
    s.runs = runs;
    s.wall_median_s = Median(wall);
    s.cpu_median_s = Median(cpu);
    const std::string json = ReadText(stats_path);
    uint64_t reads = 0;
    uint64_t writes = 0;
    if (!StatsValue(json, "port_reads", &reads) || !StatsValue(json, "port_writes", &writes) ||
        !StatsValue(json, "modeled_us", &s.modeled_us))
        results->problems.push_back("kovrinux-sim --stats lacks port_reads, port_writes or modeled_us");
    s.port_accesses = reads + writes;
    if (s.max_rss_kb <= s.parent_rss_kb)
        results->problems.push_back("the children's peak resident memory is no larger than the benchmark's own (" +
                                    std::to_string(s.parent_rss_kb) + " KB): it may be the benchmark's");
}

void RunModes(const std::string& image_path, const std::vector<uint8_t>& image, Results* results)
{
    const std::string saved = "readout.bin";  // in the scratch directory, removed with it
    const std::string kb = std::to_string(kImageKb);
    const std::vector<std::string> kModes[] = {{"/R", saved, kb}, {image_path, kb, "/C"}};
    const char* const kNames[] = {"read-out", "compare"};
    sim::Config instant;
    instant.instant_flash = true;
    const sim::Config typical;
    for (size_t m = 0; m < std::size(kModes); ++m) {
        ModeRun r{kNames[m], "", {}, {}};
        for (const std::string& word : kModes[m])
            r.command += (r.command.empty() ? "" : " ") + word;
        for (BoardRun* run : {&r.counted, &r.modeled}) {
            unlink(saved.c_str());
            *run = RunOnBoard(run == &r.counted ? instant : typical, kModes[m], image, image, run == &r.counted);
            const std::string what = std::string(r.mode) + (run == &r.counted ? " (instant board)" : " (default board)");
            if (run->status != 0 || !run->flash_matches || run->log_overflow)
                results->problems.push_back(what + ": failed (status " + std::to_string(run->status) +
                                            "), the tool's last words: " + Tail(run->console));
            else if (m == 0 && ReadBytes(saved) != image)
                results->problems.push_back(what + ": the file differs from the flash");
        }
        const Tally whole = WholeRun(r.counted);
        const sim::Stats& s = r.counted.stats;
        if (whole.accesses != s.port_reads + s.port_writes || whole.spi_bytes_in != s.spi_bytes_in)
            results->problems.push_back(std::string(r.mode) + ": the counted accesses disagree with the board's stats");
        results->modes.push_back(std::move(r));
    }
    unlink(saved.c_str());
}

void ModelTimes(const Images& images, Results* results)
{
    for (const Family& family : kFamilies) {
        for (uint32_t kb : kModeledKb) {
            kb = std::min(kb, ImageKbFor(family));
            if (!results->models.empty() && results->models.back().family == &family &&
                results->models.back().image_kb == kb)
                continue;  // a part that only comes smaller
            sim::Config config;
            config.flash = family.part;
            const BoardRun run = RunUpdateOnBoard(config, images.at(kb).path, images.at(kb).bytes, false);
            if (run.status != 0 || !run.flash_matches)
                results->problems.push_back(std::string(family.flash) + " " + std::to_string(kb) +
                                            " KB (default board): the update failed");
            results->models.push_back(ModelRun{&family, kb, run.stats, run.modeled_us});
        }
    }
    // The in-process board and kovrinux-sim are the same code on the same board.
    for (const ModelRun& m : results->models)
        if (m.family->part == sim::Part::kWinbond && m.image_kb == kImageKb && results->speed.runs > 0 &&
            m.modeled_us != results->speed.modeled_us)
            results->problems.push_back("modeled time in-process (" + std::to_string(m.modeled_us) +
                                        " us) differs from kovrinux-sim's (" +
                                        std::to_string(results->speed.modeled_us) + " us)");
}

}  // namespace bench
