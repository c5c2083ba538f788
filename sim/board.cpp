#include "board.h"

namespace sim {

void Board::Init(const Config& config, uint8_t* flash_memory)
{
    config_ = config;
    now_us_ = 0;
    stats_ = Stats{};
    port_log_length_ = 0;
    flash_ = flash_memory;
}

uint8_t Board::Read(uint8_t port)
{
    now_us_ += config_.port_access_us;
    ++stats_.port_reads;
    const uint8_t value = 0xFF;
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
}

void Board::Pause(uint64_t us)
{
    now_us_ += us;
    stats_.pause_us += us;
}

uint8_t Board::FlashByte(uint32_t address) const
{
    return flash_[address];
}

size_t Board::FlashSize() const
{
    return static_cast<size_t>(config_.flash_kb) * 1024;
}

void Board::SetTraceSink(TraceSink sink, void* context)
{
    trace_sink_ = sink;
    trace_context_ = context;
}

void Board::SetPortLog(PortEvent* events, size_t capacity)
{
    port_log_ = events;
    port_log_capacity_ = capacity;
    port_log_length_ = 0;
}

}  // namespace sim
