// How long the flash parts stay busy, in microseconds of the board's virtual
// clock. One set for every part, from common datasheets:
//
//   operation              time     source
//   page program (0x02)    700 us   Winbond W25Q80/W25Q16 tPP, typical
//   byte program (0x02)     10 us   SST25VF0x0B byte program tBP, maximum (SST states no typical)
//   AAI byte (0xAF)         20 us   SST25VF0x0A byte program tBP, maximum (SST states no typical)
//   AAI word (0xAD)         10 us   SST25VF0x0B byte/word program tBP, maximum (SST states no typical)
//   1 KB erase (0xD7)       20 ms   estimate: ITE publishes no timing for its 1 KB page erase
//   4 KB erase (0x20)       45 ms   Winbond W25Q80/W25Q16 tSE, typical
//   32 KB erase (0x52)     120 ms   Winbond W25Q80/W25Q16 tBE1, typical
//   block erase (0xD8)     150 ms   Winbond W25Q80/W25Q16 tBE2 (64 KB), typical; also
//                                   for the 32 KB sectors of the small M25P parts
//   status write (0x01)     10 ms   Winbond W25Q80/W25Q16 tW, typical
//
// Config::instant_flash takes kNoBusyTimes instead (benchmark).
#pragma once

#include <cstdint>

namespace sim {

struct BusyTimes {
    uint32_t page_program;
    uint32_t byte_program;
    uint32_t aai_byte;
    uint32_t aai_word;
    uint32_t erase_1k;
    uint32_t erase_4k;
    uint32_t erase_32k;
    uint32_t erase_64k;
    uint32_t status_write;
};

inline constexpr BusyTimes kTypicalBusyTimes = {
    .page_program = 700,
    .byte_program = 10,
    .aai_byte = 20,
    .aai_word = 10,
    .erase_1k = 20000,
    .erase_4k = 45000,
    .erase_32k = 120000,
    .erase_64k = 150000,
    .status_write = 10000,
};

inline constexpr BusyTimes kNoBusyTimes = {};

}  // namespace sim
