// Stop signals on a hosted system (Linux and the virtual board's programs).
#include <csignal>

#include "hosted.h"
#include "platform/platform.h"

namespace platform {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGTSTP};
constexpr size_t kCount = sizeof kStopSignals / sizeof kStopSignals[0];

volatile sig_atomic_t gStopRequested;
bool gHeld;
struct sigaction gBefore[kCount];

void NoteStop(int)
{
    gStopRequested = 1;
}

}  // namespace

void HoldStopSignals()
{
    if (gHeld)
        return;
    gHeld = true;
    struct sigaction note = {};
    note.sa_handler = NoteStop;
    sigemptyset(&note.sa_mask);
    note.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kCount; ++i)
        sigaction(kStopSignals[i], &note, &gBefore[i]);
}

void ReleaseStopSignals()
{
    if (!gHeld)
        return;
    gHeld = false;
    for (size_t i = 0; i < kCount; ++i)
        sigaction(kStopSignals[i], &gBefore[i], nullptr);
}

bool StopRequested()
{
    return gStopRequested != 0;
}

namespace hosted {

// A closed pipe or terminal must not end a run that holds the EC: console
// writes then fail quietly instead.
void IgnoreBrokenPipes()
{
    signal(SIGPIPE, SIG_IGN);
}

}  // namespace hosted

}  // namespace platform
