// Console, pauses, clock and program end of the Linux program.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

#include "platform/hosted/hosted.h"
#include "platform/platform.h"

namespace platform {

void DelayUs(uint32_t us)
{
    if (us == 0)
        return;
    timespec left{static_cast<time_t>(us / 1000000), static_cast<long>(us % 1000000) * 1000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

// The Linux console is a plain stream: the status screen is written in order.
void ClearScreen() {}
void GotoXy(int, int) {}
void ConsoleColour(Colour) {}
void NotePhase(uint8_t) {}

// Every piece reaches the terminal, or a log file, as it is printed: a run
// that is killed or loses power must not take its last lines with it.
void ConsoleWrite(const char* text, size_t length)
{
    fwrite(text, 1, length, stdout);
    fflush(stdout);
}

uint64_t NowUs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000u + static_cast<uint64_t>(now.tv_nsec) / 1000u;
}

void Exit(int status)
{
    hosted::ReleaseAll();
    fflush(stdout);
    std::exit(status);
}

}  // namespace platform
