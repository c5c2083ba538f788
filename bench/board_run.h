// A whole run (update, read-out, compare, ...) of the tool's own code (driver, mailboxes,
// engine) on a virtual board built here, as kovrinux-sim runs it, but with
// board settings the product's command line does not offer (a flash that
// answers at once) and every port access attributed to the engine routine
// that made it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "phases.h"
#include "protocol_minimum.h"
#include "sim/config.h"
#include "sim/stats.h"

namespace bench {

struct BoardRun {
    int status = -1;            // the tool's exit status
    bool flash_matches = false; // the flash holds what it should afterwards
    sim::Stats stats{};
    uint64_t modeled_us = 0;
    bool counted = false;        // phases below are filled
    bool log_overflow = false;   // a phase made more accesses than the log holds
    Tally phases[kPhaseCount];
    std::string console;         // what the tool printed
};

// Every phase of a counted run together.
Tally WholeRun(const BoardRun& run);

// Runs "kovrinux <args>" on a board built from config whose flash starts
// as flash_in (erased past it), and checks that it holds expected from byte
// 0 afterwards. With count_phases every port access is recorded and costed
// against the protocol minimum, per phase. The run has a process of its
// own, as a run of the program has.
BoardRun RunOnBoard(const sim::Config& config, const std::vector<std::string>& args,
                    const std::vector<uint8_t>& flash_in, const std::vector<uint8_t>& expected, bool count_phases);

// Runs "kovrinux <image_path> <KB>" on an erased flash; image is the file's
// content.
BoardRun RunUpdateOnBoard(const sim::Config& config, const std::string& image_path,
                          const std::vector<uint8_t>& image, bool count_phases);

}  // namespace bench
