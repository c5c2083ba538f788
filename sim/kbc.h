// The keyboard controller the EC provides on 0x60 (data) and 0x64 (status
// and command). It takes every byte at once; of its commands only 0xAD
// (keyboard interface off) and 0xAE (on) change anything here.
#pragma once

#include <cstdint>

#include "config.h"
#include "mailbox.h"
#include "trace.h"

namespace sim {

struct Stats;

class Kbc {
public:
    // The byte each --kbc-pending read gives: a keyboard's acknowledge.
    static constexpr uint8_t kPendingByte = 0xFA;

    void Init(const Config& config, Stats* stats, Trace* trace);

    uint8_t ReadStatus() const { return pending_ != 0 ? kStatusObf : 0; }
    uint8_t ReadData();
    void WriteCommand(uint8_t code);
    void WriteData(uint8_t) {}  // taken; nothing here listens to it

    bool keyboard_enabled() const { return keyboard_enabled_; }
    uint32_t pending() const { return pending_; }

private:
    uint32_t pending_ = 0;
    uint8_t data_ = 0;
    bool keyboard_enabled_ = true;
    Stats* stats_ = nullptr;
    Trace* trace_ = nullptr;
};

}  // namespace sim
