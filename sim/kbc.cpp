#include "kbc.h"

#include "stats.h"

namespace sim {

namespace {
constexpr uint8_t kDisableKeyboard = 0xAD;
constexpr uint8_t kEnableKeyboard = 0xAE;
}  // namespace

void Kbc::Init(const Config& config, Stats* stats, Trace* trace)
{
    pending_ = config.kbc_pending;
    data_ = 0;
    keyboard_enabled_ = true;
    stats_ = stats;
    trace_ = trace;
}

// With nothing pending the data register still shows its last byte.
uint8_t Kbc::ReadData()
{
    if (pending_ != 0) {
        --pending_;
        data_ = kPendingByte;
    }
    return data_;
}

void Kbc::WriteCommand(uint8_t code)
{
    ++stats_->kbc_commands;
    if (code == kDisableKeyboard)
        keyboard_enabled_ = false;
    else if (code == kEnableKeyboard)
        keyboard_enabled_ = true;
    if (trace_->enabled()) {
        trace_->Begin("kbc");
        trace_->Hex(code, 2);
        trace_->End();
    }
}

}  // namespace sim
