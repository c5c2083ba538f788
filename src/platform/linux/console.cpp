// Console, pauses, clock and program end of the Linux program.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <cerrno>
#include <unistd.h>

#include "platform/platform.h"

namespace {

// On a terminal the progress marks should appear as they are made. Asked
// once; a plain global keeps the program free of C++ runtime guards.
int gStdoutTerminal = -1;

bool StdoutIsTerminal()
{
    if (gStdoutTerminal < 0)
        gStdoutTerminal = isatty(STDOUT_FILENO) != 0 ? 1 : 0;
    return gStdoutTerminal == 1;
}

}  // namespace

void delay(int32_t n)
{
    if (n <= 0)
        return;
    timespec left{n / 1000, static_cast<long>(n % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

// The Linux console is a plain stream: the status screen is written in order.
void clrscr() {}
void gotoxy(int, int) {}

namespace platform {

void ConsoleWrite(const char* text, size_t length)
{
    fwrite(text, 1, length, stdout);
    if (StdoutIsTerminal())
        fflush(stdout);
}

void ConsoleAttribute(uint8_t) {}

uint64_t NowUs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

void Exit(int status)
{
    fflush(stdout);
    std::exit(status);
}

}  // namespace platform
