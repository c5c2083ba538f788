#include "spi_flash.h"

#include "stats.h"

namespace sim {

namespace {

constexpr uint32_t kPage = 256;
constexpr uint32_t k1K = 1024;
constexpr uint32_t k4K = 4 * 1024;
constexpr uint32_t k64K = 64 * 1024;

constexpr uint8_t kBusy = 0x01;
constexpr uint8_t kLatch = 0x02;
constexpr uint8_t kLiveBits = kBusy | kLatch;
// Winbond status register 1 and 2.
constexpr uint8_t kTopBottom = 0x20;
constexpr uint8_t kSector = 0x40;
constexpr uint8_t kSuspend = 0x80;  // status register 2, read-only

}  // namespace

void SpiFlash::Init(const Config& config, uint8_t* memory, const uint64_t* clock, Stats* stats, Trace* trace)
{
    part_ = &PartInfoOf(config.flash);
    memory_ = memory;
    size_ = static_cast<size_t>(config.flash_kb) * 1024;
    uint32_t span = 1;
    while (span * 2 <= size_)
        span *= 2;
    mask_ = span - 1;
    clock_ = clock;
    stats_ = stats;
    trace_ = trace;
    times_ = config.instant_flash ? kNoBusyTimes : kTypicalBusyTimes;
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
        {0x04, 0, C::kWriteDisable},
        {0x05, 0, C::kReadStatus},
        {0x06, 0, C::kWriteEnable},
        {0x0B, 0, C::kFastRead},
        {0x20, kErase4K, C::kErase4K},
        {0x35, kStatusRegister2, C::kReadStatus2},
        {0x50, kEnableStatusWrite, C::kEnableStatusWrite},
        {0x9F, 0, C::kJedecId},
        {0xAB, 0, C::kReadId},
        {0xAD, kAaiWord, C::kAai},
        {0xAF, kAaiByte, C::kAai},
        {0xD7, kErase1K, C::kErase1K},
        {0xD8, kErase64K, C::kErase64K},
    };
    for (Command& command : commands_)
        command = C::kNone;
    for (const Row& row : rows) {
        if (row.needs == 0 || (part_->opcodes & row.needs) != 0)
            commands_[row.opcode] = row.command;
    }

    stuck_count_ = config.stuck_count < Config::kMaxStuck ? config.stuck_count : Config::kMaxStuck;
    for (size_t i = 0; i < stuck_count_; ++i)
        stuck_[i] = config.stuck[i];

    status_ = config.flash_status & ~kLiveBits;
    status2_ = 0;
    latch_ = (config.flash_status & kLatch) != 0;
    status_write_enabled_ = false;
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

void SpiFlash::Select()
{
    End();
    selected_ = true;
    has_opcode_ = false;
    command_ = Command::kNone;
    address_ = 0;
    sent_ = 0;
    data_ = 0;
    read_ = 0;
    answer_ = 0;
}

void SpiFlash::Deselect()
{
    End();
    selected_ = false;
}

void SpiFlash::Write(uint8_t byte)
{
    if (!selected_)
        return;
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
    case Command::kAai:
    case Command::kWriteStatus:
        if (n < sizeof data_bytes_)
            data_bytes_[n] = byte;
        break;
    case Command::kFastRead:
        if (n == 0)  // the dummy byte
            answer_ = address_;
        break;
    default:
        break;
    }
}

uint8_t SpiFlash::Read()
{
    if (!selected_)
        return 0xFF;
    ++stats_->spi_bytes_in;
    ++read_;
    switch (command_) {
    case Command::kReadStatus:
        return StatusRegister();
    case Command::kReadStatus2:
        return status2_;
    case Command::kJedecId:
        return part_->jedec_id[answer_++ & 3];
    case Command::kReadId:
        return data_ >= 3 ? part_->read_id[answer_++ & 1] : 0xFF;
    case Command::kFastRead:
        return data_ >= 1 ? memory_[answer_++ & mask_] : 0xFF;
    default:
        return 0xFF;  // nothing drives the data line
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
    return static_cast<uint8_t>(status_ | (latch_ ? kLatch : 0) | (Busy() ? kBusy : 0));
}

void SpiFlash::Begin(uint8_t opcode)
{
    has_opcode_ = true;
    opcode_ = opcode;
    const bool aai = opcode == 0xAD || opcode == 0xAF;
    addressed_ = opcode == 0x02 || opcode == 0x0B || opcode == 0x20 || opcode == 0xD7 || opcode == 0xD8 ||
                 (aai && aai_opcode_ == 0);

    Command command = commands_[opcode];
    const bool status_read = command == Command::kReadStatus || command == Command::kReadStatus2;
    if (!status_read) {
        // Status reads are the only commands a busy part hears; an AAI
        // sequence further takes its own opcode and the write disable.
        if (Busy())
            command = Command::kNone;
        else if (aai_opcode_ != 0 && !(command == Command::kAai && opcode == aai_opcode_) &&
                 command != Command::kWriteDisable)
            command = Command::kNone;
        // 0x50 opens only the command that follows it (status polls aside).
        status_write_open_ = status_write_enabled_;
        status_write_enabled_ = false;
    }
    command_ = command;
    if (command == Command::kPageProgram) {
        for (uint8_t& byte : page_)
            byte = 0xFF;
    }
}

void SpiFlash::End()
{
    if (!selected_ || !has_opcode_)
        return;
    Execute();
    ++stats_->spi_transactions;
    if (trace_->enabled())
        TraceTransaction();
    has_opcode_ = false;
}

void SpiFlash::Execute()
{
    switch (command_) {
    case Command::kWriteEnable:
        latch_ = true;
        break;
    case Command::kWriteDisable:
        latch_ = false;
        aai_opcode_ = 0;
        break;
    case Command::kEnableStatusWrite:
        status_write_enabled_ = true;
        break;
    case Command::kWriteStatus:
        WriteStatus();
        break;
    case Command::kPageProgram:
        PageProgram();
        break;
    case Command::kAai:
        AaiProgram();
        break;
    case Command::kErase1K:
        Erase(k1K, times_.erase_1k);
        break;
    case Command::kErase4K:
        Erase(k4K, times_.erase_4k);
        break;
    case Command::kErase64K:
        Erase(k64K, times_.erase_64k);
        break;
    default:
        break;
    }
}

void SpiFlash::WriteStatus()
{
    if (data_ < 1 || !(latch_ || status_write_open_))
        return;
    latch_ = false;
    status_ = data_bytes_[0] & ~kLiveBits;
    if ((part_->opcodes & kStatusRegister2) != 0 && data_ >= 2)
        status2_ = data_bytes_[1] & ~kSuspend;
    UpdateProtection();
    const bool volatile_write = status_write_open_ && part_->volatile_status;
    StartBusy(volatile_write ? 0 : times_.status_write, false);
}

void SpiFlash::PageProgram()
{
    if (sent_ < 4 || !latch_)
        return;
    latch_ = false;
    const uint32_t page = address_ & mask_ & ~(kPage - 1);
    if (Protected(page, kPage))
        return;
    uint8_t* cells = memory_ + page;
    for (uint32_t i = 0; i < kPage; ++i)
        cells[i] &= page_[i];
    RestoreStuck();
    StartBusy(times_.page_program, true);
}

void SpiFlash::AaiProgram()
{
    const uint32_t unit = opcode_ == 0xAD ? 2 : 1;
    if (aai_opcode_ == 0) {
        if (sent_ < 3 + unit || !latch_)
            return;
        aai_opcode_ = opcode_;
        aai_address_ = address_ & mask_;
    } else if (data_ < unit) {
        return;  // an AAI opcode without its data changes nothing
    }
    for (uint32_t i = 0; i < unit; ++i) {
        if (Protected((aai_address_ + i) & mask_, 1)) {
            aai_opcode_ = 0;
            latch_ = false;
            return;
        }
    }
    for (uint32_t i = 0; i < unit; ++i)
        memory_[(aai_address_ + i) & mask_] &= data_bytes_[i];
    aai_address_ = (aai_address_ + unit) & mask_;
    RestoreStuck();
    StartBusy(unit == 2 ? times_.aai_word : times_.aai_byte, true);
}

void SpiFlash::Erase(uint32_t unit, uint32_t busy_us)
{
    if (sent_ < 3 || !latch_)
        return;
    latch_ = false;
    if (unit > mask_ + 1)
        unit = mask_ + 1;
    const uint32_t base = address_ & mask_ & ~(unit - 1);
    if (Protected(base, unit))
        return;
    uint8_t* cells = memory_ + base;
    for (uint32_t i = 0; i < unit; ++i)
        cells[i] = 0xFF;
    RestoreStuck();
    StartBusy(busy_us, true);
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
    const uint32_t bp = (status_ >> 2) & 7;
    uint32_t length = 0;
    if (bp == 7)
        length = span;
    else if (bp != 0 && part_->protection == Protection::kWinbond && (status_ & kSector) != 0)
        length = k4K << ((bp < 4 ? bp : 4) - 1);
    else if (bp != 0)
        length = k64K << (bp - 1);
    if (length > span)
        length = span;
    const bool bottom = part_->protection == Protection::kWinbond && (status_ & kTopBottom) != 0;
    protect_begin_ = bottom ? 0 : span - length;
    protect_end_ = bottom ? length : span;
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

void SpiFlash::TraceTransaction()
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
    trace_->End();
}

}  // namespace sim
