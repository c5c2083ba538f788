#include "measure.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "child_run.h"
#include "sim/parts.h"

namespace bench {

namespace {

constexpr uint32_t kModeledKb[] = {kImageKb / 2, kImageKb};
constexpr uint32_t kSectorBytes = 4096;
// The sector that differs in the /D run over a flash that holds most of the
// image: inside a block, not its first.
constexpr uint32_t kChangedSector = 0x21000;

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

// The family's part as large as the image needs; instant: no busy time.
sim::Config BoardFor(const Family& family, uint32_t kb, bool instant)
{
    sim::Config config;
    config.flash = family.part;
    config.flash_kb = kb > sim::PartInfoOf(family.part).default_kb ? kb : 0;
    config.instant_flash = instant;
    return config;
}

// What every run must show: status 0, the flash as it should be, and, where
// counted, counts that agree with the board's own. False otherwise.
bool CheckRun(const std::string& what, const BoardRun& run, Results* results)
{
    if (run.status != 0 || !run.flash_matches) {
        results->problems.push_back(what + ": failed (status " + std::to_string(run.status) +
                                    (run.flash_matches ? "" : ", the flash does not hold the image") +
                                    "), the tool's last words: " + Tail(run.console));
        return false;
    }
    if (!run.counted)
        return true;
    if (run.log_overflow) {
        results->problems.push_back(what + ": the port log overflowed; counts are short");
        return false;
    }
    const Tally whole = WholeRun(run);
    const sim::Stats& s = run.stats;
    if (whole.accesses != s.port_reads + s.port_writes || whole.spi_transactions != s.spi_transactions ||
        whole.spi_bytes_out != s.spi_bytes_out || whole.spi_bytes_in != s.spi_bytes_in) {
        results->problems.push_back(what + ": the counted accesses or SPI traffic disagree with the board's stats");
        return false;
    }
    return true;
}

// Where the size comes from shows in a counted run's traffic: SFDP is read
// only where the id does not tell the size, within its own phase, and only a
// size that stays unknown reads the written area back, once.
void CheckSizeWork(const std::string& what, SizeFrom size, const BoardRun& run, uint64_t written,
                   Results* results)
{
    if (!run.counted)
        return;
    constexpr uint8_t kReadSfdp = 0x5A;
    const Tally whole = WholeRun(run);
    const Tally& sfdp = run.phases[static_cast<int>(Phase::kSfdp)];
    const Tally& final_check = run.phases[static_cast<int>(Phase::kFinalCheck)];
    if (sfdp.by_opcode[kReadSfdp] != whole.by_opcode[kReadSfdp] || sfdp.spi_transactions != sfdp.by_opcode[kReadSfdp])
        results->problems.push_back(what + ": 0x5A outside the sfdp phase, or another command inside it");
    if ((size == SizeFrom::kId) != (whole.by_opcode[kReadSfdp] == 0))
        results->problems.push_back(what + (size == SizeFrom::kId
                                                ? ": SFDP read though the id tells the size"
                                                : ": no SFDP read though the id does not tell the size"));
    const uint64_t read_back = size == SizeFrom::kUnknown ? written : 0;
    if (final_check.spi_bytes_in != read_back || final_check.spi_transactions > 1)
        results->problems.push_back(what + ": the final check read " + std::to_string(final_check.spi_bytes_in) +
                                    " bytes in " + std::to_string(final_check.spi_transactions) +
                                    " reads, not " + std::to_string(read_back) + " in one");
}

// The record a run appended to path: one line, a verified run's, whose
// flash digest is the image's (the flash holds the image).
bool RecordSound(const std::string& path)
{
    const std::string text = ReadText(path);
    if (text.empty() || text.find('\n') != text.size() - 1)
        return false;
    const auto value = [&text](const char* key) {
        const std::string quoted = std::string("\"") + key + "\":";
        const size_t at = text.find(quoted);
        return at == std::string::npos ? std::string() : text.substr(at + quoted.size(), 66);
    };
    const std::string image = value("sha256");
    return text.find("\"result\":\"ok\"") != std::string::npos && text.find("\"status\":0") != std::string::npos &&
           image.size() == 66 && image[0] == '"' && image == value("flash_sha256");
}

// A /D run on the default part (4 KB units) says how many units it
// rewrote, and its traffic agrees: one 0x20 per unit, one unlock (0x01) per
// block with a unit to rewrite, none elsewhere.
void CheckRewritten(const std::string& what, const BoardRun& run, unsigned units, unsigned rewritten,
                    unsigned blocks, Results* results)
{
    unsigned said = 0;
    unsigned of = 0;
    const size_t at = run.console.rfind("Units rewritten: ");
    if (at == std::string::npos || sscanf(run.console.c_str() + at, "Units rewritten: %u of %u", &said, &of) != 2 ||
        said != rewritten || of != units)
        results->problems.push_back(what + ": not \"Units rewritten: " + std::to_string(rewritten) + " of " +
                                    std::to_string(units) + "\"");
    if (!run.counted)
        return;
    const Tally whole = WholeRun(run);
    if (whole.by_opcode[0x20] != rewritten || whole.by_opcode[0x01] != blocks)
        results->problems.push_back(what + ": " + std::to_string(whole.by_opcode[0x20]) + " sector erases and " +
                                    std::to_string(whole.by_opcode[0x01]) + " unlocks, not " +
                                    std::to_string(rewritten) + " and " + std::to_string(blocks));
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
    const std::string record = kRecordFile;
    for (const Family& family : kFamilies) {
        const uint32_t kb = ImageKbFor(family);
        const Image& image = images.at(kb);
        const sim::Config config = BoardFor(family, kb, true);
        CountRun c{&family, kb, RunUpdateOnBoard(config, image.path, image.bytes, true), {}, false};
        const std::string what = std::string(family.flash) + " (instant board)";
        CheckRun(what, c.run, results);
        CheckSizeWork(what, family.size, c.run, image.bytes.size(), results);

        const Tally& program = c.run.phases[static_cast<int>(Phase::kProgram)];
        const uint64_t commands = program.by_opcode[family.program_opcode];
        const uint64_t per_command = commands == 0 ? 0 : (image.bytes.size() + commands / 2) / commands;
        // Otherwise the tool chose another routine, or a programming routine
        // does not note its phase.
        if (per_command != family.bytes_per_command)
            results->problems.push_back(what + ": no programming with " + family.routine + " was seen");

        unlink(record.c_str());
        const std::string logged = what + " with /L";
        c.logged = RunOnBoard(config, {image.path, std::to_string(kb), "/L", record}, {}, image.bytes, true);
        if (CheckRun(logged, c.logged, results) && WholeRun(c.logged).accesses != WholeRun(c.run).accesses)
            results->problems.push_back(logged + ": the record changed the port accesses");
        c.record_sound = RecordSound(record);
        if (!c.record_sound)
            results->problems.push_back(logged + ": the record is not one line of a verified run whose flash "
                                                 "digest is the image's: " + ReadText(record));
        unlink(record.c_str());
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
    const std::string saved = kReadOutFile;
    const std::string kb = std::to_string(kImageKb);
    // What the flash holds before the run; afterwards it holds the image.
    std::vector<uint8_t> one_sector = image;
    for (uint32_t a = kChangedSector; a < kChangedSector + kSectorBytes; ++a)
        one_sector[a] ^= 0xFF;
    std::vector<uint8_t> complement = image;
    for (uint8_t& b : complement)
        b ^= 0xFF;
    constexpr unsigned kUnits = kImageKb * 1024 / kSectorBytes;  // the default part erases 4 KB
    constexpr const Family& kPlain = FamilyOf(sim::Part::kWinbond);
    constexpr const Family& kSfdp = FamilyOf(sim::Part::kSpansion);
    const struct {
        ModeKind kind;
        const char* mode;
        const Family& family;
        std::vector<std::string> args;
        const std::vector<uint8_t>& flash_in;
        double limit;
        unsigned rewritten;  // /D: the units it must rewrite
        unsigned unlocked;   // /D: the blocks that hold them
    } kModes[] = {
        {ModeKind::kReadBack, "read-out", kPlain, {"/R", saved, kb}, image, 0, 0, 0},
        {ModeKind::kReadBack, "compare", kPlain, {image_path, kb, "/C"}, image, 0, 0, 0},
        {ModeKind::kInformation, "information", kPlain, {"/I"}, image, 0, 0, 0},
        {ModeKind::kInformation, "information, size from SFDP", kSfdp, {"/I"}, image, 0, 0, 0},
        {ModeKind::kDifferential, "identical image", kPlain, {image_path, kb, "/D"}, image, 0.25, 0, 0},
        {ModeKind::kDifferential, "one 4 KB sector changed", kPlain, {image_path, kb, "/D"}, one_sector, 0.30, 1, 1},
        {ModeKind::kDifferential, "every byte changed", kPlain, {image_path, kb, "/D"}, complement, 1.05, kUnits,
         kImageKb / 64},
    };
    for (const auto& mode : kModes) {
        ModeRun r{mode.kind, mode.mode, &mode.family, "", mode.limit, {}, {}};
        for (const std::string& word : mode.args)
            r.command += (r.command.empty() ? "" : " ") + word;
        for (BoardRun* run : {&r.counted, &r.modeled}) {
            const bool counted = run == &r.counted;
            const std::string what = std::string(r.mode) + " on " + mode.family.flash +
                                     (counted ? " (instant board)" : " (default timing)");
            unlink(saved.c_str());
            *run = RunOnBoard(BoardFor(mode.family, kImageKb, counted), mode.args, mode.flash_in, image, counted);
            if (!CheckRun(what, *run, results))
                continue;
            // None of these runs writes a part of unknown size.
            CheckSizeWork(what, mode.family.size, *run, 0, results);
            if (mode.args[0] == "/R" && ReadBytes(saved) != image)
                results->problems.push_back(what + ": the file differs from the flash");
            if (mode.kind == ModeKind::kDifferential)
                CheckRewritten(what, *run, kUnits, mode.rewritten, mode.unlocked, results);
        }
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
            const BoardRun run =
                RunUpdateOnBoard(BoardFor(family, kb, false), images.at(kb).path, images.at(kb).bytes, false);
            CheckRun(std::string(family.flash) + " " + std::to_string(kb) + " KB (default timing)", run, results);
            results->models.push_back(ModelRun{&family, kb, run.stats, run.modeled_us});
        }
    }
    // The benchmark's board and kovrinux-sim's are the same code on the same board.
    for (const ModelRun& m : results->models)
        if (m.family->part == sim::Part::kWinbond && m.image_kb == kImageKb && results->speed.runs > 0 &&
            m.modeled_us != results->speed.modeled_us)
            results->problems.push_back("modeled time in the benchmark (" + std::to_string(m.modeled_us) +
                                        " us) differs from kovrinux-sim's (" +
                                        std::to_string(results->speed.modeled_us) + " us)");
}

}  // namespace bench
