// The embedded controller: its two host mailboxes, PMC2 (0x6C/0x68) and the
// ACPI EC pair (0x66/0x62), and the firmware behind them. Both pairs run the
// same firmware over one memory, one flash mode and the one SPI flash.
//
// Memory, as the firmware addresses it (16-bit): 0x00/0x01 the firmware
// version, 0xD8-0xDF the version text, 0x0AA0-0x0AA9 the project name; the
// rest of the 4 KB reads 0x00 and addresses from 0x1000 read 0xFF. The
// ACPI read 0x80 reaches 0x0000-0x00FF; 0x92 and the Super I/O inner pair
// reach all of it.
//
// The firmware does one thing at a time. A byte it has not taken yet keeps
// the input buffer full; a reply waits, unseen, for its latency and then
// for the output buffer to be read empty, and until the reply is placed the
// firmware takes no byte on either pair.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config.h"
#include "latency.h"
#include "mailbox.h"
#include "spi_flash.h"
#include "trace.h"

namespace sim {

struct Stats;

enum class EcPair : uint8_t { kPmc2 = 0, kAcpi = 1 };

class Ec {
public:
    static constexpr size_t kMemorySize = 0x1000;

    void Init(const Config& config, SpiFlash* flash, Stats* stats, Trace* trace, Jitter* jitter);

    // Host side. A status read is also what counts down the latency of the
    // pair's byte and reply (config.ec_latency).
    uint8_t ReadStatus(EcPair which)
    {
        Pair& pair = pairs_[Index(which)];
        const uint8_t status = pair.box.status();
        if (working_)
            Tick(pair);
        return status;
    }
    uint8_t ReadData(EcPair which)
    {
        const uint8_t value = pairs_[Index(which)].box.TakeOutput();
        if (working_)
            Serve();
        return value;
    }
    void WriteCommand(EcPair which, uint8_t value) { Accept(pairs_[Index(which)], value, true); }
    void WriteData(EcPair which, uint8_t value) { Accept(pairs_[Index(which)], value, false); }

    uint8_t MemoryByte(uint16_t address) const
    {
        return address < kMemorySize ? memory_[address] : 0xFF;
    }

    bool flash_mode() const { return flash_mode_; }
    bool follow_mode() const { return follow_; }
    // --hang: the EC takes no more bytes.
    bool hung() const { return hang_ && accepted_ >= hang_after_; }
    uint64_t accepted() const { return accepted_; }
    const Mailbox& mailbox(EcPair which) const { return pairs_[Index(which)].box; }

private:
    struct Pair {
        Mailbox box;
        uint32_t take_in = 0;   // status reads left before the latched byte is due
        bool stuck = false;     // the latched byte is never taken (--hang)
        bool replying = false;  // a reply not yet placed in the output buffer
        uint32_t reply_in = 0;  // status reads left before it is ready
        uint8_t reply = 0;
        uint8_t expect = 0;     // what the next data byte is for
        uint8_t shift = 0;      // 0x02/0x03 seen: the next command byte goes to the flash
        uint16_t address = 0;   // 0x92's address as it arrives
    };

    static size_t Index(EcPair which) { return static_cast<size_t>(which); }

    void Accept(Pair& pair, uint8_t value, bool command);
    void Tick(Pair& pair);
    void Serve();
    bool Replying() const { return pairs_[0].replying || pairs_[1].replying; }
    void Reply(Pair& pair, uint8_t value);
    void Take(Pair& pair, uint8_t value, bool command);
    void FollowMode(Pair& pair, uint8_t code);
    void Command(Pair& pair, uint8_t code);
    void DataByte(Pair& pair, uint8_t value);
    void LeaveFlashMode();
    void Reset();

    Pair pairs_[2];
    bool working_ = false;  // a byte not yet taken or a reply not yet placed
    uint8_t memory_[kMemorySize] = {};
    uint8_t ack_ = 0;
    uint32_t latency_ = 0;
    Jitter* jitter_ = nullptr;
    bool hang_ = false;
    uint64_t hang_after_ = 0;
    uint64_t accepted_ = 0;
    bool flash_mode_ = false;
    bool follow_ = false;
    SpiFlash* flash_ = nullptr;
    Stats* stats_ = nullptr;
    Trace* trace_ = nullptr;
};

}  // namespace sim
