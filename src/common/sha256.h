// SHA-256 (FIPS 180-4), fed in pieces: the digest of an image and of what the
// flash holds, for a run's record. Freestanding: no heap, no library.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr size_t kSha256Bytes = 32;
// Lower-case hex and its terminating NUL.
inline constexpr size_t kSha256HexSize = 2 * kSha256Bytes + 1;

class Sha256 {
public:
    // Constant-initialised, so a global one needs no constructor run.
    constexpr Sha256() = default;

    void Add(const uint8_t* bytes, size_t length);
    // The digest of everything added; the object starts afresh after it.
    void Finish(uint8_t (&digest)[kSha256Bytes]);

private:
    void Compress(const uint8_t* block);

    uint32_t state_[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                          0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    uint64_t length_ = 0;  // bytes added
    uint8_t block_[64] = {};
    size_t used_ = 0;      // bytes waiting in block_
};

void Sha256Hex(const uint8_t (&digest)[kSha256Bytes], char (&text)[kSha256HexSize]);
