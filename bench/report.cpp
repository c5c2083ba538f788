#include "report.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <utility>

namespace bench {

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int n = vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    return text;
}

std::string Count(uint64_t n)
{
    std::string digits = std::to_string(n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i != 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

std::string Ratio(uint64_t measured, uint64_t minimum)
{
    return minimum == 0 ? "-" : Format("%.3f", static_cast<double>(measured) / static_cast<double>(minimum));
}

std::string Share(uint64_t part, uint64_t whole)
{
    return whole == 0 ? "-" : Format("%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
}

// A modeled time: seconds, or milliseconds below 10 ms.
std::string Time(uint64_t us)
{
    const double s = static_cast<double>(us) * 1e-6;
    return us < 10000 ? Format("%.3f ms", s * 1e3) : Format("%.3f s", s);
}

const char* Verdict(bool met)
{
    return met ? "met" : "**missed**";
}

#if defined(__clang__)
constexpr const char* kCompiler = "Clang " __clang_version__;
#else
constexpr const char* kCompiler = "GCC " __VERSION__;
#endif

std::string CpuName()
{
    std::ifstream in("/proc/cpuinfo");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            if (colon != std::string::npos)
                return line.substr(line.find_first_not_of(' ', colon + 1));
        }
    }
    return "unknown CPU";
}

std::string Machine()
{
    utsname u{};
    uname(&u);
    const time_t now = time(nullptr);
    char date[32];
    strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", gmtime(&now));
    return Format("%s, %ld CPUs, %s %s %s", CpuName().c_str(), sysconf(_SC_NPROCESSORS_ONLN), u.sysname,
                  u.release, u.machine) +
           "; " + date + "; build " KOVRIN_BENCH_BUILD_TYPE ", " + kCompiler;
}

// The status waits, write enables and write disables around every operation.
bool Housekeeping(int opcode)
{
    return opcode == 0x04 || opcode == 0x05 || opcode == 0x06 || opcode == 0x50;
}

// The other SPI commands of a phase and how many: "0x02 ×1,024".
std::string Commands(const Tally& tally)
{
    std::string out;
    for (int op = 0; op < 256; ++op) {
        if (tally.by_opcode[op] == 0 || Housekeeping(op))
            continue;
        out += (out.empty() ? "" : ", ") + Format("0x%02X ×%s", op, Count(tally.by_opcode[op]).c_str());
    }
    return out.empty() ? "-" : out;
}

const char* SizeName(SizeFrom size)
{
    static const char* const kNames[] = {"id", "SFDP", "unknown"};
    return kNames[static_cast<int>(size)];
}

// Every counted run: the updates of each part with and without a record,
// and the other modes.
std::vector<const BoardRun*> CountedRuns(const Results& results)
{
    std::vector<const BoardRun*> runs;
    for (const CountRun& c : results.counts) {
        runs.push_back(&c.run);
        runs.push_back(&c.logged);
    }
    for (const ModeRun& m : results.modes)
        runs.push_back(&m.counted);
    return runs;
}

// The plain update the /D runs are held against: the default part, the
// whole image, the default board.
const ModelRun* DefaultUpdate(const Results& results)
{
    for (const ModelRun& m : results.models)
        if (m.family->part == sim::Part::kWinbond && m.image_kb == kImageKb)
            return &m;
    return nullptr;
}

// A run's modeled time as a share of the default update's.
double ShareOfDefault(const Results& results, const BoardRun& run)
{
    const ModelRun* plain = DefaultUpdate(results);
    return plain == nullptr || plain->modeled_us == 0
               ? 0
               : static_cast<double>(run.modeled_us) / static_cast<double>(plain->modeled_us);
}

bool WithinLimit(const Results& results, const ModeRun& m)
{
    return DefaultUpdate(results) != nullptr && m.modeled.status == 0 && ShareOfDefault(results, m.modeled) <= m.limit;
}

bool DifferentialMet(const Results& results)
{
    bool any = false;
    for (const ModeRun& m : results.modes) {
        if (m.limit == 0)
            continue;
        any = true;
        if (!WithinLimit(results, m))
            return false;
    }
    return any;
}

bool RatioMet(const Results& results)
{
    if (results.counts.empty() || results.modes.empty())
        return false;
    for (const BoardRun* run : CountedRuns(results)) {
        if (!run->counted)
            return false;
        for (const Tally& t : run->phases)
            if (t.accesses != t.minimum)
                return false;
    }
    return true;
}

// The largest ratio of any phase of any counted run, as measured / minimum.
void WorstRatio(const Results& results, uint64_t* measured, uint64_t* minimum)
{
    *measured = 0;
    *minimum = 1;
    for (const BoardRun* run : CountedRuns(results))
        for (const Tally& t : run->phases)
            if (t.minimum != 0 && t.accesses * *minimum >= *measured * t.minimum) {
                *measured = t.accesses;
                *minimum = t.minimum;
            }
}

void TargetTable(std::string& out, const Results& results, const Targets& targets)
{
    const SpeedRuns& s = results.speed;
    const long rss_limit = static_cast<long>(s.image_kb) + kRssSlackKb;
    uint64_t worst_measured = 0;
    uint64_t worst_minimum = 1;
    WorstRatio(results, &worst_measured, &worst_minimum);
    out += "| target | limit | measured | |\n|---|---|---|---|\n";
    out += Format("| port accesses / protocol minimum, every phase of every counted run: updates with and without "
                  "`/L`, read-out, compare, `/I`, `/D` | 1.000 | %s (worst) | %s |\n",
                  Ratio(worst_measured, worst_minimum).c_str(), Verdict(targets.ratio));
    out += Format("| whole %u KB update of `kovrinux-sim`, default board, wall (median of %d) | %.2f s | %.3f s | %s |\n",
                  s.image_kb, s.runs, kWallLimitS, s.wall_median_s, Verdict(targets.wall));
    out += Format("| peak resident memory of that update | %s KB (image + 8 MB) | %s KB | %s |\n",
                  Count(static_cast<uint64_t>(rss_limit)).c_str(), Count(static_cast<uint64_t>(s.max_rss_kb)).c_str(),
                  Verdict(targets.memory));
    const ModelRun* plain = DefaultUpdate(results);
    for (const ModeRun& m : results.modes) {
        if (m.limit == 0)
            continue;
        out += Format("| modeled time of `kovrinux %s`, %s, against the default update's (%s) | %.0f %% | "
                      "%.1f %% | %s |\n",
                      m.command.c_str(), m.mode, plain != nullptr ? Time(plain->modeled_us).c_str() : "-",
                      100 * m.limit, 100 * ShareOfDefault(results, m.modeled), Verdict(WithinLimit(results, m)));
    }
}

void PortCounts(std::string& out, const Results& results)
{
    out += "| part, image | routine | size from | phase | SPI commands | SPI transactions | bytes read | "
           "port accesses | protocol minimum | ratio |\n|---|---|---|---|---|---|---|---|---|---|\n";
    // The size's phases only where the part has them.
    static constexpr struct {
        Phase phase;
        bool always;
    } kShown[] = {{Phase::kSfdp, false},   {Phase::kErase, true},  {Phase::kEraseCheck, true},
                  {Phase::kProgram, true}, {Phase::kVerify, true}, {Phase::kFinalCheck, false}};
    for (const CountRun& c : results.counts) {
        const std::string row = Format("| %s, %u KB | %s | %s |", c.family->flash, c.image_kb, c.family->routine,
                                       SizeName(c.family->size));
        for (const auto& shown : kShown) {
            const Tally& t = c.run.phases[static_cast<int>(shown.phase)];
            if (!shown.always && t.accesses == 0)
                continue;
            out += row + Format(" %s | %s | %s | %s | %s | %s | %s |\n", PhaseName(shown.phase), Commands(t).c_str(),
                                Count(t.spi_transactions).c_str(), Count(t.spi_bytes_in).c_str(),
                                Count(t.accesses).c_str(), Count(t.minimum).c_str(),
                                Ratio(t.accesses, t.minimum).c_str());
        }
        const Tally whole = WholeRun(c.run);
        out += row + Format(" **whole update** | | %s | %s | %s | %s | **%s** |\n",
                            Count(whole.spi_transactions).c_str(), Count(whole.spi_bytes_in).c_str(),
                            Count(whole.accesses).c_str(),
                            Count(whole.minimum).c_str(), Ratio(whole.accesses, whole.minimum).c_str());
    }
}

void RecordCounts(std::string& out, const Results& results)
{
    out += "| part, image | port accesses | with `/L record.jsonl` | protocol minimum with `/L` | ratio | record |\n"
           "|---|---|---|---|---|---|\n";
    for (const CountRun& c : results.counts) {
        const Tally plain = WholeRun(c.run);
        const Tally logged = WholeRun(c.logged);
        out += Format("| %s, %u KB | %s | %s | %s | %s | %s |\n", c.family->flash, c.image_kb,
                      Count(plain.accesses).c_str(), Count(logged.accesses).c_str(), Count(logged.minimum).c_str(),
                      Ratio(logged.accesses, logged.minimum).c_str(),
                      c.record_sound ? "one line, result ok, flash digest = image digest" : "**wrong**");
    }
}

// Each phase a run of the kind went through besides the session, and the
// whole run; a byte read costs 5 at least.
void ModeCounts(std::string& out, const Results& results, ModeKind kind)
{
    out += "| run | part | phase | SPI commands | SPI transactions | bytes read | port accesses | protocol minimum | "
           "ratio | port accesses per byte read |\n|---|---|---|---|---|---|---|---|---|---|\n";
    for (const ModeRun& m : results.modes) {
        if (m.kind != kind)
            continue;
        const std::string row = Format("| `kovrinux %s` (%s) | %s |", m.command.c_str(), m.mode, m.family->flash);
        const auto line = [&](const char* name, const Tally& t) {
            out += row + Format(" %s | %s | %s | %s | %s | %s | %s | %s |\n", name, Commands(t).c_str(),
                                Count(t.spi_transactions).c_str(), Count(t.spi_bytes_in).c_str(),
                                Count(t.accesses).c_str(), Count(t.minimum).c_str(),
                                Ratio(t.accesses, t.minimum).c_str(), Ratio(t.accesses, t.spi_bytes_in).c_str());
        };
        for (int p = 0; p < kPhaseCount; ++p)
            if (static_cast<Phase>(p) != Phase::kSession && m.counted.phases[p].accesses != 0)
                line(PhaseName(static_cast<Phase>(p)), m.counted.phases[p]);
        line("**whole run**", WholeRun(m.counted));
    }
}

void ModeTimes(std::string& out, const Results& results)
{
    out += "| run | part | modeled time | against the default update | port accesses | bus cycles | flash busy | "
           "fixed pauses |\n|---|---|---|---|---|---|---|---|\n";
    for (const ModeRun& m : results.modes) {
        const sim::Stats& s = m.modeled.stats;
        const uint64_t busy = s.flash_busy_us;
        const uint64_t pause = s.pause_us;
        const uint64_t total = m.modeled.modeled_us;
        const uint64_t bus = total > busy + pause ? total - busy - pause : 0;
        out += Format("| `kovrinux %s` (%s) | %s | %s | %.1f %% | %s | %s | %s | %s |\n", m.command.c_str(), m.mode,
                      m.family->flash, Time(total).c_str(), 100 * ShareOfDefault(results, m.modeled),
                      Count(s.port_reads + s.port_writes).c_str(), Share(bus, total).c_str(),
                      Share(busy, total).c_str(), Share(pause, total).c_str());
    }
}

void Controls(std::string& out, const Results& results)
{
    out += "| board | port accesses | protocol minimum | ratio | status polls beyond the first |\n"
           "|---|---|---|---|---|\n";
    for (const ControlRun& c : results.controls) {
        const Tally whole = WholeRun(c.run);
        out += Format("| %s | %s | %s | %s | %s |\n", c.board, Count(whole.accesses).c_str(),
                      Count(whole.minimum).c_str(), Ratio(whole.accesses, whole.minimum).c_str(),
                      Count(whole.extra_polls).c_str());
    }
}

void Speed(std::string& out, const SpeedRuns& s)
{
    const double per_s = s.wall_median_s > 0 ? static_cast<double>(s.port_accesses) / s.wall_median_s : 0;
    const double per_cpu_s = s.cpu_median_s > 0 ? static_cast<double>(s.port_accesses) / s.cpu_median_s : 0;
    out += "| update | runs | wall (median) | CPU (median) | port accesses | port accesses / s (wall) | "
           "port accesses / CPU s | peak RSS |\n|---|---|---|---|---|---|---|---|\n";
    out += Format("| `kovrinux-sim -- image.bin %u` | %d | %.3f s | %.3f s | %s | %s | %s | %s KB |\n", s.image_kb,
                  s.runs, s.wall_median_s, s.cpu_median_s, Count(s.port_accesses).c_str(),
                  Count(static_cast<uint64_t>(per_s)).c_str(), Count(static_cast<uint64_t>(per_cpu_s)).c_str(),
                  Count(static_cast<uint64_t>(s.max_rss_kb)).c_str());
}

void Modeled(std::string& out, const Results& results)
{
    out += "| part | routine | size from | image | modeled time | port accesses | bus cycles | flash busy | "
           "fixed pauses |\n|---|---|---|---|---|---|---|---|---|\n";
    for (const ModelRun& m : results.models) {
        const uint64_t busy = m.stats.flash_busy_us;
        const uint64_t pause = m.stats.pause_us;
        const uint64_t bus = m.modeled_us > busy + pause ? m.modeled_us - busy - pause : 0;
        out += Format("| %s | %s | %s | %u KB | %.3f s | %s | %s | %s | %s |\n", m.family->flash, m.family->routine,
                      SizeName(m.family->size), m.image_kb, static_cast<double>(m.modeled_us) * 1e-6,
                      Count(m.stats.port_reads + m.stats.port_writes).c_str(), Share(bus, m.modeled_us).c_str(),
                      Share(busy, m.modeled_us).c_str(), Share(pause, m.modeled_us).c_str());
    }
}

}  // namespace

Targets CheckTargets(const Results& results)
{
    Targets t;
    const SpeedRuns& s = results.speed;
    t.ratio = RatioMet(results);
    t.wall = s.runs > 0 && s.wall_median_s <= kWallLimitS;
    t.memory = s.runs > 0 && s.max_rss_kb <= static_cast<long>(s.image_kb) + kRssSlackKb;
    t.differential = DifferentialMet(results);
    return t;
}

std::string Report(const Results& results, const Targets& targets)
{
    std::string out;
    out += "# Performance\n\n";
    out += "Written by `bench/run` (its latest run); edit the benchmark, not this file.\n\n";
    out += "Machine: " + Machine() + ".\n\n";

    out += "## Targets\n\n";
    TargetTable(out, results, targets);
    if (!results.problems.empty()) {
        out += "\nProblems found by the run:\n\n";
        for (const std::string& p : results.problems)
            out += "- " + p + "\n";
    }

    out += "\n## Port accesses against the protocol minimum\n\n";
    out += "A whole 256 KB update (`kovrinux image.bin 256`) per part family, or as large as the family's "
           "largest part (MX25L512 64 KB, SST25VF010A 128 KB), run by the benchmark (one process per run) on "
           "the virtual board with an EC that takes every byte at once and a flash with no busy time. The minimum is "
           "worked out from the port accesses the run made, never from the tool's code: each byte written to "
           "an EC mailbox port costs 3 (input-buffer poll, write, input-buffer poll), a reply 2 more "
           "(output-buffer poll, data read), a keyboard-controller byte 4 (output-buffer poll first); so a "
           "follow-mode sub-command costs 3, a byte sent to the flash (0x03 and the byte) 6, a byte read (0x04 "
           "and the reply) 5, and a status wait (0x05) one read, the first poll: every further poll counts "
           "against the tool. An SFDP read (0x5A) is a read command like 0x0B: its address and dummy bytes "
           "cost 6 each, each byte read 5. Super I/O accesses cost 1 each. Phases are the engine routines the "
           "update called; the whole update adds the handshakes, the identification and the unlock before each "
           "block.\n\n"
           "Size from: where the tool learns the part's size. From the id, no 0x5A is sent; from SFDP "
           "(spansion), the identification reads the SFDP header, the parameter headers up to the basic "
           "table's and the table's density (phase sfdp); unknown (atmel, ite: no SFDP, the 4 signature bytes "
           "read 0xFF), the update ends by reading the whole written area back in one fast read (phase final "
           "check). The benchmark checks each of these from the run's traffic.\n\n";
    PortCounts(out, results);
    out += "\nThe same updates with a run record (`/L record.jsonl`), which is made from what the run read "
           "anyway: the port accesses must not change. The benchmark also checks the line appended: one line, "
           "result ok, status 0, and the flash's SHA-256 equal to the image's.\n\n";
    RecordCounts(out, results);
    out += "\nA read-out (`/R`) and a compare (`/C`) of the 256 KB image that the winbond flash holds, counted "
           "the same way: after the handshake and the identification, each 64 KB is one fast read whose bytes "
           "cost 5 port accesses each (0x04 and the reply), nothing more.\n\n";
    ModeCounts(out, results, ModeKind::kReadBack);
    out += "\nThe information mode (`/I`) on the default part (winbond, size from its id) and on spansion (size "
           "from SFDP): the EC's version, project name and Super I/O id, flash mode, the identification (and the "
           "SFDP reads), status register 1 (and 2 on winbond), nothing written.\n\n";
    ModeCounts(out, results, ModeKind::kInformation);
    out += "\nThe differential update (`/D`) of the 256 KB image on the default part over a flash that holds "
           "the image, the image but for one 4 KB sector (at 0x21000, every byte inverted), or the image's "
           "complement: each block is compared with the image in 4 KB units before anything is erased (a "
           "difference ends that unit's fast read), and only the units that differ are unlocked, erased, "
           "checked, programmed and verified. Each run must end with status 0, the flash holding the image and "
           "\"Units rewritten: N of 64\" with N 0, 1 and 64.\n\n";
    ModeCounts(out, results, ModeKind::kDifferential);
    out += "\nThe same count for the winbond update on boards that do not answer at once, to show that it "
           "sees every poll beyond the first (these are not targets):\n\n";
    Controls(out, results);

    out += "\n## Speed of the virtual board\n\n";
    out += "A whole update of `kovrinux-sim` on the default board (winbond, typical busy times: every busy "
           "poll is a real status read through the mailbox), run as a child process; wall and CPU time and "
           "peak resident memory as the kernel reports them for the child.\n\n";
    Speed(out, results.speed);

    out += "\n## Modeled update time\n\n";
    out += "The virtual clock at the end of a whole update on the default board (1 us per port access, the "
           "parts' typical busy times, pauses as the tool asks). Bus cycles are port accesses while the "
           "flash is idle; flash busy is the time the part spends programming or erasing, which the tool "
           "spends polling its status; fixed pauses are the tool's own waits (500 ms after EC command "
           "0xDD).\n\n";
    Modeled(out, results);
    out += "\nThe runs beside the plain update on the default board's timing, each against the modeled time "
           "of the default update (winbond, 256 KB, above); the compare and `/D` check the project name and "
           "pause after 0xDD as the update does.\n\n";
    ModeTimes(out, results);
    return out;
}

}  // namespace bench
