#include "unknown_size.h"

#include "common/print.h"
#include "flash/read.h"
#include "flash/verify.h"

namespace driver {

namespace {

constexpr uint32_t kSmallestPart = 0x10000;

bool Same(const uint8_t* a, const uint8_t* b, uint32_t n)
{
    for (uint32_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

void SayNotHeld(uint32_t address)
{
    Print("\n\rThe flash does not hold the image at 0x%06X: the part may be smaller than the image.\n",
          static_cast<unsigned>(address));
}

}  // namespace

void UnknownSizeCheck::Before(uint32_t start)
{
    for (uint32_t size = kSmallestPart; size <= start && count_ < kMostProbes; size <<= 1) {
        const uint32_t place = start % size;
        if (count_ > 0 && places_[count_ - 1] == place)
            continue;
        places_[count_] = place;
        flash::ReadQuietly(place, held_[count_], kProbeBytes);
        ++count_;
    }
}

bool UnknownSizeCheck::After(uint32_t start, const uint8_t* image, uint32_t length) const
{
    uint32_t differs_at = 0;
    if (!flash::CheckImageHeld(start, image, length, &differs_at)) {
        SayNotHeld(differs_at);
        return false;
    }
    // An area that does not overlap itself when it wraps reads back whole
    // through the same wrapped addresses: only the cells it landed on,
    // below its start, tell. Bytes that changed there into the image's
    // first bytes were written by this update.
    const uint32_t n = length < kProbeBytes ? length : kProbeBytes;
    for (int p = 0; p < count_; ++p) {
        uint8_t now[kProbeBytes];
        flash::ReadQuietly(places_[p], now, n);
        if (!Same(now, held_[p], n) && Same(now, image, n)) {
            SayNotHeld(start);
            return false;
        }
    }
    return true;
}

}  // namespace driver
