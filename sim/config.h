// How the virtual board is built: one plain struct, filled from the board
// options by the host program (or directly by tests and the benchmark).
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

enum class Part : uint8_t {
    kSst,
    kSstOld,
    kWinbond,
    kMxic,
    kMxicPp32,
    kSt,
    kIteA,
    kIte,
    kAtmel,
    kSpansion,
    kAmic,
    kEon,
    kEsmt,
    kGigaDevice,
    kPmc,
    kUnknown,
};

// The signals --signal can send; the host program maps them to its own.
enum class Signal : uint8_t { kNone, kInt, kTerm, kHup, kQuit, kTstp, kPipe };

struct StuckByte {
    uint32_t address;
    uint8_t value;
};

struct Config {
    // --flash, --flash-size (KB; 0: the part's default, see FlashKb)
    Part flash = Part::kWinbond;
    uint32_t flash_kb = 0;
    // --flash-in, --flash-out: files, handled by the host program
    const char* flash_in = nullptr;
    const char* flash_out = nullptr;
    // --chip-id (sio_present false for "none"), --ldn-base, --bram
    bool sio_present = true;
    uint16_t chip_id = 0x5570;
    uint16_t ldn_base = 0x0070;
    uint8_t bram[2] = {1, 0x41};
    // --ec-version, --project, --varnel (zero-filled)
    uint8_t ec_version[2] = {1, 0};
    uint8_t project[10] = {'D', 'E', 'M', 'O'};
    uint8_t varnel[8] = {'V', '1', '.', '0', '.', '0', '.', '0'};
    // --ack: the EC's answer to 0xDC
    uint8_t ack = 0x33;
    // --status, --status2: the non-volatile values of the flash's status
    // registers 1 and 2 (2 only on parts that have it)
    uint8_t flash_status = 0x00;
    uint8_t flash_status2 = 0x00;
    // --wp-low: the flash's WP# pin held low
    bool wp_low = false;
    // --no-sfdp: no part answers 0x5A
    bool no_sfdp = false;
    // --stuck ADDR=VAL, repeatable
    static constexpr size_t kMaxStuck = 64;
    StuckByte stuck[kMaxStuck] = {};
    size_t stuck_count = 0;
    // --kbc-pending N
    uint32_t kbc_pending = 0;
    // --hang N
    bool hang = false;
    uint64_t hang_after = 0;
    // --flash-busy-forever
    bool flash_busy_forever = false;
    // --ec-latency N, --kbc-latency N: status reads of a pair before the
    // device takes a byte, and before the EC's reply is ready; --jitter SEED
    // draws each latency from 0..N instead.
    uint32_t ec_latency = 0;
    uint32_t kbc_latency = 0;
    bool jitter = false;
    uint64_t jitter_seed = 0;
    // --sio-locked: the configuration space answers only after the entry key
    bool sio_locked = false;
    // --trace FILE, --stats FILE: written by the host program; --trace-time
    // puts the board time in front of each trace line
    const char* trace = nullptr;
    const char* stats = nullptr;
    bool trace_time = false;
    // --real-time: pauses really sleep (host program)
    bool real_time = false;
    // --access-us: virtual time per port access
    uint32_t port_access_us = 1;
    // --signal NAME@N: the host program sends itself the signal after N
    // port accesses, as an operator pressing a key would (host program)
    Signal signal = Signal::kNone;
    uint64_t signal_after = 0;

    // Not on the command line: for tests and the benchmark.
    bool instant_flash = false;   // every modeled busy time is zero
};

}  // namespace sim
