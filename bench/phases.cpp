#include "phases.h"

#include <cstdint>

#include "platform/sim/sim_platform.h"

namespace bench {

namespace {

PhaseObserver* gObserver;

void Forward(uint8_t phase)
{
    if (gObserver != nullptr)
        gObserver->EnterPhase(static_cast<Phase>(phase));
}

}  // namespace

const char* PhaseName(Phase phase)
{
    static const char* const kNames[kPhaseCount] = {"session", "unlock", "erase", "erase check", "program",
                                                       "verify",  "read",   "sfdp",  "final check", "compare"};
    return kNames[static_cast<int>(phase)];
}

void ObservePhases(PhaseObserver* observer)
{
    gObserver = observer;
    simplat::ObservePhases(observer != nullptr ? Forward : nullptr);
}

}  // namespace bench
