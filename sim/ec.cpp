#include "ec.h"

#include "stats.h"

namespace sim {

namespace {

// EC commands the firmware serves.
constexpr uint8_t kAcpiRead = 0x80;
constexpr uint8_t kXramRead = 0x92;
constexpr uint8_t kEnterFlashMode = 0xDC;
constexpr uint8_t kLeaveAndReset = 0xFC;
constexpr uint8_t kLeaveFlashMode = 0xFE;

// Follow-mode sub-commands, served in flash mode only.
constexpr uint8_t kFollowSelect = 0x01;
constexpr uint8_t kFollowOpcode = 0x02;
constexpr uint8_t kFollowByte = 0x03;
constexpr uint8_t kFollowRead = 0x04;
constexpr uint8_t kFollowEnd = 0x05;

// What the next data-port byte of a pair is for.
enum Expect : uint8_t { kNothing, kAcpiAddress, kXramHigh, kXramLow };

// A byte clocked in with no transaction open: nothing drives the line.
constexpr uint8_t kIdleLine = 0xFF;

constexpr uint16_t kVersionAt = 0x00;
constexpr uint16_t kVarnelAt = 0xD8;
constexpr uint16_t kProjectAt = 0x0AA0;

}  // namespace

void Ec::Init(const Config& config, SpiFlash* flash, Stats* stats, Trace* trace)
{
    pairs_[0] = Pair{};
    pairs_[1] = Pair{};
    pairs_[Index(EcPair::kPmc2)].box.Init(0x6C, 0x68);
    pairs_[Index(EcPair::kAcpi)].box.Init(0x66, 0x62);

    for (uint8_t& byte : memory_)
        byte = 0;
    for (size_t i = 0; i < sizeof config.ec_version; ++i)
        memory_[kVersionAt + i] = config.ec_version[i];
    for (size_t i = 0; i < sizeof config.varnel; ++i)
        memory_[kVarnelAt + i] = config.varnel[i];
    for (size_t i = 0; i < sizeof config.project; ++i)
        memory_[kProjectAt + i] = config.project[i];

    ack_ = config.ack;
    latency_ = config.ec_input_latency;
    hang_ = config.hang;
    hang_after_ = config.hang_after;
    accepted_ = 0;
    flash_mode_ = false;
    follow_ = false;
    flash_ = flash;
    stats_ = stats;
    trace_ = trace;
}

// A byte the EC does not take stays in (or is lost behind) the input
// buffer: IBF is left set and the trace says so.
void Ec::Accept(Pair& pair, uint8_t value, bool command)
{
    if (pair.box.input_full() || hung()) {
        if (!pair.box.input_full())
            pair.box.Latch(value, command);
        ++stats_->ec_drops;
        if (trace_->enabled()) {
            trace_->Begin("drop");
            trace_->Hex(value, 2);
            trace_->Tagged("@", command ? pair.box.command_port() : pair.box.data_port(), 2);
            trace_->End();
        }
        return;
    }
    ++accepted_;
    if (latency_ == 0) {
        Take(pair, value, command);
        return;
    }
    pair.box.Latch(value, command);
    pair.take_in = latency_;
}

void Ec::TakeLatched(Pair& pair)
{
    pair.box.EmptyInput();
    Take(pair, pair.box.input(), pair.box.input_is_command());
}

void Ec::Take(Pair& pair, uint8_t value, bool command)
{
    if (!command) {
        DataByte(pair, value);
    } else if (pair.shift != 0) {
        pair.shift = 0;
        if (follow_)
            flash_->Write(value);
    } else if (flash_mode_ && value >= kFollowSelect && value <= kFollowEnd) {
        FollowMode(pair, value);
    } else {
        Command(pair, value);
    }
}

void Ec::FollowMode(Pair& pair, uint8_t code)
{
    switch (code) {
    case kFollowSelect:
        flash_->Select();
        follow_ = true;
        break;
    case kFollowOpcode:
    case kFollowByte:
        pair.shift = code;
        break;
    case kFollowRead:
        pair.box.Offer(follow_ ? flash_->Read() : kIdleLine);
        break;
    case kFollowEnd:
        if (follow_)
            flash_->Deselect();
        follow_ = false;
        break;
    }
}

void Ec::Command(Pair& pair, uint8_t code)
{
    ++stats_->ec_commands;
    pair.expect = kNothing;
    switch (code) {
    case kAcpiRead:
        pair.expect = kAcpiAddress;
        return;  // traced once its address has come
    case kXramRead:
        pair.expect = kXramHigh;
        return;
    case kEnterFlashMode:
        flash_mode_ = true;
        pair.box.Offer(ack_);
        break;
    case kLeaveFlashMode:
        LeaveFlashMode();
        break;
    case kLeaveAndReset:
        LeaveFlashMode();
        Reset();
        break;
    default:
        break;  // 0xDD and codes this firmware does not know: nothing to do
    }
    if (trace_->enabled()) {
        trace_->Begin("ec");
        trace_->Hex(code, 2);
        trace_->End();
    }
}

void Ec::DataByte(Pair& pair, uint8_t value)
{
    switch (pair.expect) {
    case kAcpiAddress:
        pair.expect = kNothing;
        pair.box.Offer(MemoryByte(value));
        if (trace_->enabled()) {
            trace_->Begin("ec");
            trace_->Hex(kAcpiRead, 2);
            trace_->Hex(value, 2);
            trace_->Tagged("@", pair.box.command_port(), 2);
            trace_->End();
        }
        break;
    case kXramHigh:
        pair.address = static_cast<uint16_t>(value << 8);
        pair.expect = kXramLow;
        break;
    case kXramLow:
        pair.address = static_cast<uint16_t>(pair.address | value);
        pair.expect = kNothing;
        pair.box.Offer(MemoryByte(pair.address));
        if (trace_->enabled()) {
            trace_->Begin("ec");
            trace_->Hex(kXramRead, 2);
            trace_->Hex(pair.address, 4);
            trace_->End();
        }
        break;
    default:
        break;  // a data byte no command asked for
    }
}

void Ec::LeaveFlashMode()
{
    if (follow_)
        flash_->Deselect();
    follow_ = false;
    flash_mode_ = false;
    pairs_[0].shift = 0;
    pairs_[1].shift = 0;
}

// The firmware restarts: half-received commands and unread replies are gone;
// its memory comes back with the same content, and a byte still waiting in
// an input buffer is taken by the restarted firmware.
void Ec::Reset()
{
    ++stats_->ec_resets;
    for (Pair& pair : pairs_) {
        pair.expect = kNothing;
        pair.box.EmptyOutput();
    }
}

}  // namespace sim
