#include "window.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/print.h"
#include "platform/platform.h"

namespace platform {

namespace {

constexpr off_t kWindowBase = 0x20000000;
constexpr size_t kWindowSize = 256;

int gDevice = -1;
volatile uint8_t* gWindow;

// Standard output keeps the tool's own line; standard error says why and
// what to do.
void ExplainOpen(const char* device_path, int error)
{
    fprintf(stderr, "kovrinux: cannot open %s: %s\n", device_path, strerror(error));
    if (error == EACCES || error == EPERM)
        fputs("kovrinux: run it as root: the LPC window is physical memory at 0x20000000.\n", stderr);
}

void ExplainMap(const char* device_path, int error)
{
    fprintf(stderr, "kovrinux: cannot map 0x20000000-0x200000FF of %s: %s\n", device_path, strerror(error));
    if (error == EPERM || error == EACCES)
        fputs("kovrinux: this kernel's strict /dev/mem rules refuse the range: boot with iomem=relaxed, or free "
              "the range from the driver that claims it.\n",
              stderr);
}

}  // namespace

int MapWindowFrom(const char* device_path)
{
    gDevice = open(device_path, O_RDWR);
    if (gDevice < 0) {
        const int error = errno;
        PrintLine("open /dev/mem failed.");
        ExplainOpen(device_path, error);
        return 1;
    }
    void* window = mmap(nullptr, kWindowSize, PROT_READ | PROT_WRITE, MAP_SHARED, gDevice, kWindowBase);
    if (window == MAP_FAILED) {
        const int error = errno;
        PrintLine("mmap /dev/mem failed.");
        ExplainMap(device_path, error);
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
