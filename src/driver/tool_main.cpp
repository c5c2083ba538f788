#include "tool_main.h"

#include "banner.h"
#include "common/print.h"
#include "common/run_record.h"
#include "common/text.h"
#include "modes.h"
#include "platform/platform.h"

namespace driver {

namespace {

using runrecord::Result;

// The common exit: the run's record, then the I/O window released, and the
// status given back.
int CommonExit(int status)
{
    runrecord::End(status);
    platform::CloseWindow();
    return status;
}

// The mode as the run's record names it.
constexpr const char* kModeNames[] = {"read-out", "update", "test", "protect", "information", "version", nullptr};

int RunChosenMode(const RunOptions& options)
{
    const RunMode mode = ChooseMode(options);
    runrecord::SetMode(mode == RunMode::kUpdate && options.compare ? "compare" : kModeNames[static_cast<int>(mode)]);
    switch (mode) {
    case RunMode::kReadOut:
        return RunReadOutMode(options);
    case RunMode::kUpdate:
        return RunUpdateMode(options);
    case RunMode::kTest:
        return RunTestMode();
    case RunMode::kProtect:
        return RunProtectMode();
    case RunMode::kInformation:
        return RunInformationMode(options);
    case RunMode::kVersion:
        return RunVersionQuery(options);
    case RunMode::kNone:
        break;
    }
    // Nothing that can run was asked for: not a success.
    PrintText("\n\rFile Open Fail!");
    runrecord::Fail(Result::kNoMode);
    return 1;
}

}  // namespace

int ToolMain(int argc, char* argv[])
{
    platform::ClearScreen();  // the UEFI console starts clean
    if (argc <= 1) {
        ShowUsage();
        return 0;
    }
    // Asked alone, these need no port: the window stays closed.
    if (argc == 2 && StrCmp(argv[1], "--help") == 0) {
        ShowUsage();
        ShowOptions();
        return 0;
    }
    if (argc == 2 && StrCmp(argv[1], "--version") == 0) {
        ShowBanner();
        return 0;
    }
    // The scan only reads the arguments; it comes first so that a run
    // without its window still leaves its record.
    RunOptions options;
    const ScanResult scan = ScanArguments(argc, argv, &options);
    runrecord::Start(argc, argv, options.log_file);
    if (platform::OpenWindow() != 0) {
        runrecord::Fail(Result::kNoWindow);
        runrecord::End(1);
        return 1;
    }

    switch (scan) {
    case ScanResult::kOk:
        return CommonExit(RunChosenMode(options));
    case ScanResult::kSizeLost:
        PrintLine("\n\rFile Size Paramter Lost, Please try again!\n");
        break;
    case ScanResult::kWrongParameter:
        ShowUsage();
        PrintLine("\n\nWrong Parameter! Please try again!\n");
        break;
    }
    runrecord::Fail(Result::kWrongParameter);
    return CommonExit(1);
}

}  // namespace driver
