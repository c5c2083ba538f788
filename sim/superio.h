// The EC's Super I/O configuration space behind the index/data pair
// 0x4E/0x4F, and the index/data bank of its logical device 0x10 (BRAM) at
// the base that device's registers 0x60/0x61 give.
//
// The firmware leaves the space open: registers answer with or without the
// entry key 0x87 0x01 0x55 0x55, which is still tracked (entered()). With
// --sio-locked they answer only between the key and the exit (register 0x02
// written with bit 1 set); before and after, both ports read 0xFF and writes
// to the data port are ignored.
// Registers 0x4E/0x4F inside the space are a second index/data pair onto
// the EC's memory: inner index 0x11 address high, 0x10 address low, 0x12
// the byte there (reads only).
#pragma once

#include <cstdint>

#include "config.h"
#include "ec.h"

namespace sim {

class SuperIo {
public:
    static constexpr uint8_t kIndexPort = 0x4E;
    static constexpr uint8_t kDataPort = 0x4F;
    static constexpr uint8_t kBramDevice = 0x10;

    void Init(const Config& config, const Ec* ec);

    // With no Super I/O (--chip-id none) nothing answers: 0xFF everywhere.
    uint8_t ReadIndex() const { return Answers() ? index_ : 0xFF; }
    void WriteIndex(uint8_t value);
    uint8_t ReadData() const { return Answers() ? Register(index_) : 0xFF; }
    void WriteData(uint8_t value);

    // The bank: ports (base & 0xFF) and the next one, 256 bytes of RAM.
    uint8_t bank_index_port() const { return static_cast<uint8_t>(base_); }
    uint8_t bank_data_port() const { return static_cast<uint8_t>(base_ + 1); }
    uint8_t ReadBankIndex() const { return bank_index_; }
    void WriteBankIndex(uint8_t value) { bank_index_ = value; }
    uint8_t ReadBankData() const { return bank_[bank_index_]; }
    void WriteBankData(uint8_t value) { bank_[bank_index_] = value; }

    bool present() const { return present_; }
    bool entered() const { return entered_; }
    uint8_t ldn() const { return ldn_; }

private:
    bool Answers() const { return present_ && (entered_ || !locked_); }
    uint8_t Register(uint8_t index) const;
    uint8_t InnerData() const;

    const Ec* ec_ = nullptr;
    bool present_ = false;
    bool locked_ = false;
    uint16_t chip_id_ = 0;
    uint16_t base_ = 0;
    bool entered_ = false;
    uint8_t key_matched_ = 0;
    uint8_t index_ = 0;
    uint8_t ldn_ = 0;
    uint8_t inner_index_ = 0;
    uint16_t inner_address_ = 0;
    uint8_t bank_index_ = 0;
    uint8_t bank_[256] = {};
};

}  // namespace sim
