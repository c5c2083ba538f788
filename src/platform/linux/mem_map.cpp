#include "mem_map.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "common/print.h"
#include "platform/platform.h"

int fd;
uint8_t* mem;

namespace {

constexpr off_t kWindowBase = 0x20000000;
constexpr size_t kWindowSize = 256;
// Matches the mailbox bound: a status that never changes must not hang us.
constexpr uint64_t kStatusLimitUs = 5'000'000;

void PollAcpiStatus(uint8_t mask, uint8_t wanted)
{
    if (fd < 0 || mem == nullptr)
        return;
    const uint64_t start = platform::NowUs();
    for (uint32_t polls = 0;; ++polls) {
        if ((IoRead8(0x66) & mask) == wanted)
            return;
        if ((polls & 0xFF) == 0xFF && platform::NowUs() - start >= kStatusLimitUs)
            return;
    }
}

}  // namespace

int MemMapDevice(const char* path)
{
    fd = open(path, O_RDWR);
    if (fd < 0) {
        kline("open /dev/mem failed.");
        return 1;
    }
    void* window = mmap(nullptr, kWindowSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, kWindowBase);
    if (window == MAP_FAILED) {
        kline("mmap /dev/mem failed.");
        close(fd);
        fd = -1;
        return 1;
    }
    mem = static_cast<uint8_t*>(window);
    return 0;
}

int MemMap6266()
{
    return MemMapDevice("/dev/mem");
}

void MemUnmap6266()
{
    if (mem == nullptr)
        return;
    close(fd);
    munmap(mem, kWindowSize);
    mem = nullptr;
}

uint8_t IoRead8(uint16_t port)
{
    return *(static_cast<volatile uint8_t*>(mem) + (port & 0xFF));
}

void IoWrite8(uint16_t port, uint32_t value)
{
    *(static_cast<volatile uint8_t*>(mem) + (port & 0xFF)) = static_cast<uint8_t>(value);
}

void EcIbFree()
{
    PollAcpiStatus(0x02, 0x00);
}

void EcObFull()
{
    PollAcpiStatus(0x01, 0x01);
}

namespace platform {

int OpenWindow()
{
    return MemMap6266();
}

void CloseWindow()
{
    MemUnmap6266();
}

}  // namespace platform
