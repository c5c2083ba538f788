// The tool's own code on an in-process virtual board: for tests that call
// the mailbox, Super I/O and flash routines directly and look at the port
// accesses, the trace, the console and the flash they produce.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim/board.h"

namespace testsupport {

class SimBoardTest : public ::testing::Test {
protected:
    // Change config, then call Boot() (SetUp boots the default board).
    void SetUp() override;
    void TearDown() override;
    // Builds the board from config (flash erased, or from flash_image when
    // not empty) and captures the console and the trace.
    void Boot();
    // Starts recording port accesses (forgets earlier ones).
    void RecordPorts(size_t capacity = 1 << 16);
    std::vector<sim::PortEvent> Ports() const;
    // Console text since the last call.
    std::string TakeConsole();
    // Trace lines since the last call; "spi" lines without the program's
    // own pair (" @6c" in kovrinux).
    std::string TakeTrace();
    // What the flash reads back now.
    std::vector<uint8_t> FlashContent() const;

    sim::Config config;
    std::vector<uint8_t> flash_image;  // power-on content (empty: all 0xFF)
    sim::Board board;

private:
    std::vector<uint8_t> flash_;
    std::vector<sim::PortEvent> ports_;
    std::string console_;
    std::string trace_;
};

// The port log as short text: "r6c" for a read, "w6c=92" for a write,
// separated by blanks.
std::string Render(const std::vector<sim::PortEvent>& events);

// Runs op in a death test: a wait that expires ends the process through
// platform::Exit, and its console text goes to standard error for the test
// to match.
void RunToDeath(const std::function<void()>& op);

}  // namespace testsupport
