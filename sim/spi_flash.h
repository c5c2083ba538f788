// A serial NOR flash part behind the EC, driven byte by byte through a chip
// select: the first byte of a transaction is the opcode, the rest follow as
// the JEDEC serial-flash meaning of that opcode says.
//
// Reads are answered as the bytes are clocked; erases, programs and status
// writes take effect when chip select is released, as on real parts, and
// then keep the part busy for its modeled time (timing.h) on the board's
// virtual clock. Which opcodes a part takes and how its status register
// protects the array come from its row in parts.h.
//
// Where datasheets differ or say nothing, this model:
// - 0x9F repeats its four id bytes; 0xAB answers 0xFF before its three
//   dummies, 0x0B before its dummy; an opcode with no answer reads 0xFF.
// - A program, erase or status write without the latch does nothing. One
//   that reaches a protected area clears the latch and is not busy.
// - 0x50 opens only the next command (status reads between do not count):
//   SST's 0x01 then writes without the latch, for the usual write time;
//   Winbond's writes the volatile register, at once. 0x01 clears the latch.
// - In an AAI sequence only its own opcode, 0x04 and status reads are
//   heard; an AAI unit that reaches a protected area ends the sequence.
// - Power-on status (--status): bit 1 sets the latch, bit 0 is ignored.
// - Stuck bytes are written into memory at power-on and after every
//   change, so whatever reads memory (--flash-out too) sees them.
// - Busy forever still adds only the modeled time to flash_busy_us.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config.h"
#include "parts.h"
#include "timing.h"
#include "trace.h"

namespace sim {

struct Stats;

class SpiFlash {
public:
    // memory: config.flash_kb KB, the content at power-on. clock: the
    // board's virtual time in us, read to model busy times. The flash adds
    // its counters to stats and its "spi" lines to trace (neither may be
    // null). Stuck bytes of config are written into memory at once.
    void Init(const Config& config, uint8_t* memory, const uint64_t* clock, Stats* stats, Trace* trace);

    // Chip select taken: a new transaction begins (an open one ends first).
    void Select();
    // Chip select released: the transaction ends.
    void Deselect();
    // One byte shifted to the flash.
    void Write(uint8_t byte);
    // One byte shifted from the flash.
    uint8_t Read();

    // What a read of this address returns now (stuck bytes included).
    uint8_t ByteAt(uint32_t address) const;
    size_t size() const;

    // What opcode 0x05 would answer now.
    uint8_t StatusRegister() const;
    const PartInfo& part() const { return *part_; }

private:
    enum class Command : uint8_t {
        kNone,  // unsupported, or refused while busy or in AAI mode
        kReadStatus,
        kReadStatus2,
        kJedecId,
        kReadId,
        kFastRead,
        kWriteEnable,
        kWriteDisable,
        kEnableStatusWrite,
        kWriteStatus,
        kPageProgram,
        kAai,
        kErase1K,
        kErase4K,
        kErase64K,
    };

    void Begin(uint8_t opcode);
    void End();
    void Execute();
    void WriteStatus();
    void PageProgram();
    void AaiProgram();
    void Erase(uint32_t unit, uint32_t busy_us);
    void StartBusy(uint32_t us, bool program_or_erase);
    bool Busy() const;
    void UpdateProtection();
    bool Protected(uint32_t begin, uint32_t length) const;
    void RestoreStuck();
    void TraceTransaction();

    // The part and the board around it.
    const PartInfo* part_ = nullptr;
    Command commands_[256] = {};  // what this part makes of each opcode
    uint8_t* memory_ = nullptr;
    size_t size_ = 0;
    uint32_t mask_ = 0;  // addresses wrap at the array's end
    const uint64_t* clock_ = nullptr;
    Stats* stats_ = nullptr;
    Trace* trace_ = nullptr;
    BusyTimes times_ = {};
    bool busy_forever_armed_ = false;
    StuckByte stuck_[Config::kMaxStuck] = {};
    size_t stuck_count_ = 0;

    // The part's state between transactions.
    uint8_t status_ = 0;   // status register 1, bits 7..2 (1 and 0 are live)
    uint8_t status2_ = 0;  // Winbond status register 2
    bool latch_ = false;   // write-enable latch
    bool status_write_enabled_ = false;  // 0x50 seen, no other command since
    uint64_t busy_until_ = 0;
    bool busy_forever_ = false;
    uint8_t aai_opcode_ = 0;  // 0xAD or 0xAF while an AAI sequence runs
    uint32_t aai_address_ = 0;
    uint32_t protect_begin_ = 0;  // protected: [begin, end)
    uint32_t protect_end_ = 0;

    // The open transaction.
    bool selected_ = false;
    bool has_opcode_ = false;
    uint8_t opcode_ = 0;
    Command command_ = Command::kNone;
    bool addressed_ = false;        // three address bytes follow the opcode
    bool status_write_open_ = false;  // this 0x01 follows a 0x50
    uint32_t address_ = 0;
    uint32_t sent_ = 0;    // bytes after the opcode
    uint32_t data_ = 0;    // bytes after the opcode and address
    uint32_t read_ = 0;
    uint32_t answer_ = 0;  // position in the answer: id index or read address
    uint8_t data_bytes_[2] = {};
    uint8_t page_[256] = {};
};

}  // namespace sim
