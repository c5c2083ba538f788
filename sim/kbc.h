// The keyboard controller the EC provides on 0x60 (data) and 0x64 (status
// and command). A byte written to it keeps the input buffer full for
// config.kbc_latency status reads; of its commands only 0xAD (keyboard
// interface off) and 0xAE (on) change anything here.
#pragma once

#include <cstdint>

#include "config.h"
#include "latency.h"
#include "mailbox.h"
#include "trace.h"

namespace sim {

struct Stats;

class Kbc {
public:
    // The byte each --kbc-pending read gives: a keyboard's acknowledge.
    static constexpr uint8_t kPendingByte = 0xFA;
    static constexpr uint8_t kCommandPort = 0x64;
    static constexpr uint8_t kDataPort = 0x60;

    void Init(const Config& config, Stats* stats, Trace* trace, Jitter* jitter);

    uint8_t ReadStatus();
    uint8_t ReadData();
    void WriteCommand(uint8_t code) { Accept(code, true); }
    void WriteData(uint8_t value) { Accept(value, false); }

    bool keyboard_enabled() const { return keyboard_enabled_; }
    uint32_t pending() const { return pending_; }

private:
    void Accept(uint8_t value, bool command);
    void Take();

    uint32_t pending_ = 0;
    uint8_t data_ = 0;
    bool keyboard_enabled_ = true;
    bool input_full_ = false;
    bool input_is_command_ = false;
    uint8_t input_ = 0;
    uint32_t take_in_ = 0;
    uint32_t latency_ = 0;
    Jitter* jitter_ = nullptr;
    Stats* stats_ = nullptr;
    Trace* trace_ = nullptr;
};

}  // namespace sim
