#include "window.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "common/print.h"
#include "platform/platform.h"

namespace platform {

namespace {

constexpr off_t kWindowBase = 0x20000000;
constexpr size_t kWindowSize = 256;

int gDevice = -1;
volatile uint8_t* gWindow;

}  // namespace

int MapWindowFrom(const char* device_path)
{
    gDevice = open(device_path, O_RDWR);
    if (gDevice < 0) {
        PrintLine("open /dev/mem failed.");
        return 1;
    }
    void* window = mmap(nullptr, kWindowSize, PROT_READ | PROT_WRITE, MAP_SHARED, gDevice, kWindowBase);
    if (window == MAP_FAILED) {
        PrintLine("mmap /dev/mem failed.");
        close(gDevice);
        gDevice = -1;
        return 1;
    }
    gWindow = static_cast<volatile uint8_t*>(window);
    return 0;
}

int OpenWindow()
{
    return MapWindowFrom("/dev/mem");
}

// The device is closed first, then the window unmapped.
void CloseWindow()
{
    if (gWindow == nullptr)
        return;
    close(gDevice);
    munmap(const_cast<uint8_t*>(gWindow), kWindowSize);
    gDevice = -1;
    gWindow = nullptr;
}

uint8_t IoRead8(uint16_t port)
{
    return gWindow[port & 0xFF];
}

void IoWrite8(uint16_t port, uint8_t value)
{
    gWindow[port & 0xFF] = value;
}

}  // namespace platform
