// kovrin.efi's ports and clock: the LPC window is physical memory, and UEFI
// runs identity-mapped, so 0x20000000 + port is the address to use.
#include <cstdint>

#include "driver/tool_main.h"
#include "platform/platform.h"
#include "platform/uefi/uefi_services.h"

namespace {

constexpr uintptr_t kWindowBase = 0x20000000;

// A function, not a pointer constant: a reinterpret_cast initialiser would be
// a dynamic initialisation, and nothing runs those here.
volatile uint8_t* PortAddress(uint16_t port)
{
    return reinterpret_cast<volatile uint8_t*>(kWindowBase + (port & 0xFFu));
}

}  // namespace

extern "C" int KovrinRunTool(int argc, char** argv)
{
    return driver::ToolMain(argc, argv);
}

extern "C" int KovrinRunEnded(int status)
{
    return status;
}

namespace platform {

uint8_t IoRead8(uint16_t port)
{
    return *PortAddress(port);
}

void IoWrite8(uint16_t port, uint8_t value)
{
    *PortAddress(port) = value;
}

void DelayUs(uint32_t us)
{
    if (us > 0)
        UefiStall(us);
}

uint64_t NowUs()
{
    return UefiNowUs();
}

}  // namespace platform
