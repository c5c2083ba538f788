// How long the flash parts stay busy, in microseconds of the board's virtual
// clock: the typical values of each member's datasheet (docs/virtual-board.md
// lists every value with its source). Where a member's datasheet gives no
// value, the nearest member of the same family lends its own; ITE publishes
// none, so its parts keep estimates.
//
// A page program takes the full-page time whatever its length. Fields a
// family has no opcode for are zero.
// Config::instant_flash takes kNoBusyTimes instead (tests, benchmark).
#pragma once

#include <cstdint>

namespace sim {

struct BusyTimes {
    uint32_t page_program;  // 0x02 on page parts
    uint32_t byte_program;  // 0x02 on SST25VF (one byte)
    uint32_t aai_byte;      // each 0xAF step
    uint32_t aai_word;      // each 0xAD step
    uint32_t erase_1k;      // 0xD7
    uint32_t erase_4k;      // 0x20
    uint32_t erase_32k;     // 0x52
    uint32_t erase_block;   // 0xD8: a 64 KB block, or the M25P's sector
    uint32_t status_write;  // 0x01 into the non-volatile bits
};

namespace busy {

constexpr uint32_t kMs = 1000;

// Winbond W25Q (tPP, tSE, tBE1, tBE2, tW). W25Q20/W25Q40 are the dies of
// the W25Q80DV's generation (CL/BV), whose figures no datasheet at hand
// gives: the W25Q80DV lends its own. The FV parts: the ...IQ/...IF 4 KB
// erase.
inline constexpr BusyTimes kW25Q80Dv = {800, 0, 0, 0, 0, 45 * kMs, 120 * kMs, 150 * kMs, 10 * kMs};
inline constexpr BusyTimes kW25Q16Dv = {700, 0, 0, 0, 0, 60 * kMs, 150 * kMs, 180 * kMs, 10 * kMs};
inline constexpr BusyTimes kW25Q32Fv = {700, 0, 0, 0, 0, 45 * kMs, 120 * kMs, 150 * kMs, 10 * kMs};
inline constexpr BusyTimes kW25Q64Fv = {450, 0, 0, 0, 0, 45 * kMs, 120 * kMs, 150 * kMs, 15 * kMs};
inline constexpr BusyTimes kW25Q128Fv = {700, 0, 0, 0, 0, 45 * kMs, 120 * kMs, 150 * kMs, 10 * kMs};

// GigaDevice: GD25Q32B for every member.
inline constexpr BusyTimes kGd25Q32B = {700, 0, 0, 0, 0, 100 * kMs, 200 * kMs, 400 * kMs, 2 * kMs};

// Macronix: MX25L8005 for every member; its status write is not stated,
// the MX25L1605 model's shortest pick stands in.
inline constexpr BusyTimes kMx25L8005 = {1400, 0, 0, 0, 0, 60 * kMs, 0, 1000 * kMs, 90 * kMs};

// ST M25P (0xD8 erases the member's sector). Status writes: M25P80 and
// M25P16 (25 MHz tables) state 1.5 ms; the others lend theirs.
inline constexpr BusyTimes kM25P05A = {1400, 0, 0, 0, 0, 0, 0, 650 * kMs, 1500};
inline constexpr BusyTimes kM25P10A = {1400, 0, 0, 0, 0, 0, 0, 650 * kMs, 1500};
inline constexpr BusyTimes kM25P20 = {800, 0, 0, 0, 0, 0, 0, 600 * kMs, 1500};
inline constexpr BusyTimes kM25P40 = {1500, 0, 0, 0, 0, 0, 0, 1000 * kMs, 1500};
inline constexpr BusyTimes kM25P80 = {800, 0, 0, 0, 0, 0, 0, 800 * kMs, 1500};
inline constexpr BusyTimes kM25P16 = {800, 0, 0, 0, 0, 0, 0, 800 * kMs, 1500};
inline constexpr BusyTimes kM25P32 = {650, 0, 0, 0, 0, 0, 0, 600 * kMs, 1500};
inline constexpr BusyTimes kM25P64 = {1400, 0, 0, 0, 0, 0, 0, 1000 * kMs, 1500};

// SST25VF: each AAI step takes the byte program time TBP; the status
// write states no busy time.
inline constexpr BusyTimes kSst25VfB = {0, 7, 0, 7, 0, 18 * kMs, 18 * kMs, 18 * kMs, 0};
inline constexpr BusyTimes kSst25VfA = {0, 14, 14, 0, 0, 18 * kMs, 18 * kMs, 0, 0};

// ITE: estimates, no published timing.
inline constexpr BusyTimes kIte = {700, 0, 20, 10, 20 * kMs, 45 * kMs, 0, 150 * kMs, 10 * kMs};

}  // namespace busy

inline constexpr BusyTimes kNoBusyTimes = {};

}  // namespace sim
