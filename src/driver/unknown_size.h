// What stands in for the capacity check on a part whose size neither its
// id nor SFDP tells: an image that runs past the part's end wraps onto its
// start, and each block's verify passes on what was just written there.
#pragma once

#include <cstdint>

namespace driver {

class UnknownSizeCheck {
public:
    // Before the first erase: the bytes where a part smaller than the
    // area's start would put its first bytes (the start taken modulo each
    // power of two from 64 KB up to it).
    void Before(uint32_t start);
    // After the last block: reads the whole area back against the image,
    // and the places above again. False, after saying where, when the flash
    // does not hold the image or a place took the image's first bytes.
    bool After(uint32_t start, const uint8_t* image, uint32_t length) const;

private:
    static constexpr uint32_t kProbeBytes = 16;
    static constexpr int kMostProbes = 8;  // 64 KB up to 8 MB below 16 MB

    uint32_t places_[kMostProbes] = {};
    uint8_t held_[kMostProbes][kProbeBytes] = {};
    int count_ = 0;
};

}  // namespace driver
