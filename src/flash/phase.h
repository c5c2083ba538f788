// Which part of an update (or read-out) the engine is in. The port accesses of each
// routine belong to its phase; the virtual board's platform records it for
// the benchmark, the others ignore it.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace flash {

enum class Phase : uint8_t {
    kSession,
    kUnlock,
    kErase,
    kEraseCheck,
    kProgram,
    kVerify,
    kRead,
    kSfdp,        // the size from SFDP, where the id does not tell it
    kFinalCheck,  // the read-back of a part of unknown size
    kCompare,     // the read before an erase that only rewrites what differs
    kCount,
};

// The phase of one routine call; back to the session when it returns.
class PhaseScope {
public:
    explicit PhaseScope(Phase phase) { platform::NotePhase(static_cast<uint8_t>(phase)); }
    ~PhaseScope() { platform::NotePhase(static_cast<uint8_t>(Phase::kSession)); }
    PhaseScope(const PhaseScope&) = delete;
    PhaseScope& operator=(const PhaseScope&) = delete;
};

}  // namespace flash
