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
    return ToolMain(argc, argv);
}

extern "C" int KovrinRunEnded(int status)
{
    return status;
}

uint8_t IoRead8(uint16_t port)
{
    return *PortAddress(port);
}

void IoWrite8(uint16_t port, uint32_t value)
{
    *PortAddress(port) = static_cast<uint8_t>(value);
}

void delay(int32_t n)
{
    if (n > 0)
        UefiStall(static_cast<unsigned long long>(n));
}

namespace platform {

uint64_t NowUs()
{
    return UefiNowUs();
}

}  // namespace platform
