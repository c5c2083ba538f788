// What the benchmark measured, and the targets it checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board_run.h"
#include "sim/config.h"

namespace bench {

// A flash part family and the programming routine the tool picks for it.
struct Family {
    const char* flash;       // --flash name
    sim::Part part;
    const char* routine;
    uint8_t program_opcode;  // the command that carries the image
    uint32_t bytes_per_command;
};

inline constexpr Family kFamilies[] = {
    {"winbond", sim::Part::kWinbond, "page 0x02", 0x02, 256},
    {"mxic-pp32", sim::Part::kMxicPp32, "32-byte burst 0x02", 0x02, 32},
    {"sst-old", sim::Part::kSstOld, "AAI byte 0xAF", 0xAF, 1},
    {"sst", sim::Part::kSst, "AAI word 0xAD", 0xAD, 2},
    {"ite", sim::Part::kIte, "AAI word 0xAD, 1 KB erase 0xD7", 0xAD, 2},
};

// The image of the counted and timed updates.
inline constexpr uint32_t kImageKb = 256;

// Limits checked by the benchmark (never by tests).
inline constexpr double kWallLimitS = 0.25;
inline constexpr long kRssSlackKb = 8 * 1024;

// One whole update on a board whose EC and flash answer at once.
struct CountRun {
    const Family* family;
    uint32_t image_kb;
    BoardRun run;
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

// A read-out or compare of the 256 KB image that the flash holds: counted
// on the board that answers at once, timed on the default board.
struct ModeRun {
    const char* mode;
    std::string command;  // the tool's arguments
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
