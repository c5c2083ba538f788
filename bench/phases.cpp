#include "phases.h"

#include <cstdint>

namespace bench {

namespace {

PhaseObserver* gObserver;
Phase gCurrent = Phase::kSession;

void Switch(Phase phase)
{
    gCurrent = phase;
    if (gObserver != nullptr)
        gObserver->EnterPhase(phase);
}

// The phase of one routine call; the caller's phase comes back after it.
class Within {
public:
    explicit Within(Phase phase) : outer_(gCurrent) { Switch(phase); }
    ~Within() { Switch(outer_); }
    Within(const Within&) = delete;
    Within& operator=(const Within&) = delete;

private:
    Phase outer_;
};

}  // namespace

const char* PhaseName(Phase phase)
{
    static const char* const kNames[kPhaseCount] = {"session", "unlock", "erase", "erase check", "program", "verify"};
    return kNames[static_cast<int>(phase)];
}

void ObservePhases(PhaseObserver* observer)
{
    gObserver = observer;
    gCurrent = Phase::kSession;
}

}  // namespace bench

// The wrapped routines, by their linker names (each listed in KOVRIN_BENCH_WRAPPED
// in CMakeLists.txt). --wrap sends the tool's calls here and gives the real
// routine the __real_ name.
#define BENCH_WRAP(symbol, result, phase)                                \
    extern "C" result __real_##symbol(uint8_t h, uint8_t m, uint8_t l); \
    extern "C" result __wrap_##symbol(uint8_t h, uint8_t m, uint8_t l)  \
    {                                                                    \
        Within within(Phase::phase);                                     \
        return __real_##symbol(h, m, l);                                 \
    }

namespace bench {

extern "C" void __real__Z12SPIUnlockAllv();
extern "C" void __wrap__Z12SPIUnlockAllv()
{
    Within within(Phase::kUnlock);
    __real__Z12SPIUnlockAllv();
}

BENCH_WRAP(_Z21vSPIBlockErase64KBytehhh, void, kErase)
BENCH_WRAP(_Z22vSPIVerifyErase64KBytehhh, uint8_t, kEraseCheck)
BENCH_WRAP(_Z18ByteProgram64KBytehhh, void, kProgram)
BENCH_WRAP(_Z23ByteProgram64KByte_PP32hhh, void, kProgram)
BENCH_WRAP(_Z18vAAIProgram64KBytehhh, void, kProgram)
BENCH_WRAP(_Z22vAAIWordProgram64KBytehhh, void, kProgram)
BENCH_WRAP(_Z17vSPIVerify64KBytehhh, uint8_t, kVerify)

}  // namespace bench
