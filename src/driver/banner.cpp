#include "banner.h"

#include "common/print.h"
#include "common/program.h"
#include "flash/ident.h"
#include "platform/platform.h"

namespace driver {

void ShowBanner()
{
    platform::GotoXy(1, 1);
    Print(kProgram.banner, kProgram.version);
}

void ShowUsage()
{
    const char* name = kProgram.name;
    ShowBanner();
    PrintText("\n\r Usage : ");
    Print("\n\r        %s <ec filename> [filesize][/V][/F]", name);
    PrintText("\n\r        ");
    PrintText("\n\r Example :");
    Print("\n\r        %s ec.bin 128", name);
    PrintText("\n\r                Flash ec.bin filesize 128K");
    Print("\n\r        %s ec.bin 128 /F", name);
    PrintText("\n\r                Flash ec.bin filesize 128K and check the project name");
    Print("\n\r        %s /V", name);
    PrintLine("\n\r                Show the EC version and project name");
}

void ShowStatusScreen(const flash::FlashPart& part, uint32_t block)
{
    platform::ClearScreen();
    ShowBanner();
    flash::ShowDeviceId(part);
    flash::ShowVendor(part);
    flash::ShowBlockNumber(block);
    platform::GotoXy(1, 10);
}

}  // namespace driver
