#include "superio.h"

namespace sim {

namespace {

constexpr uint8_t kEntryKey[] = {0x87, 0x01, 0x55, 0x55};

// Configuration registers.
constexpr uint8_t kConfigControl = 0x02;  // bit 1: back to the locked state
constexpr uint8_t kLogicalDevice = 0x07;
constexpr uint8_t kChipIdHigh = 0x20;
constexpr uint8_t kChipIdLow = 0x21;
constexpr uint8_t kInnerIndex = 0x4E;
constexpr uint8_t kInnerData = 0x4F;
constexpr uint8_t kBaseHigh = 0x60;
constexpr uint8_t kBaseLow = 0x61;

// Inner indexes of the EC memory pair.
constexpr uint8_t kAddressLow = 0x10;
constexpr uint8_t kAddressHigh = 0x11;
constexpr uint8_t kMemoryData = 0x12;

constexpr uint8_t kBramHigh = 0x10;
constexpr uint8_t kBramLow = 0x11;

}  // namespace

void SuperIo::Init(const Config& config, const Ec* ec)
{
    *this = SuperIo{};
    ec_ = ec;
    present_ = config.sio_present;
    locked_ = config.sio_locked;
    chip_id_ = config.chip_id;
    base_ = config.ldn_base;
    bank_[kBramHigh] = config.bram[0];
    bank_[kBramLow] = config.bram[1];
}

void SuperIo::WriteIndex(uint8_t value)
{
    if (!present_)
        return;
    index_ = value;
    if (value == kEntryKey[key_matched_]) {
        if (++key_matched_ == sizeof kEntryKey) {
            entered_ = true;
            key_matched_ = 0;
        }
    } else {
        key_matched_ = value == kEntryKey[0] ? 1 : 0;
    }
}

void SuperIo::WriteData(uint8_t value)
{
    if (!Answers())
        return;
    switch (index_) {
    case kConfigControl:
        if ((value & 0x02) != 0) {
            entered_ = false;
            key_matched_ = 0;
        }
        break;
    case kLogicalDevice:
        ldn_ = value;
        break;
    case kInnerIndex:
        inner_index_ = value;
        break;
    case kInnerData:
        if (inner_index_ == kAddressLow)
            inner_address_ = static_cast<uint16_t>((inner_address_ & 0xFF00) | value);
        else if (inner_index_ == kAddressHigh)
            inner_address_ = static_cast<uint16_t>((inner_address_ & 0x00FF) | (value << 8));
        break;
    default:
        break;  // the other registers are fixed on this board
    }
}

uint8_t SuperIo::Register(uint8_t index) const
{
    const bool bram_device = ldn_ == kBramDevice;
    switch (index) {
    case kLogicalDevice:
        return ldn_;
    case kChipIdHigh:
        return static_cast<uint8_t>(chip_id_ >> 8);
    case kChipIdLow:
        return static_cast<uint8_t>(chip_id_);
    case kBaseHigh:
        return bram_device ? static_cast<uint8_t>(base_ >> 8) : 0x00;
    case kBaseLow:
        return bram_device ? static_cast<uint8_t>(base_) : 0x00;
    case kInnerIndex:
        return inner_index_;
    case kInnerData:
        return InnerData();
    default:
        return 0x00;
    }
}

uint8_t SuperIo::InnerData() const
{
    switch (inner_index_) {
    case kAddressLow:
        return static_cast<uint8_t>(inner_address_);
    case kAddressHigh:
        return static_cast<uint8_t>(inner_address_ >> 8);
    case kMemoryData:
        return ec_->MemoryByte(inner_address_);
    default:
        return 0x00;
    }
}

}  // namespace sim
