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

void ShowOptions()
{
    static constexpr const char* kLines[] = {
        " Options :",
        "        <image> <size in KB>  flash the image; size 0: not checked",
        "        /F                    after the image: skip the project-name check",
        "        /BK | /Mn | /Bp       the image is the boot-block, main-code or backup-code region",
        "        /O <hex>              flash base, a multiple of 64 KB",
        "        /j                    end flash mode with the reset (0xFC)",
        "        /C                    with an image: compare the flash with it, write nothing",
        "        /D                    with an image: rewrite only the erase units that differ from it",
        "        /R <file> <KB>        save the flash from the base into a new file; 0 KB: to the part's end",
        "        /I                    show the flash's part, size and protection; write nothing",
        "        /L <file>             append a one-line JSON record of the run to the file",
        "        /T                    test: erase the first 4 KB and write a page (destroys the boot code)",
        "        /PB                   write-protect the boot block",
        "        /V                    show the EC version and project name",
        "        /VB [text]            BRAM version; status 0 when the text is newer",
        "        /VBF <image>          BRAM version against the image's",
        "        /VC [text]            eight-character version; status 0 when equal",
        "        --help | --version    this text, or the version alone",
    };
    for (const char* line : kLines)
        Print("\n\r%s", line);
    PrintLine("");
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
