// The board options in front of "--" on the command line of the board
// programs, read into a Config. Freestanding, so that kovrin-sim.efi reads
// them as kovrinux-sim does; the programs print the refusals and the help
// and handle the files.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config.h"
#include "text.h"

namespace sim {

struct BoardOption {
    const char* name;     // "--flash"
    const char* value;    // what its value is, "PART"; nullptr when it takes none
    const char* meaning;  // one line of --help
    const char* fallback; // what holds without it
    bool host_only;       // needs the host's files or clock
};

// Every board option, in the order --help shows them.
const BoardOption* BoardOptions(size_t* count);

enum class BoardStart : uint8_t {
    kRun,      // run the tool
    kHelp,     // --help: show the help, exit 0
    kVersion,  // --version: show the version, exit 0
    kRefused,  // a bad option: show why, exit 2
};

struct BoardArgs {
    BoardStart start = BoardStart::kRun;
    int tool_first = 0;  // argv index of the tool's first argument (argc when none)
    int refused = 0;     // argv index of the option refused
    int host_only = 0;   // argv index of the first host-only option, 0 when none
    Text<400> why;       // the refusal: the option, its value and what is wrong
};

// Reads argv[1..] up to "--" into config (arguments are kept by pointer).
// Every value is checked whole; the size and the stuck bytes once every
// option has been seen.
void ParseBoardArgs(int argc, char* const* argv, Config* config, BoardArgs* out);

// The help, line by line without newlines: usage, the options (with host
// false, those a program without host files lacks are left out), the parts
// and their sizes.
using HelpLine = void (*)(void* context, const char* line);
void BoardHelp(const char* program, bool host, HelpLine line, void* context);

}  // namespace sim
