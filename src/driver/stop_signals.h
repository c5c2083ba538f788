// The span of a run in which stop signals are held (platform.h).
#pragma once

#include "platform/platform.h"

namespace driver {

class StopSignalsHeld {
public:
    StopSignalsHeld() { platform::HoldStopSignals(); }
    ~StopSignalsHeld() { platform::ReleaseStopSignals(); }
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;
};

// The status of a short job that ran to its end: 1 when a stop signal came
// meanwhile, after saying so.
int StatusAfterStop(int status);

}  // namespace driver
