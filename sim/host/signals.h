// The host's number for a signal of --signal.
#pragma once

#include "sim/config.h"

namespace sim::host {

// 0 for Signal::kNone.
int SignalNumber(Signal signal);

}  // namespace sim::host
