// The board's counters, written as JSON by the host program at the end.
#pragma once

#include <cstdint>

namespace sim {

struct Stats {
    uint64_t port_reads;
    uint64_t port_writes;
    uint64_t ec_commands;       // EC commands taken (not follow-mode bytes)
    uint64_t ec_drops;          // EC mailbox bytes the EC did not take
    uint64_t ec_resets;         // closing commands 0xFC
    uint64_t kbc_commands;
    uint64_t kbc_drops;         // keyboard-controller bytes it did not take
    uint64_t spi_transactions;
    uint64_t spi_bytes_out;     // bytes shifted to the flash, opcodes included
    uint64_t spi_bytes_in;      // bytes shifted from the flash
    uint64_t spi_ignored;       // transactions the flash did not carry out
    uint64_t spi_bytes_unselected;  // bytes clocked with no transaction open
    uint64_t status_nonvolatile;    // the flash status the next power-on starts from
    uint64_t pause_us;          // virtual time spent in the tool's pauses
    uint64_t flash_busy_us;     // virtual time the flash spent busy
};

}  // namespace sim
