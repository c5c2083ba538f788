// Bounded waits. A device that never shows the awaited bit would otherwise
// keep the tool polling for ever, with the keyboard disabled and the EC in
// flash mode; instead the run ends with a timeout line and status 1.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace hostio {

inline constexpr uint64_t kMailboxLimitUs = 5'000'000;
inline constexpr uint64_t kFlashLimitUs = 30'000'000;

// What a wait was for, printed when it expires: "<what>" or
// "<what> on port 0x6C" when a port is given (port < 0: none).
struct Awaited {
    const char* what;
    int port;
};

// Prints "\n\rTimeout: ..." as a line, tries (bounded) to take the EC out of
// flash mode and re-enable the keyboard, then ends the run with status 1.
[[noreturn]] void WaitExpired(Awaited awaited);

// Polls until ready() holds. The first poll costs nothing extra; the clock is
// read only every 256 polls so a poll stays one port access.
template <typename Ready>
inline bool TryWaitFor(Ready ready, uint64_t limit_us)
{
    if (ready())
        return true;
    const uint64_t start = platform::NowUs();
    for (uint32_t polls = 1;; ++polls) {
        if (ready())
            return true;
        if ((polls & 0xFF) == 0 && platform::NowUs() - start >= limit_us)
            return false;
    }
}

template <typename Ready>
inline void WaitFor(Ready ready, uint64_t limit_us, Awaited awaited)
{
    if (!TryWaitFor(ready, limit_us))
        WaitExpired(awaited);
}

}  // namespace hostio
