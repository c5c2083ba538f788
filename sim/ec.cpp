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

constexpr uint16_t kVersionAt = 0x00;
constexpr uint16_t kVarnelAt = 0xD8;
constexpr uint16_t kProjectAt = 0x0AA0;

}  // namespace

void Ec::Init(const Config& config, SpiFlash* flash, Stats* stats, Trace* trace, Jitter* jitter)
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
    latency_ = config.ec_latency;
    jitter_ = jitter;
    working_ = false;
    hang_ = config.hang;
    hang_after_ = config.hang_after;
    accepted_ = 0;
    flash_mode_ = false;
    follow_ = false;
    flash_ = flash;
    stats_ = stats;
    trace_ = trace;
}

void Ec::Tick(Pair& pair)
{
    if (pair.take_in != 0)
        --pair.take_in;
    if (pair.reply_in != 0)
        --pair.reply_in;
    Serve();
}

// A byte the EC does not take stays in (or is lost behind) the input
// buffer: IBF is left set and the trace says so.
void Ec::Accept(Pair& pair, uint8_t value, bool command)
{
    if (pair.box.input_full() || hung()) {
        if (!pair.box.input_full()) {
            pair.box.Latch(value, command);
            pair.stuck = true;
        }
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
    pair.box.Latch(value, command);
    pair.stuck = false;
    pair.take_in = jitter_->Draw(latency_);
    Serve();
}

// What the firmware gets done now: replies whose time has come go to empty
// output buffers; with none left to place it takes the bytes that are due.
void Ec::Serve()
{
    for (bool progress = true; progress;) {
        progress = false;
        for (Pair& pair : pairs_) {
            if (pair.replying && pair.reply_in == 0 && !pair.box.output_full()) {
                pair.box.Place(pair.reply);
                pair.replying = false;
                progress = true;
            }
        }
        if (Replying())
            break;
        for (Pair& pair : pairs_) {
            if (pair.box.input_full() && !pair.stuck && pair.take_in == 0) {
                pair.box.EmptyInput();
                Take(pair, pair.box.input(), pair.box.input_is_command());
                progress = true;
                break;
            }
        }
    }
    working_ = Replying();
    for (const Pair& pair : pairs_)
        working_ = working_ || (pair.box.input_full() && !pair.stuck);
}

void Ec::Reply(Pair& pair, uint8_t value)
{
    pair.replying = true;
    pair.reply = value;
    pair.reply_in = jitter_->Draw(latency_);
}

void Ec::Take(Pair& pair, uint8_t value, bool command)
{
    if (!command) {
        DataByte(pair, value);
    } else if (pair.shift != 0) {
        pair.shift = 0;
        flash_->Write(value, pair.box.command_port());
    } else if (flash_mode_ && value >= kFollowSelect && value <= kFollowEnd) {
        FollowMode(pair, value);
    } else {
        Command(pair, value);
    }
}

void Ec::FollowMode(Pair& pair, uint8_t code)
{
    const uint8_t port = pair.box.command_port();
    switch (code) {
    case kFollowSelect:
        flash_->Select(port);
        follow_ = true;
        break;
    case kFollowOpcode:
    case kFollowByte:
        pair.shift = code;
        break;
    case kFollowRead:
        Reply(pair, flash_->Read(port));
        break;
    case kFollowEnd:
        flash_->Deselect(port);
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
        Reply(pair, ack_);
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
        Reply(pair, MemoryByte(value));
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
        Reply(pair, MemoryByte(pair.address));
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
        pair.replying = false;
        pair.box.EmptyOutput();
    }
}

}  // namespace sim
