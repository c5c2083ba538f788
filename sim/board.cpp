#include "board.h"

namespace sim {

void Board::Init(const Config& config, uint8_t* flash_memory)
{
    config_ = config;
    now_us_ = 0;
    stats_ = Stats{};
    port_log_length_ = 0;
    trace_.SetClock(config.trace_time ? &now_us_ : nullptr);
    jitter_.Init(config.jitter, config.jitter_seed);
    flash_.Init(config, flash_memory, &now_us_, &stats_, &trace_);
    ec_.Init(config, &flash_, &stats_, &trace_, &jitter_);
    kbc_.Init(config, &stats_, &trace_, &jitter_);
    superio_.Init(config, &ec_);
    MapPorts();
}

// The logical device's bank goes in first so that a base landing on another
// device's port leaves that device in place (the host program refuses such
// a base; tests may still build one).
void Board::MapPorts()
{
    for (uint8_t& device : devices_)
        device = kNoDevice;
    if (superio_.present()) {
        devices_[superio_.bank_index_port()] = kBankIndex;
        devices_[superio_.bank_data_port()] = kBankData;
        devices_[SuperIo::kIndexPort] = kSioIndex;
        devices_[SuperIo::kDataPort] = kSioData;
    }
    devices_[0x6C] = kPmc2Command;
    devices_[0x68] = kPmc2Data;
    devices_[0x66] = kAcpiCommand;
    devices_[0x62] = kAcpiData;
    devices_[0x64] = kKbcCommand;
    devices_[0x60] = kKbcData;
}

uint8_t Board::Read(uint8_t port)
{
    now_us_ += config_.port_access_us;
    ++stats_.port_reads;
    uint8_t value;
    switch (devices_[port]) {
    case kPmc2Command: value = ec_.ReadStatus(EcPair::kPmc2); break;
    case kPmc2Data: value = ec_.ReadData(EcPair::kPmc2); break;
    case kAcpiCommand: value = ec_.ReadStatus(EcPair::kAcpi); break;
    case kAcpiData: value = ec_.ReadData(EcPair::kAcpi); break;
    case kKbcCommand: value = kbc_.ReadStatus(); break;
    case kKbcData: value = kbc_.ReadData(); break;
    case kSioIndex: value = superio_.ReadIndex(); break;
    case kSioData: value = superio_.ReadData(); break;
    case kBankIndex: value = superio_.ReadBankIndex(); break;
    case kBankData: value = superio_.ReadBankData(); break;
    default: value = 0xFF; break;
    }
    if (port_log_length_ < port_log_capacity_)
        port_log_[port_log_length_++] = PortEvent{false, port, value};
    return value;
}

void Board::Write(uint8_t port, uint8_t value)
{
    now_us_ += config_.port_access_us;
    ++stats_.port_writes;
    if (port_log_length_ < port_log_capacity_)
        port_log_[port_log_length_++] = PortEvent{true, port, value};
    switch (devices_[port]) {
    case kPmc2Command: ec_.WriteCommand(EcPair::kPmc2, value); break;
    case kPmc2Data: ec_.WriteData(EcPair::kPmc2, value); break;
    case kAcpiCommand: ec_.WriteCommand(EcPair::kAcpi, value); break;
    case kAcpiData: ec_.WriteData(EcPair::kAcpi, value); break;
    case kKbcCommand: kbc_.WriteCommand(value); break;
    case kKbcData: kbc_.WriteData(value); break;
    case kSioIndex: superio_.WriteIndex(value); break;
    case kSioData: superio_.WriteData(value); break;
    case kBankIndex: superio_.WriteBankIndex(value); break;
    case kBankData: superio_.WriteBankData(value); break;
    default: break;
    }
}

void Board::Pause(uint64_t us)
{
    now_us_ += us;
    stats_.pause_us += us;
}

uint8_t Board::FlashByte(uint32_t address) const
{
    return flash_.ByteAt(address);
}

size_t Board::FlashSize() const
{
    return flash_.size();
}

void Board::SetTraceSink(TraceSink sink, void* context)
{
    trace_.SetSink(sink, context);
}

void Board::SetPortLog(PortEvent* events, size_t capacity)
{
    port_log_ = events;
    port_log_capacity_ = capacity;
    port_log_length_ = 0;
}

}  // namespace sim
