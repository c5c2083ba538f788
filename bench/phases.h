// Which engine routine the running update is in. The engine notes each
// phase change to the platform (flash/phase.h); the virtual board's platform
// passes it on here, so every port access lands in the routine that made it.
#pragma once

#include "flash/phase.h"

namespace bench {

using Phase = flash::Phase;

inline constexpr int kPhaseCount = static_cast<int>(Phase::kCount);

const char* PhaseName(Phase phase);

class PhaseObserver {
public:
    virtual ~PhaseObserver() = default;
    // Called as a routine begins and, with Phase::kSession, as it returns.
    virtual void EnterPhase(Phase phase) = 0;
};

// The observer phase changes go to (null: none).
void ObservePhases(PhaseObserver* observer);

}  // namespace bench
