#include "signals.h"

#include <csignal>

namespace sim::host {

int SignalNumber(Signal signal)
{
    switch (signal) {
    case Signal::kInt: return SIGINT;
    case Signal::kTerm: return SIGTERM;
    case Signal::kHup: return SIGHUP;
    case Signal::kQuit: return SIGQUIT;
    case Signal::kTstp: return SIGTSTP;
    case Signal::kPipe: return SIGPIPE;
    case Signal::kNone: break;
    }
    return 0;
}

}  // namespace sim::host
