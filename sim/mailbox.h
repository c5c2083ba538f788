// One host mailbox of the EC, as the host sees it: a status byte (bit 0
// output buffer full, bit 1 input buffer full), an input buffer that the
// host fills and the firmware empties, and a one-byte output buffer that
// the firmware fills and a data-port read empties.
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
        return static_cast<uint8_t>((output_full_ ? kStatusObf : 0) | (input_full_ ? kStatusIbf : 0));
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

    // Output buffer. A data-port read with nothing waiting shows the last
    // byte again, as a data register does.
    bool output_full() const { return output_full_; }
    void Place(uint8_t value)
    {
        output_full_ = true;
        data_ = value;
    }
    uint8_t TakeOutput()
    {
        output_full_ = false;
        return data_;
    }
    void EmptyOutput() { output_full_ = false; }

private:
    uint8_t command_port_ = 0;
    uint8_t data_port_ = 0;
    bool input_full_ = false;
    bool input_is_command_ = false;
    uint8_t input_ = 0;
    bool output_full_ = false;
    uint8_t data_ = 0;
};

}  // namespace sim
