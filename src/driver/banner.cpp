#include "banner.h"

#include "common/flavour.h"
#include "common/print.h"
#include "platform/platform.h"

void vShowVersion()
{
    gotoxy(1, 1);
    kprint(kFlavour.banner, kFlavour.version);
}

void vShowUsage()
{
    const char* name = kFlavour.program;
    vShowVersion();
    kputs("\n\r Usage : ");
    kprint("\n\r        %s <ec filename> [filesize][/V][/F]", name);
    kputs("\n\r        ");
    kputs("\n\r Example :");
    kprint("\n\r        %s ec.bin 128", name);
    kputs("\n\r                Flash ec.bin filesize 128K");
    kprint("\n\r        %s ec.bin 128 /F", name);
    kputs("\n\r                Flash ec.bin filesize 128K and check the project name");
    kprint("\n\r        %s /V", name);
    kline("\n\r                Show the EC version and project name");
}
