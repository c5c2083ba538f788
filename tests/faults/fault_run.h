// Whole runs of kovrinux-sim with a fault on the board, and what every such
// run must show: it ends by itself, says why, leaves the board as usable as
// the fault allows, and never touches the image file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace faults {

inline const std::string kProject = "DEMO";  // the board's default

// Bytes that look like firmware, with the project name at 0x40.
std::vector<uint8_t> Image(size_t length, uint32_t seed = 1);
// The flash before a run: old firmware without 0xFF bytes, so a skipped
// erase or a stray write shows; size bytes (those of the default board).
std::vector<uint8_t> OldFlash(size_t size = 256 * 1024);

struct SimRun {
    std::vector<std::string> board;  // board options; the files are added
    std::vector<std::string> tool;   // the tool's arguments; "IMAGE" is the image's path
    std::vector<uint8_t> image;      // written as the image file when not empty
};

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
    std::vector<std::string> trace;  // one entry per line
    uint64_t modeled_us = 0;         // the board's virtual clock at the end
    std::vector<uint8_t> flash;      // what the flash reads back at the end
};

// Runs kovrinux-sim with the old flash in and the flash, trace and stats
// out; fails the test if the image file changed.
Outcome RunSim(const SimRun& run);

// Counts the runs made with a fault on the board, for the figures.
int FaultRuns();

// Index of the first "drop" line: the byte the hung EC did not take. The
// trace's size when nothing was dropped.
size_t FirstDrop(const std::vector<std::string>& trace);

// A run ended by a device that stopped answering: status 1; the timeout
// line last, and before it only what the fault-free run printed (nothing
// misreported); ended within limit_us of virtual time beyond the
// fault-free run.
void ExpectTimedOut(const Outcome& faulty, const Outcome& good, uint64_t limit_us);

// The trace of a run whose EC hung: up to the byte it did not take, the
// fault-free run's; after it at most one try of the closing command
// (closing: "fe" or "fc") and, if the keyboard was turned off, "kbc ae"
// last. Where flash mode was entered the closing try is required.
void ExpectHungEcLeftAlone(const Outcome& faulty, const Outcome& good, const std::string& closing);

// The closing command taken exactly once, then "kbc ae" last, and no byte
// the EC did not take.
void ExpectClosedOnce(const Outcome& o, const std::string& closing);

bool StartsWith(const std::string& s, const std::string& head);
bool EndsWith(const std::string& s, const std::string& tail);

// What an update that fails once its first erase has begun says last.
inline const std::string kPartialImage =
    "\n\rThe flash may hold a partial image; run the update again before resetting the board.\n";

// A fixture that records how many fault runs each test made.
class FaultTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    int runs_at_start_ = 0;
};

}  // namespace faults
