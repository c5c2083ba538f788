#include "kbc.h"

#include "stats.h"

namespace sim {

namespace {
constexpr uint8_t kDisableKeyboard = 0xAD;
constexpr uint8_t kEnableKeyboard = 0xAE;
}  // namespace

void Kbc::Init(const Config& config, Stats* stats, Trace* trace, Jitter* jitter)
{
    pending_ = config.kbc_pending;
    data_ = 0;
    keyboard_enabled_ = true;
    input_full_ = false;
    take_in_ = 0;
    latency_ = config.kbc_latency;
    jitter_ = jitter;
    stats_ = stats;
    trace_ = trace;
}

uint8_t Kbc::ReadStatus()
{
    const uint8_t status =
        static_cast<uint8_t>((pending_ != 0 ? kStatusObf : 0) | (input_full_ ? kStatusIbf : 0));
    if (input_full_ && --take_in_ == 0)
        Take();
    return status;
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

// A byte written while the last one is still in the input buffer is lost.
void Kbc::Accept(uint8_t value, bool command)
{
    if (input_full_) {
        ++stats_->kbc_drops;
        if (trace_->enabled()) {
            trace_->Begin("drop");
            trace_->Hex(value, 2);
            trace_->Tagged("@", command ? kCommandPort : kDataPort, 2);
            trace_->End();
        }
        return;
    }
    input_ = value;
    input_is_command_ = command;
    input_full_ = true;
    take_in_ = jitter_->Draw(latency_);
    if (take_in_ == 0)
        Take();
}

// Data bytes are taken; nothing here listens to them.
void Kbc::Take()
{
    input_full_ = false;
    if (!input_is_command_)
        return;
    ++stats_->kbc_commands;
    if (input_ == kDisableKeyboard)
        keyboard_enabled_ = false;
    else if (input_ == kEnableKeyboard)
        keyboard_enabled_ = true;
    if (trace_->enabled()) {
        trace_->Begin("kbc");
        trace_->Hex(input_, 2);
        trace_->End();
    }
}

}  // namespace sim
