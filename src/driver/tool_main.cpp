#include "tool_main.h"

#include "banner.h"
#include "common/print.h"
#include "common/text.h"
#include "modes.h"
#include "platform/platform.h"

namespace driver {

namespace {

// The common exit: releases the I/O window and gives back the status.
int CommonExit(int status)
{
    platform::CloseWindow();
    return status;
}

int RunChosenMode(const RunOptions& options)
{
    switch (ChooseMode(options)) {
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
    if (platform::OpenWindow() != 0)
        return 1;

    RunOptions options;
    switch (ScanArguments(argc, argv, &options)) {
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
    return CommonExit(1);
}

}  // namespace driver
