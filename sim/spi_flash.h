// A serial NOR flash part behind the EC, driven byte by byte through a chip
// select: the first byte of a transaction is the opcode, the rest follow as
// the JEDEC serial-flash meaning of that opcode says.
//
// Reads are answered as the bytes are clocked; erases, programs and status
// writes take effect when chip select is released, as on real parts, and
// then keep the part busy for its modeled time (timing.h) on the board's
// virtual clock. Which opcodes a part takes, its ids and erase units, and
// how its status register is written and protects the array come from its
// family and member in parts.h.
//
// Datasheet rules the model keeps:
// - A command of fixed length (0x06, 0x04, 0x50, 0x01 with its one or two
//   bytes, the erases with exactly three address bytes, SST's one-byte
//   program, each AAI step) runs only if chip select rises right after its
//   last byte.
// - Program, erase and AAI need the write-enable latch; a status write is
//   armed as the family says (StatusWrite). On SST 0x50 arms only the
//   command right after it, status reads included; on Winbond it arms the
//   next status write whatever comes between, until 0x04 cancels it, and
//   that write changes the volatile copies only (no busy time).
// - A status write is refused while the register is locked (StatusLock:
//   SRP1/SRP0 or SRWD/BPL with WP#).
// - The block-protect bits protect the area the family's table gives
//   (Protection); a program or erase that reaches it is not run.
// - At power-on busy and the latch are clear; --status and --status2 are
//   the non-volatile values. SRP1/SRP0 = 10 come up as 00.
// - 0x5A reads the SFDP area (sfdp.h) after three address bytes and a
//   dummy byte.
// - A busy part hears status reads only; an AAI sequence further its own
//   opcode and 0x04. SST shows the sequence in status bit 6.
// Every transaction the part does not carry out is counted (spi_ignored)
// and its trace line says "ignored" and why. Bytes clocked with no
// transaction open are counted and traced too.
//
// Where datasheets differ or say nothing, this model:
// - 0x9F repeats its four id bytes; 0xAB answers 0xFF before its three
//   dummies, 0x0B before its dummy; an opcode with no answer reads 0xFF.
// - A program or erase reaching a protected area clears the latch and is
//   not busy; an AAI step there also ends the sequence. A refused status
//   write clears the latch too.
// - When both the latch and 0x50 arm a Winbond status write, 0x50 wins: the
//   write is volatile, and the latch clears.
// - A one-byte status write leaves status register 2 unless the member's
//   die clears CMP, QE and SRP1 (W25Q80DV, W25Q16DV). LB bits never clear.
// - The SFDP area is 256 bytes; only A7-A0 count, so a read runs on from
//   0xFF to 0x00. Bytes in no table read 0xFF.
// - Stuck bytes are written into memory at power-on and after every
//   change, so whatever reads memory (--flash-out too) sees them.
// - Busy forever still adds only the modeled time to flash_busy_us.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config.h"
#include "parts.h"
#include "sfdp.h"
#include "timing.h"
#include "trace.h"

namespace sim {

struct Stats;

class SpiFlash {
public:
    // memory: FlashKb(config) KB, the content at power-on. clock: the
    // board's virtual time in us, read to model busy times. The flash adds
    // its counters to stats and its "spi" lines to trace (neither may be
    // null). Stuck bytes of config are written into memory at once.
    void Init(const Config& config, uint8_t* memory, const uint64_t* clock, Stats* stats, Trace* trace);

    // The EC's side. port names the mailbox whose command port carried the
    // byte (0x6C or 0x66; 0: none, as in tests), for the trace.
    // Chip select taken: a new transaction begins (an open one ends first).
    void Select(uint8_t port = 0);
    // Chip select released: the transaction ends.
    void Deselect(uint8_t port = 0);
    // One byte shifted to the flash.
    void Write(uint8_t byte, uint8_t port = 0);
    // One byte shifted from the flash.
    uint8_t Read(uint8_t port = 0);

    // What a read of this address returns now (stuck bytes included).
    uint8_t ByteAt(uint32_t address) const;
    size_t size() const;

    // What opcode 0x05 would answer now.
    uint8_t StatusRegister() const;
    const PartInfo& part() const { return *part_; }
    const PartMember& member() const { return *member_; }

private:
    enum class Command : uint8_t {
        kNone,
        kReadStatus,
        kReadStatus2,
        kReadSfdp,
        kJedecId,
        kReadId,
        kFastRead,
        kWriteEnable,
        kWriteDisable,
        kEnableStatusWrite,
        kWriteStatus,
        kPageProgram,
        kByteProgram,
        kAai,
        kErase1K,
        kErase4K,
        kErase32K,
        kBlockErase,
    };
    // Why a transaction was not carried out.
    enum class Refusal : uint8_t {
        kNone,
        kUnsupported,
        kBusy,
        kAaiMode,
        kLength,
        kNotEnabled,
        kProtected,
        kOddAddress,
        kLocked,
    };

    void Begin(uint8_t opcode);
    void End();
    void Via(uint8_t port);
    void Unselected(const char* what, uint8_t byte, uint8_t port);
    Refusal Execute();
    Refusal FixedLength(uint32_t bytes) const;
    Refusal WriteStatus();
    bool StatusLocked() const;
    Refusal PageProgram();
    Refusal ByteProgram();
    Refusal AaiProgram();
    Refusal Erase(uint32_t unit, uint32_t busy_us);
    void StartBusy(uint32_t us, bool program_or_erase);
    bool Busy() const;
    void UpdateProtection();
    bool Protected(uint32_t begin, uint32_t length) const;
    void RestoreStuck();
    void TraceTransaction(Refusal refusal);

    // The part and the board around it.
    const PartInfo* part_ = nullptr;
    const PartMember* member_ = nullptr;
    Command commands_[256] = {};  // what this part makes of each opcode
    uint8_t* memory_ = nullptr;
    size_t size_ = 0;
    uint32_t mask_ = 0;  // addresses wrap at the array's end
    const uint64_t* clock_ = nullptr;
    Stats* stats_ = nullptr;
    Trace* trace_ = nullptr;
    BusyTimes times_ = {};
    bool wp_low_ = false;
    uint8_t sfdp_[kSfdpAreaBytes] = {};
    bool busy_forever_armed_ = false;
    StuckByte stuck_[Config::kMaxStuck] = {};
    size_t stuck_count_ = 0;

    // The part's state between transactions.
    uint8_t status_ = 0;     // status register 1, bits 7..2 (the rest are live)
    uint8_t status_nv_ = 0;  // its non-volatile value
    uint8_t status2_ = 0;    // status register 2 (W25Q, GD25Q)
    uint8_t status2_nv_ = 0;
    bool latch_ = false;     // write-enable latch
    bool window_ = false;    // the last command was 0x50 (SST)
    bool volatile_armed_ = false;  // 0x50 came and no 0x01 or 0x04 since (Winbond)
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
    Refusal refused_ = Refusal::kNone;  // already known when the opcode came
    bool addressed_ = false;  // three address bytes follow the opcode
    bool armed_ = false;      // 0x50 came right before this command (SST)
    uint8_t via_ = 0;         // port of the first byte, 0 when none yet
    bool mixed_ = false;      // bytes came through both pairs
    uint32_t address_ = 0;
    uint32_t sent_ = 0;    // bytes after the opcode
    uint32_t data_ = 0;    // bytes after the opcode and address
    uint32_t read_ = 0;
    uint32_t answer_ = 0;  // position in the answer: id index or read address
    uint8_t data_bytes_[2] = {};
    uint8_t page_[256] = {};
};

}  // namespace sim
