// The board options of kovrinux-sim and kovrin-sim: read by the board's
// own parser, refusals and --help and --version shown here.
#include <cstdio>

#include "sim/host.h"
#include "complain.h"

#ifndef KOVRIN_VERSION
#error "KOVRIN_VERSION must give the project's version"
#endif

namespace sim {

namespace {

void PrintLine(void*, const char* line)
{
    printf("%s\n", line);
}

}  // namespace

BoardStart ParseBoardOptions(int argc, char* argv[], Config* config, int* tool_first)
{
    const char* program = argc > 0 ? argv[0] : "board";
    host::SetProgramName(program);
    BoardArgs args;
    ParseBoardArgs(argc, argv, config, &args);
    *tool_first = args.tool_first;
    switch (args.start) {
    case BoardStart::kRefused:
        host::Complain(args.why.c_str());
        break;
    case BoardStart::kHelp:
        BoardHelp(host::ProgramName(), true, PrintLine, nullptr);
        break;
    case BoardStart::kVersion:
        printf("%s %s\n", host::ProgramName(), KOVRIN_VERSION);
        break;
    case BoardStart::kRun:
        break;
    }
    fflush(stdout);
    return args.start;
}

}  // namespace sim
