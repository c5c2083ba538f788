#include "tool_main.h"

#include "args.h"
#include "banner.h"
#include "common/print.h"
#include "modes.h"
#include "platform/platform.h"

int CommonExit(int status)
{
    platform::CloseWindow();
    return status;
}

int ToolMain(int argc, char* argv[])
{
    clrscr();  // the UEFI console starts clean; nothing on the Linux console
    if (argc <= 1) {
        vShowUsage();
        return 0;
    }
    if (platform::OpenWindow() != 0)
        return 1;

    switch (ScanArguments(argc, argv)) {
    case ScanResult::kOk:
        break;
    case ScanResult::kSizeLost:
        kline("\n\rFile Size Paramter Lost, Please try again!\n");
        return CommonExit(1);
    case ScanResult::kWrongParameter:
        vShowUsage();
        kline("\n\nWrong Parameter! Please try again!\n");
        return CommonExit(1);
    }

    switch (ChooseMode()) {
    case RunMode::kUpdate:
        return CommonExit(RunUpdateMode());
    case RunMode::kTest:
        return CommonExit(RunTestMode());
    case RunMode::kProtect:
        return CommonExit(RunProtectMode());
    case RunMode::kVersion:
        return CommonExit(RunVersionQuery());
    case RunMode::kNone:
        break;
    }
    // Nothing that can run was asked for: not a success.
    kputs("\n\rFile Open Fail!");
    return CommonExit(1);
}
