#include "spi_flash.h"

#include "stats.h"

namespace sim {

namespace {

constexpr uint32_t kPage = 256;
constexpr uint32_t k1K = 1024;
constexpr uint32_t k4K = 4 * 1024;
constexpr uint32_t k32K = 32 * 1024;
constexpr uint32_t k64K = 64 * 1024;

constexpr uint8_t kBusy = 0x01;
constexpr uint8_t kLatch = 0x02;
constexpr uint8_t kAaiInProgress = 0x40;  // SST
constexpr uint8_t kBit7 = 0x80;  // SRP0, SRWD, BPL
// W25Q and GD25Q status register 1 and 2.
constexpr uint8_t kTopBottom = 0x20;
constexpr uint8_t kSector = 0x40;
constexpr uint8_t kSrp1 = 0x01;
constexpr uint8_t kQuadEnable = 0x02;
constexpr uint8_t kOtpLocks = 0x3C;  // LB1-LB3 (W25Q), LB (GD25Q): one-time programmable
constexpr uint8_t kComplement = 0x40;

constexpr uint8_t kAaiWordOpcode = 0xAD;

const char* const kRefusalWords[] = {
    "", "unsupported", "busy", "aai-mode", "length", "not-enabled", "protected", "odd-address", "locked",
};

}  // namespace

void SpiFlash::Init(const Config& config, uint8_t* memory, const uint64_t* clock, Stats* stats, Trace* trace)
{
    part_ = &PartInfoOf(config.flash);
    member_ = &MemberOf(config);
    memory_ = memory;
    size_ = static_cast<size_t>(FlashKb(config)) * 1024;
    uint32_t span = 1;
    while (span * 2 <= size_)
        span *= 2;
    mask_ = span - 1;
    clock_ = clock;
    stats_ = stats;
    trace_ = trace;
    times_ = config.instant_flash ? kNoBusyTimes : *member_->times;
    wp_low_ = config.wp_low;
    const SfdpTable sfdp = config.no_sfdp ? SfdpTable::kNone : part_->sfdp;
    BuildSfdp(sfdp, FlashKb(config), member_->jedec_id[0], sfdp_);
    busy_forever_armed_ = config.flash_busy_forever;

    using C = Command;
    struct Row {
        uint8_t opcode;
        uint16_t needs;  // PartOpcodes bit, 0 for the opcodes every part takes
        Command command;
    };
    const Row rows[] = {
        {0x01, 0, C::kWriteStatus},
        {0x02, kPageProgram, C::kPageProgram},
        {0x02, kByteProgram, C::kByteProgram},
        {0x04, 0, C::kWriteDisable},
        {0x05, 0, C::kReadStatus},
        {0x06, 0, C::kWriteEnable},
        {0x0B, 0, C::kFastRead},
        {0x20, kErase4K, C::kErase4K},
        {0x35, kStatusRegister2, C::kReadStatus2},
        {0x5A, 0, C::kReadSfdp},
        {0x50, kEnableStatusWrite, C::kEnableStatusWrite},
        {0x52, kErase32K, C::kErase32K},
        {0x9F, 0, C::kJedecId},
        {0xAB, 0, C::kReadId},
        {0xAD, kAaiWord, C::kAai},
        {0xAF, kAaiByte, C::kAai},
        {0xD7, kErase1K, C::kErase1K},
        {0xD8, kBlockErase, C::kBlockErase},
    };
    for (Command& command : commands_)
        command = C::kNone;
    for (const Row& row : rows) {
        if (row.needs == 0 || (part_->opcodes & row.needs) != 0)
            commands_[row.opcode] = row.command;
    }
    if (sfdp == SfdpTable::kNone)
        commands_[0x5A] = C::kNone;

    stuck_count_ = config.stuck_count < Config::kMaxStuck ? config.stuck_count : Config::kMaxStuck;
    for (size_t i = 0; i < stuck_count_; ++i)
        stuck_[i] = config.stuck[i];

    status_nv_ = config.flash_status & member_->status.writable;
    status2_nv_ = config.flash_status2 & part_->status2_writable;
    // A power cycle ends the lock-down SRP1/SRP0 = 10.
    if (part_->lock == StatusLock::kSrp && (status2_nv_ & kSrp1) != 0 && (status_nv_ & kBit7) == 0)
        status2_nv_ &= static_cast<uint8_t>(~kSrp1);
    status_ = status_nv_;
    status2_ = status2_nv_;
    stats_->status_nonvolatile = status_nv_;
    latch_ = false;
    window_ = false;
    volatile_armed_ = false;
    busy_until_ = 0;
    busy_forever_ = false;
    aai_opcode_ = 0;
    aai_address_ = 0;
    selected_ = false;
    has_opcode_ = false;
    command_ = C::kNone;
    UpdateProtection();
    RestoreStuck();
}

void SpiFlash::Select(uint8_t port)
{
    End();
    selected_ = true;
    has_opcode_ = false;
    command_ = Command::kNone;
    refused_ = Refusal::kNone;
    via_ = 0;
    mixed_ = false;
    address_ = 0;
    sent_ = 0;
    data_ = 0;
    read_ = 0;
    answer_ = 0;
    Via(port);
}

void SpiFlash::Deselect(uint8_t port)
{
    if (selected_)
        Via(port);
    End();
    selected_ = false;
}

void SpiFlash::Via(uint8_t port)
{
    if (port == 0)
        return;
    if (via_ == 0)
        via_ = port;
    else if (via_ != port)
        mixed_ = true;
}

// The EC clocked a byte with chip select high: no part hears it.
void SpiFlash::Unselected(const char* what, uint8_t byte, uint8_t port)
{
    ++stats_->spi_bytes_unselected;
    if (!trace_->enabled())
        return;
    trace_->Begin("unselected");
    if (what != nullptr)
        trace_->Word(what);
    else
        trace_->Hex(byte, 2);
    if (port != 0)
        trace_->Tagged("@", port, 2);
    trace_->End();
}

void SpiFlash::Write(uint8_t byte, uint8_t port)
{
    if (!selected_) {
        Unselected(nullptr, byte, port);
        return;
    }
    Via(port);
    ++stats_->spi_bytes_out;
    if (!has_opcode_) {
        Begin(byte);
        return;
    }
    const uint32_t index = sent_++;
    if (addressed_ && index < 3) {
        address_ = address_ << 8 | byte;
        return;
    }
    const uint32_t n = data_++;
    switch (command_) {
    case Command::kPageProgram:
        // The page buffer wraps: bytes past 256 overwrite the first ones.
        page_[(address_ + n) & (kPage - 1)] = byte;
        break;
    case Command::kByteProgram:
    case Command::kAai:
    case Command::kWriteStatus:
        if (n < sizeof data_bytes_)
            data_bytes_[n] = byte;
        break;
    case Command::kFastRead:
    case Command::kReadSfdp:
        if (n == 0)  // the dummy byte
            answer_ = address_;
        break;
    default:
        break;
    }
}

uint8_t SpiFlash::Read(uint8_t port)
{
    if (!selected_) {
        Unselected("in", 0, port);
        return 0xFF;  // nothing drives the data line
    }
    Via(port);
    ++stats_->spi_bytes_in;
    ++read_;
    switch (command_) {
    case Command::kReadStatus:
        return StatusRegister();
    case Command::kReadStatus2:
        return status2_;
    case Command::kJedecId:
        return member_->jedec_id[answer_++ & 3];
    case Command::kReadId:
        return data_ >= 3 ? member_->read_id[answer_++ & 1] : 0xFF;
    case Command::kFastRead:
        return data_ >= 1 ? memory_[answer_++ & mask_] : 0xFF;
    case Command::kReadSfdp:
        return data_ >= 1 ? sfdp_[answer_++ & (kSfdpAreaBytes - 1)] : 0xFF;
    default:
        return 0xFF;
    }
}

uint8_t SpiFlash::ByteAt(uint32_t address) const
{
    return memory_[address & mask_];
}

size_t SpiFlash::size() const
{
    return size_;
}

uint8_t SpiFlash::StatusRegister() const
{
    const bool aai = part_->aai_status_bit && aai_opcode_ != 0;
    return static_cast<uint8_t>(status_ | (aai ? kAaiInProgress : 0) | (latch_ ? kLatch : 0) |
                                (Busy() ? kBusy : 0));
}

void SpiFlash::Begin(uint8_t opcode)
{
    has_opcode_ = true;
    opcode_ = opcode;
    const bool aai = opcode == 0xAD || opcode == 0xAF;
    addressed_ = opcode == 0x02 || opcode == 0x0B || opcode == 0x20 || opcode == 0x52 || opcode == 0x5A ||
                 opcode == 0xD7 || opcode == 0xD8 || (aai && aai_opcode_ == 0);

    const Command command = commands_[opcode];
    const bool status_read = command == Command::kReadStatus || command == Command::kReadStatus2;
    const bool aai_step = command == Command::kAai && opcode == aai_opcode_;
    refused_ = Refusal::kNone;
    if (command == Command::kNone)
        refused_ = Refusal::kUnsupported;
    else if (!status_read && Busy())  // status reads are heard at any time
        refused_ = Refusal::kBusy;
    else if (!status_read && aai_opcode_ != 0 && !aai_step && command != Command::kWriteDisable)
        refused_ = Refusal::kAaiMode;
    // On SST 0x50 arms the very next command only.
    armed_ = window_;
    window_ = false;
    command_ = refused_ == Refusal::kNone ? command : Command::kNone;
    if (command_ == Command::kPageProgram) {
        for (uint8_t& byte : page_)
            byte = 0xFF;
    }
}

void SpiFlash::End()
{
    if (!selected_ || !has_opcode_)
        return;
    const Refusal refusal = refused_ != Refusal::kNone ? refused_ : Execute();
    ++stats_->spi_transactions;
    if (refusal != Refusal::kNone)
        ++stats_->spi_ignored;
    if (trace_->enabled())
        TraceTransaction(refusal);
    has_opcode_ = false;
}

SpiFlash::Refusal SpiFlash::FixedLength(uint32_t bytes) const
{
    return sent_ == bytes ? Refusal::kNone : Refusal::kLength;
}

SpiFlash::Refusal SpiFlash::Execute()
{
    Refusal refusal = Refusal::kNone;
    switch (command_) {
    case Command::kWriteEnable:
        refusal = FixedLength(0);
        if (refusal == Refusal::kNone)
            latch_ = true;
        return refusal;
    case Command::kWriteDisable:
        refusal = FixedLength(0);
        if (refusal == Refusal::kNone) {
            latch_ = false;
            aai_opcode_ = 0;
            volatile_armed_ = false;
        }
        return refusal;
    case Command::kEnableStatusWrite:
        refusal = FixedLength(0);
        if (part_->status_write == StatusWrite::kLatchOrVolatile)
            volatile_armed_ = volatile_armed_ || refusal == Refusal::kNone;
        else
            window_ = refusal == Refusal::kNone;
        return refusal;
    case Command::kWriteStatus:
        return WriteStatus();
    case Command::kPageProgram:
        return PageProgram();
    case Command::kByteProgram:
        return ByteProgram();
    case Command::kAai:
        return AaiProgram();
    case Command::kErase1K:
        return Erase(k1K, times_.erase_1k);
    case Command::kErase4K:
        return Erase(k4K, times_.erase_4k);
    case Command::kErase32K:
        return Erase(k32K, times_.erase_32k);
    case Command::kBlockErase:
        return Erase(member_->block_kb * 1024, times_.erase_block);
    default:
        return Refusal::kNone;  // reads answered as they were clocked
    }
}

SpiFlash::Refusal SpiFlash::WriteStatus()
{
    const uint8_t writable2 = part_->status2_writable;
    if (sent_ != 1 && !(writable2 != 0 && sent_ == 2))
        return Refusal::kLength;
    bool enabled = latch_;
    bool volatile_copy = false;
    switch (part_->status_write) {
    case StatusWrite::kLatch:
        break;
    case StatusWrite::kLatchOrEwsr:
        enabled = latch_ || armed_;
        break;
    case StatusWrite::kEwsrOnly:
        enabled = armed_;
        break;
    case StatusWrite::kLatchOrVolatile:
        enabled = latch_ || volatile_armed_;
        volatile_copy = volatile_armed_;
        volatile_armed_ = false;
        break;
    }
    if (!enabled)
        return Refusal::kNotEnabled;
    latch_ = false;
    if (StatusLocked())
        return Refusal::kLocked;
    status_ = data_bytes_[0] & member_->status.writable;
    if (writable2 != 0) {
        uint8_t status2 = status2_;
        if (sent_ == 2)
            status2 = data_bytes_[1] & writable2;
        else if (member_->one_byte_clears_status2)
            status2 &= static_cast<uint8_t>(~(kComplement | kQuadEnable | kSrp1));
        status2_ = status2 | (status2_ & kOtpLocks & writable2);
    }
    if (!volatile_copy) {
        status_nv_ = status_;
        status2_nv_ = status2_;
        stats_->status_nonvolatile = status_nv_;
    }
    UpdateProtection();
    StartBusy(volatile_copy ? 0 : times_.status_write, false);
    return Refusal::kNone;
}

bool SpiFlash::StatusLocked() const
{
    const bool bit7 = (status_ & kBit7) != 0;
    switch (part_->lock) {
    case StatusLock::kWpBit7:
        return bit7 && wp_low_;
    case StatusLock::kSrp:
        return (status2_ & kSrp1) != 0 || (bit7 && wp_low_);
    case StatusLock::kNone:
        break;
    }
    return false;
}

SpiFlash::Refusal SpiFlash::PageProgram()
{
    if (sent_ < 4)
        return Refusal::kLength;
    if (!latch_)
        return Refusal::kNotEnabled;
    latch_ = false;
    const uint32_t page = address_ & mask_ & ~(kPage - 1);
    if (Protected(page, kPage))
        return Refusal::kProtected;
    uint8_t* cells = memory_ + page;
    for (uint32_t i = 0; i < kPage; ++i)
        cells[i] &= page_[i];
    RestoreStuck();
    StartBusy(times_.page_program, true);
    return Refusal::kNone;
}

SpiFlash::Refusal SpiFlash::ByteProgram()
{
    if (const Refusal length = FixedLength(4); length != Refusal::kNone)
        return length;
    if (!latch_)
        return Refusal::kNotEnabled;
    latch_ = false;
    const uint32_t cell = address_ & mask_;
    if (Protected(cell, 1))
        return Refusal::kProtected;
    memory_[cell] &= data_bytes_[0];
    RestoreStuck();
    StartBusy(times_.byte_program, true);
    return Refusal::kNone;
}

// The first step carries the address; each later step only its data. The
// word form needs an even address.
SpiFlash::Refusal SpiFlash::AaiProgram()
{
    const uint32_t unit = opcode_ == kAaiWordOpcode ? 2 : 1;
    if (aai_opcode_ == 0) {
        if (const Refusal length = FixedLength(3 + unit); length != Refusal::kNone)
            return length;
        if (!latch_)
            return Refusal::kNotEnabled;
        if (unit == 2 && (address_ & 1) != 0)
            return Refusal::kOddAddress;
        aai_opcode_ = opcode_;
        aai_address_ = address_ & mask_;
    } else if (const Refusal length = FixedLength(unit); length != Refusal::kNone) {
        return length;
    }
    for (uint32_t i = 0; i < unit; ++i) {
        if (Protected((aai_address_ + i) & mask_, 1)) {
            aai_opcode_ = 0;
            latch_ = false;
            return Refusal::kProtected;
        }
    }
    for (uint32_t i = 0; i < unit; ++i)
        memory_[(aai_address_ + i) & mask_] &= data_bytes_[i];
    aai_address_ = (aai_address_ + unit) & mask_;
    RestoreStuck();
    StartBusy(unit == 2 ? times_.aai_word : times_.aai_byte, true);
    return Refusal::kNone;
}

SpiFlash::Refusal SpiFlash::Erase(uint32_t unit, uint32_t busy_us)
{
    if (const Refusal length = FixedLength(3); length != Refusal::kNone)
        return length;
    if (!latch_)
        return Refusal::kNotEnabled;
    latch_ = false;
    if (unit > mask_ + 1)
        unit = mask_ + 1;
    const uint32_t base = address_ & mask_ & ~(unit - 1);
    if (Protected(base, unit))
        return Refusal::kProtected;
    uint8_t* cells = memory_ + base;
    for (uint32_t i = 0; i < unit; ++i)
        cells[i] = 0xFF;
    RestoreStuck();
    StartBusy(busy_us, true);
    return Refusal::kNone;
}

void SpiFlash::StartBusy(uint32_t us, bool program_or_erase)
{
    busy_until_ = *clock_ + us;
    stats_->flash_busy_us += us;
    if (program_or_erase && busy_forever_armed_)
        busy_forever_ = true;
}

bool SpiFlash::Busy() const
{
    return busy_forever_ || *clock_ < busy_until_;
}

void SpiFlash::UpdateProtection()
{
    const uint32_t span = mask_ + 1;
    uint32_t length = 0;
    bool bottom = false;
    if (part_->protection == Protection::kWinbond) {
        const uint32_t bp = (status_ >> 2) & 7;
        if (bp == 7)
            length = span;
        else if (bp != 0 && (status_ & kSector) != 0)
            length = k4K << ((bp < 4 ? bp : 4) - 1);  // 101 and 110 stay at 32 KB
        else if (bp != 0)
            length = k64K << (bp - 1);
        bottom = (status_ & kTopBottom) != 0;
    } else {
        const StatusBits& bits = member_->status;
        const uint32_t bp = (status_ & bits.bp) >> 2;
        if (bp != 0 && bp == bits.bp >> 2u)
            length = span;
        else if (bp != 0)
            length = uint32_t{bits.unit_kb} * 1024 << (bp - 1);
    }
    if (length > span)
        length = span;
    protect_begin_ = bottom ? 0 : span - length;
    protect_end_ = bottom ? length : span;
    if (part_->protection == Protection::kWinbond && (status2_ & kComplement) != 0) {
        // CMP: everything but that area.
        const uint32_t begin = protect_begin_;
        protect_begin_ = begin == 0 ? protect_end_ : 0;
        protect_end_ = begin == 0 ? span : begin;
    }
}

bool SpiFlash::Protected(uint32_t begin, uint32_t length) const
{
    return begin < protect_end_ && begin + length > protect_begin_;
}

void SpiFlash::RestoreStuck()
{
    for (size_t i = 0; i < stuck_count_; ++i)
        memory_[stuck_[i].address & mask_] = stuck_[i].value;
}

void SpiFlash::TraceTransaction(Refusal refusal)
{
    uint32_t written = sent_;
    trace_->Begin("spi");
    trace_->Hex(opcode_, 2);
    if (addressed_ && sent_ >= 3) {
        trace_->Tagged("addr=", address_, 6);
        written -= 3;
    }
    trace_->Count("w=", written);
    trace_->Count("r=", read_);
    if (refusal != Refusal::kNone) {
        trace_->Word("ignored");
        trace_->Word(kRefusalWords[static_cast<int>(refusal)]);
    }
    if (mixed_)
        trace_->Word("@mixed");
    else if (via_ != 0)
        trace_->Tagged("@", via_, 2);
    trace_->End();
}

}  // namespace sim
