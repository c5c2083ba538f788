// What the erase, check, programming and verify routines of one flash
// block (or region) work from. Addresses are linear flash addresses.
#pragma once

#include <cstdint>

namespace flash {

inline constexpr uint32_t kBlockBytes = 0x10000;
inline constexpr uint32_t kSectorBytes = 0x1000;
inline constexpr uint32_t kPageBytes = 256;
inline constexpr uint32_t kPagesPerBlock = kBlockBytes / kPageBytes;

// The image bytes that go to one block: the flash past them is left alone.
struct BlockImage {
    const uint8_t* bytes;
    uint32_t length;        // at most kBlockBytes
    uint32_t image_offset;  // of bytes[0] in the image file
};

// Progress marks: one per 4 KB, or one per 256 bytes (the boot block).
enum class Marks : uint8_t { kPer4K, kPer256 };

// Where a page-programming run stopped: its page and the byte within the
// last command. A failed whole-block erase check reports the last run's.
struct PageCounters {
    uint16_t page;
    uint16_t byte;
};

}  // namespace flash
