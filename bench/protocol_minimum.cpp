#include "protocol_minimum.h"

namespace bench {

namespace {

// The mailboxes. Their status reads are implied by the writes below; any
// other port (Super I/O) has no handshake and costs what it is.
constexpr uint8_t kKbcData = 0x60;
constexpr uint8_t kKbcCommand = 0x64;
constexpr uint8_t kAcpiData = 0x62;
constexpr uint8_t kAcpiCommand = 0x66;
constexpr uint8_t kPmc2Data = 0x68;
constexpr uint8_t kPmc2Command = 0x6C;

// An EC command or data byte: input-buffer poll, write, input-buffer poll.
constexpr uint64_t kSendCost = 3;
// A reply: output-buffer poll, data-port read.
constexpr uint64_t kReplyCost = 2;
// A keyboard-controller byte: output-buffer poll (nothing pending), then as
// an EC byte.
constexpr uint64_t kKbcSendCost = 4;
// The address byte of the ACPI read shares its input-buffer poll with the
// command before it: write, input-buffer poll.
constexpr uint64_t kAcpiAddressCost = 2;

constexpr uint8_t kSelect = 0x01;
constexpr uint8_t kOpcode = 0x02;
constexpr uint8_t kByte = 0x03;
constexpr uint8_t kRead = 0x04;
constexpr uint8_t kDeselect = 0x05;

constexpr uint8_t kReadStatus = 0x05;  // SPI opcode: the waits poll it

constexpr uint8_t kAcpiRead = 0x80;
constexpr uint8_t kXramRead = 0x92;
constexpr uint8_t kEnterFlashMode = 0xDC;
constexpr uint8_t kLeaveAndReset = 0xFC;
constexpr uint8_t kLeaveFlashMode = 0xFE;

bool IsMailboxPort(uint8_t port)
{
    return port == kKbcData || port == kKbcCommand || port == kAcpiData || port == kAcpiCommand ||
           port == kPmc2Data || port == kPmc2Command;
}

}  // namespace

void Tally::Add(const Tally& other)
{
    accesses += other.accesses;
    minimum += other.minimum;
    extra_polls += other.extra_polls;
    spi_transactions += other.spi_transactions;
    spi_bytes_out += other.spi_bytes_out;
    spi_bytes_in += other.spi_bytes_in;
    for (size_t i = 0; i < 256; ++i)
        by_opcode[i] += other.by_opcode[i];
}

void ProtocolMinimum::Feed(const sim::PortEvent* events, size_t count, Tally* tally)
{
    tally->accesses += count;
    for (size_t i = 0; i < count; ++i) {
        const sim::PortEvent& e = events[i];
        if (e.write)
            Write(e.port, e.value, tally);
        else if (!IsMailboxPort(e.port))
            ++tally->minimum;
    }
}

void ProtocolMinimum::Finish(Tally* tally)
{
    EndTransaction(tally);
    selected_ = false;
}

void ProtocolMinimum::Write(uint8_t port, uint8_t value, Tally* tally)
{
    switch (port) {
    case kKbcCommand:
    case kKbcData: tally->minimum += kKbcSendCost; break;
    case kPmc2Command: EcCommandPort(pmc2_, value, tally); break;
    case kAcpiCommand: EcCommandPort(acpi_, value, tally); break;
    case kPmc2Data: EcDataPort(pmc2_, tally); break;
    case kAcpiData: EcDataPort(acpi_, tally); break;
    default: ++tally->minimum; break;
    }
}

// As the EC reads its command port: the byte after 0x02 or 0x03 goes to the
// flash, 0x01-0x05 are follow mode in flash mode, the rest are commands.
void ProtocolMinimum::EcCommandPort(Pair& pair, uint8_t value, Tally* tally)
{
    if (pair.shift) {
        pair.shift = false;
        tally->minimum += kSendCost;
        if (!selected_)
            return;
        ++tally->spi_bytes_out;
        if (!has_opcode_) {
            has_opcode_ = true;
            opcode_ = value;
        }
    } else if (flash_mode_ && value >= kSelect && value <= kDeselect) {
        if (value == kOpcode || value == kByte)
            pair.shift = true;
        FollowMode(value, tally);
    } else {
        EcCommand(pair, value, tally);
    }
}

void ProtocolMinimum::FollowMode(uint8_t code, Tally* tally)
{
    switch (code) {
    case kSelect:
        EndTransaction(tally);
        selected_ = true;
        tally->minimum += kSendCost;
        break;
    case kOpcode:
    case kByte: tally->minimum += kSendCost; break;
    case kRead:
        if (selected_) {
            ++tally->spi_bytes_in;
            ++reads_;
        }
        // A wait on the status register needs one answer; with a part that
        // answers at once every further poll is the tool's own.
        if (selected_ && has_opcode_ && opcode_ == kReadStatus && reads_ > 1)
            ++tally->extra_polls;
        else
            tally->minimum += kSendCost + kReplyCost;
        break;
    case kDeselect:
        EndTransaction(tally);
        selected_ = false;
        tally->minimum += kSendCost;
        break;
    }
}

void ProtocolMinimum::EcCommand(Pair& pair, uint8_t code, Tally* tally)
{
    tally->minimum += kSendCost;
    pair.expect = Expect::kNothing;
    switch (code) {
    case kAcpiRead: pair.expect = Expect::kAcpiAddress; break;
    case kXramRead: pair.expect = Expect::kXramHigh; break;
    case kEnterFlashMode:
        flash_mode_ = true;
        tally->minimum += kReplyCost;  // the acknowledge
        break;
    case kLeaveFlashMode:
    case kLeaveAndReset:
        EndTransaction(tally);
        selected_ = false;
        flash_mode_ = false;
        pmc2_.shift = false;
        acpi_.shift = false;
        break;
    default: break;
    }
}

void ProtocolMinimum::EcDataPort(Pair& pair, Tally* tally)
{
    switch (pair.expect) {
    case Expect::kAcpiAddress:
        pair.expect = Expect::kNothing;
        tally->minimum += kAcpiAddressCost + kReplyCost;
        break;
    case Expect::kXramHigh:
        pair.expect = Expect::kXramLow;
        tally->minimum += kSendCost;
        break;
    case Expect::kXramLow:
        pair.expect = Expect::kNothing;
        tally->minimum += kSendCost + kReplyCost;
        break;
    case Expect::kNothing: tally->minimum += kSendCost; break;
    }
}

void ProtocolMinimum::EndTransaction(Tally* tally)
{
    if (selected_ && has_opcode_) {
        ++tally->spi_transactions;
        ++tally->by_opcode[opcode_];
    }
    has_opcode_ = false;
    reads_ = 0;
}

}  // namespace bench
