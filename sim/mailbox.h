// One host mailbox of the EC, as the host sees it: a status byte (bit 0
// output buffer full, bit 1 input buffer full), an input buffer that the
// host fills and the firmware empties, and the output buffer with a short
// queue of replies behind it. The firmware offers the next reply only once
// the host has read the last one, so no reply overwrites an unread byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim {

inline constexpr uint8_t kStatusObf = 0x01;
inline constexpr uint8_t kStatusIbf = 0x02;

class Mailbox {
public:
    void Init(uint8_t command_port, uint8_t data_port)
    {
        *this = Mailbox{};
        command_port_ = command_port;
        data_port_ = data_port;
    }

    uint8_t command_port() const { return command_port_; }
    uint8_t data_port() const { return data_port_; }

    uint8_t status() const
    {
        return static_cast<uint8_t>((queued_ != 0 ? kStatusObf : 0) | (input_full_ ? kStatusIbf : 0));
    }

    // Input buffer: the host's byte and which port it came through.
    bool input_full() const { return input_full_; }
    void Latch(uint8_t value, bool command)
    {
        input_full_ = true;
        input_ = value;
        input_is_command_ = command;
    }
    uint8_t input() const { return input_; }
    bool input_is_command() const { return input_is_command_; }
    void EmptyInput() { input_full_ = false; }

    // Output side. A data-port read with nothing waiting shows the last byte
    // again, as a data register does.
    size_t queued() const { return queued_; }
    void Offer(uint8_t value)
    {
        if (queued_ == kQueue)
            return;  // the firmware gives up on a reply it cannot place
        queue_[(head_ + queued_) % kQueue] = value;
        ++queued_;
    }
    uint8_t TakeOutput()
    {
        if (queued_ != 0) {
            data_ = queue_[head_];
            head_ = (head_ + 1) % kQueue;
            --queued_;
        }
        return data_;
    }
    void EmptyOutput() { queued_ = 0; }

    static constexpr size_t kQueue = 16;

private:
    uint8_t command_port_ = 0;
    uint8_t data_port_ = 0;
    bool input_full_ = false;
    bool input_is_command_ = false;
    uint8_t input_ = 0;
    uint8_t data_ = 0;
    uint8_t queue_[kQueue] = {};
    size_t head_ = 0;
    size_t queued_ = 0;
};

}  // namespace sim
