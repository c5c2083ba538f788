// What the benchmark measured, and the targets it checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "board_run.h"
#include "sim/config.h"

namespace bench {

// Where the tool learns a part's size: from its id; from its SFDP tables
// (0x5A); nowhere, so an update reads the whole area back at the end.
enum class SizeFrom : uint8_t { kId, kSfdp, kUnknown };

// A flash part family and the programming routine the tool picks for it.
struct Family {
    const char* flash;       // --flash name
    sim::Part part;
    const char* routine;
    uint8_t program_opcode;  // the command that carries the image
    uint32_t bytes_per_command;
    SizeFrom size;
};

inline constexpr Family kFamilies[] = {
    {"winbond", sim::Part::kWinbond, "page 0x02", 0x02, 256, SizeFrom::kId},
    {"mxic-pp32", sim::Part::kMxicPp32, "32-byte burst 0x02", 0x02, 32, SizeFrom::kId},
    {"sst-old", sim::Part::kSstOld, "AAI byte 0xAF", 0xAF, 1, SizeFrom::kId},
    {"sst", sim::Part::kSst, "AAI word 0xAD", 0xAD, 2, SizeFrom::kId},
    {"spansion", sim::Part::kSpansion, "page 0x02", 0x02, 256, SizeFrom::kSfdp},
    {"atmel", sim::Part::kAtmel, "page 0x02", 0x02, 256, SizeFrom::kUnknown},
    {"ite", sim::Part::kIte, "AAI word 0xAD, 1 KB erase 0xD7", 0xAD, 2, SizeFrom::kUnknown},
};

// A part's row above; a part without one does not compile (the search runs
// past the table's end).
consteval const Family& FamilyOf(sim::Part part)
{
    size_t i = 0;
    while (kFamilies[i].part != part)
        ++i;
    return kFamilies[i];
}

// The image of the counted and timed updates.
inline constexpr uint32_t kImageKb = 256;

// Limits checked by the benchmark (never by tests).
inline constexpr double kWallLimitS = 0.25;
inline constexpr long kRssSlackKb = 8 * 1024;

// One whole update on a board whose EC and flash answer at once, and the
// same update with a run record ("/L <file>"), which must cost nothing.
struct CountRun {
    const Family* family;
    uint32_t image_kb;
    BoardRun run;
    BoardRun logged;
    bool record_sound = false;  // one line, result ok, the flash's digest the image's
};

// Whole updates of kovrinux-sim as a child process, default board.
struct SpeedRuns {
    uint32_t image_kb = 0;
    int runs = 0;
    double wall_median_s = 0;
    double cpu_median_s = 0;
    uint64_t port_accesses = 0;  // per run, from its --stats
    uint64_t modeled_us = 0;
    long max_rss_kb = 0;         // the largest of the runs
    long parent_rss_kb = 0;      // the benchmark's own (anonymous) when it started them
};

// One whole update on the default board: where the virtual time goes.
struct ModelRun {
    const Family* family;
    uint32_t image_kb;
    sim::Stats stats;
    uint64_t modeled_us;
};

// The same count on a board that does not answer at once: the ratio must
// rise, or the count would not see a wasted poll.
struct ControlRun {
    const char* board;
    BoardRun run;
};

// The runs beside the plain update, grouped as the report shows them.
enum class ModeKind : uint8_t {
    kReadBack,      // read-out and compare of the image the flash holds
    kInformation,   // /I
    kDifferential,  // /D over a flash that holds the image, or part of it
};

// A run of the 256 KB image other than the plain update: counted on the
// board that answers at once, timed on the default board's timing.
struct ModeRun {
    ModeKind kind;
    const char* mode;
    const Family* family;  // the board's flash
    std::string command;   // the tool's arguments
    double limit;          // /D: modeled time at most this share of the default update's; 0: none
    BoardRun counted;
    BoardRun modeled;
};

struct Results {
    std::vector<CountRun> counts;
    std::vector<ModeRun> modes;
    std::vector<ControlRun> controls;
    SpeedRuns speed;
    std::vector<ModelRun> models;
    std::vector<std::string> problems;  // a run that failed or disagreed with the board
};

}  // namespace bench
