// The fewest port accesses the mailbox protocol allows for what a run sent,
// worked out from the run's own port accesses: every write says which
// handshake it belongs to, and every wait is counted as answered at its
// first poll. A run that adds nothing on top costs exactly this minimum.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/board.h"

namespace bench {

struct Tally {
    uint64_t accesses = 0;       // port reads and writes the run made
    uint64_t minimum = 0;        // what the protocol needs for the same work
    uint64_t extra_polls = 0;    // status reads beyond the first in a 0x05 wait
    uint64_t spi_transactions = 0;
    uint64_t spi_bytes_out = 0;  // opcodes included, as the board counts
    uint64_t spi_bytes_in = 0;
    uint64_t by_opcode[256] = {};  // SPI transactions per opcode

    void Add(const Tally& other);
};

class ProtocolMinimum {
public:
    // Adds the cost of events[0..count) to *tally; the protocol state (flash
    // mode, open transaction) carries on from the previous call.
    void Feed(const sim::PortEvent* events, size_t count, Tally* tally);
    // Ends a transaction still open (the board counts it when it ends).
    void Finish(Tally* tally);

private:
    // What the next data-port byte of an EC pair is for.
    enum class Expect : uint8_t { kNothing, kAcpiAddress, kXramHigh, kXramLow };
    struct Pair {
        bool shift = false;  // the next command-port byte goes to the flash
        Expect expect = Expect::kNothing;
    };

    void Write(uint8_t port, uint8_t value, Tally* tally);
    void EcCommandPort(Pair& pair, uint8_t value, Tally* tally);
    void EcDataPort(Pair& pair, Tally* tally);
    void FollowMode(uint8_t code, Tally* tally);
    void EcCommand(Pair& pair, uint8_t code, Tally* tally);
    void EndTransaction(Tally* tally);

    Pair pmc2_;
    Pair acpi_;
    bool flash_mode_ = false;
    bool selected_ = false;  // a transaction is open
    bool has_opcode_ = false;
    uint8_t opcode_ = 0;
    uint32_t reads_ = 0;  // bytes read in the open transaction
};

}  // namespace bench
