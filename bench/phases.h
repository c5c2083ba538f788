// Which engine routine the running update is in. The benchmark links the
// tool with the engine's entry points wrapped (-Wl,--wrap, see
// CMakeLists.txt): each wrapper tells the observer before and after the
// real routine, so every port access lands in the routine that made it.
#pragma once

namespace bench {

enum class Phase { kSession, kUnlock, kErase, kEraseCheck, kProgram, kVerify, kCount };

inline constexpr int kPhaseCount = static_cast<int>(Phase::kCount);

const char* PhaseName(Phase phase);

class PhaseObserver {
public:
    virtual ~PhaseObserver() = default;
    // Called on entry to a routine and, with Phase::kSession, on its return.
    virtual void EnterPhase(Phase phase) = 0;
};

// The observer the wrappers report to (null: none).
void ObservePhases(PhaseObserver* observer);

}  // namespace bench
