// The host side of the virtual board: its command line and its files.
#pragma once

#include "board.h"
#include "options.h"

namespace sim {

// Reads the board options in argv[1..] up to "--" and sets *tool_first to
// the index of the tool's first argument (argc when there is none). kRun:
// run the tool; kHelp, kVersion: shown on standard output, exit 0;
// kRefused: a message on standard error, exit 2.
BoardStart ParseBoardOptions(int argc, char* argv[], Config* config, int* tool_first);

// Builds the board from the config: allocates the flash (all 0xFF), reads
// --flash-in, opens --trace and sets the trace sink. False with a message on
// standard error.
bool OpenBoard(const Config& config, Board* board);

// Writes --flash-out (what the flash reads back) and --stats, closes the
// trace and releases the flash memory: the board is not to be used again
// before the next OpenBoard. False with a message on standard error.
bool CloseBoard(const Config& config, Board* board);

}  // namespace sim
