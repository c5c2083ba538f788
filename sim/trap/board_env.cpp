// The board behind the window: built from KOVRIN_BOARD when the library is
// loaded, its files written when the program exits. The tool's monotonic
// clock and its sleeps are the board's virtual clock, as in kovrinux-sim.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "sim/host.h"
#include "sim/host/complain.h"
#include "sim/host/signals.h"
#include "trap.h"

#define INTERPOSED extern "C" __attribute__((visibility("default")))

namespace {

constexpr const char* kVariable = "KOVRIN_BOARD";

sim::Config gConfig;
sim::Board gBoard;
bool gOpen;
// The variable split into words; the config points into it.
char* gWords;

void CloseAtExit()
{
    if (!gOpen)
        return;
    gOpen = false;
    fflush(stdout);
    if (!sim::CloseBoard(gConfig, &gBoard))
        _exit(2);
}

__attribute__((constructor)) void OpenFromEnvironment()
{
    const char* options = getenv(kVariable);
    gWords = strdup(options != nullptr ? options : "");
    std::vector<char*> argv{const_cast<char*>("kovrin-trap")};
    char* rest = gWords;
    while (char* word = strtok_r(rest, " \t\n", &rest))
        argv.push_back(word);
    const int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);

    int tool_first = argc;
    if (sim::ParseBoardOptions(argc, argv.data(), &gConfig, &tool_first) != sim::BoardStart::kRun)
        _exit(2);
    if (tool_first < argc)
        trap::Stop("KOVRIN_BOARD holds board options only; the tool's arguments go on its own command line");
    if (!sim::OpenBoard(gConfig, &gBoard))
        _exit(2);
    gOpen = true;
    atexit(CloseAtExit);
}

template <typename Function>
Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

namespace trap {

sim::Board& TheBoard()
{
    return gBoard;
}

void AfterAccess()
{
    if (gConfig.signal == sim::Signal::kNone)
        return;
    const sim::Stats& s = gBoard.stats();
    if (s.port_reads + s.port_writes < gConfig.signal_after)
        return;
    const int signo = sim::host::SignalNumber(gConfig.signal);
    gConfig.signal = sim::Signal::kNone;
    raise(signo);
}

void Stop(const char* text)
{
    fflush(stdout);
    sim::host::Complain(text);
    _exit(2);
}

}  // namespace trap

INTERPOSED int clock_gettime(clockid_t clock, timespec* now)
{
    if (clock != CLOCK_MONOTONIC || !gOpen) {
        static auto next = Next<int (*)(clockid_t, timespec*)>("clock_gettime");
        return next(clock, now);
    }
    const uint64_t us = gBoard.NowUs();
    now->tv_sec = static_cast<time_t>(us / 1000000);
    now->tv_nsec = static_cast<long>(us % 1000000) * 1000;
    return 0;
}

INTERPOSED int nanosleep(const timespec* length, timespec* left)
{
    static auto next = Next<int (*)(const timespec*, timespec*)>("nanosleep");
    if (!gOpen)
        return next(length, left);
    if (length->tv_sec < 0 || length->tv_nsec < 0 || length->tv_nsec > 999999999) {
        errno = EINVAL;
        return -1;
    }
    // A sleep lasts at least what was asked: part of a microsecond counts whole.
    gBoard.Pause(static_cast<uint64_t>(length->tv_sec) * 1000000 + (static_cast<uint64_t>(length->tv_nsec) + 999) / 1000);
    if (gConfig.real_time)
        return next(length, left);
    return 0;
}
