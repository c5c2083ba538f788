// How long a mailbox keeps a byte before its device takes it, counted in
// status reads of that mailbox: a fixed number, or with --jitter a number
// drawn from 0..N for each byte, the same for the same seed.
#pragma once

#include <cstdint>

namespace sim {

class Jitter {
public:
    void Init(bool enabled, uint64_t seed)
    {
        enabled_ = enabled;
        state_ = seed;
    }

    uint32_t Draw(uint32_t most)
    {
        if (!enabled_ || most == 0)
            return most;
        state_ = state_ * 6364136223846793005u + 1442695040888963407u;
        return static_cast<uint32_t>((state_ >> 33) % (uint64_t{most} + 1));
    }

private:
    bool enabled_ = false;
    uint64_t state_ = 0;
};

}  // namespace sim
