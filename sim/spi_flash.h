// A serial NOR flash part behind the EC, driven byte by byte through a chip
// select: the first byte of a transaction is the opcode, the rest follow as
// the JEDEC serial-flash meaning of that opcode says.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config.h"
#include "trace.h"

namespace sim {

struct Stats;

class SpiFlash {
public:
    // memory: config.flash_kb KB, the content at power-on. clock: the
    // board's virtual time in us, read to model busy times. The flash adds
    // its counters to stats and its "spi" lines to trace.
    void Init(const Config& config, uint8_t* memory, const uint64_t* clock, Stats* stats, Trace* trace);

    // Chip select taken: a new transaction begins (an open one ends first).
    void Select();
    // Chip select released: the transaction ends.
    void Deselect();
    // One byte shifted to the flash.
    void Write(uint8_t byte);
    // One byte shifted from the flash.
    uint8_t Read();

    // What a read of this address returns now (stuck bytes included).
    uint8_t ByteAt(uint32_t address) const;
    size_t size() const;
};

}  // namespace sim
