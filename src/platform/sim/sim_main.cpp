// kovrinux-sim and kovrin-sim: the tool on the virtual board.
//   <program> [BOARD OPTIONS] -- [ARGUMENTS OF THE TOOL]
#include <cstdio>
#include <vector>

#include "driver/tool_main.h"
#include "platform/hosted/hosted.h"
#include "sim/host.h"
#include "sim/host/signals.h"
#include "sim_platform.h"

namespace {

sim::Config gConfig;
sim::Board gBoard;
bool gFinished;

int Finish(int status)
{
    if (gFinished)
        return status;
    gFinished = true;
    fflush(stdout);
    return sim::CloseBoard(gConfig, &gBoard) ? status : 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    int first = argc;
    switch (sim::ParseBoardOptions(argc, argv, &gConfig, &first)) {
    case sim::BoardStart::kRun:
        break;
    case sim::BoardStart::kRefused:
        return 2;
    case sim::BoardStart::kHelp:
    case sim::BoardStart::kVersion:
        return 0;
    }
    if (!sim::OpenBoard(gConfig, &gBoard))
        return 2;
    simplat::Install(&gBoard, gConfig.real_time);
    simplat::SetFinish(Finish);
    simplat::RaiseAfter(sim::host::SignalNumber(gConfig.signal), gConfig.signal_after);
    platform::hosted::IgnoreBrokenPipes();

    // The tool sees the simulator's own name as its program name.
    std::vector<char*> args{argv[0]};
    for (int i = first; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    const int status = driver::ToolMain(static_cast<int>(args.size()) - 1, args.data());
    return Finish(status);
}
