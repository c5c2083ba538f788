#include "parts.h"

#include <cstddef>

namespace sim {

namespace {

constexpr uint16_t kCommon = kPageProgram | kErase4K | kBlockErase;
constexpr uint16_t kIteOpcodes = kCommon | kAaiWord | kAaiByte | kErase1K;
constexpr uint16_t kSstOpcodes = kByteProgram | kErase4K | kErase32K | kEnableStatusWrite;

constexpr uint32_t kAnySize = 0;

using namespace busy;

// Status register 1 layouts: the writable bits, the BP bits among them, the
// area BP = 1 protects.
constexpr StatusBits kBp012Top = {0xFC, 0x1C, 64};  // BP0-BP2 and bits 5-7 (W25Q: TB, SEC, SRP0; ITE, stand-ins)
constexpr StatusBits kBp01Lock = {0x8C, 0x0C, 64};  // BP0-BP1 and bit 7 (SRWD, BPL)
constexpr StatusBits kBp012Lock = {0x9C, 0x1C, 64};
constexpr StatusBits kBp0123Lock = {0xBC, 0x3C, 64};
constexpr StatusBits kSstB = {0xBC, 0x1C, 64};  // BP3 is kept but protects nothing
constexpr StatusBits kBp01Sector32K = {0x8C, 0x0C, 32};  // 32 KB sectors: a quarter, a half, all
constexpr StatusBits kGd = {0xFC, 0x1C, 64};  // BP0-BP4 (BP3 acts as TB, BP4 as SEC), SRP0

// SST25VF0xxB: 0xAB with address 0 answers the maker, then the device. The
// 020B has no BP2 and BP3.
constexpr PartMember kSst[] = {
    {256, "SST25VF020B", {0xBF, 0x25, 0x8C, 0x00}, {0xBF, 0x8C}, 64, kBp01Lock, &kSst25VfB, false},
    {512, "SST25VF040B", {0xBF, 0x25, 0x8D, 0x00}, {0xBF, 0x8D}, 64, kSstB, &kSst25VfB, false},
    {1024, "SST25VF080B", {0xBF, 0x25, 0x8E, 0x00}, {0xBF, 0x8E}, 64, kSstB, &kSst25VfB, false},
    {2048, "SST25VF016B", {0xBF, 0x25, 0x41, 0x00}, {0xBF, 0x41}, 64, kSstB, &kSst25VfB, false},
    {4096, "SST25VF032B", {0xBF, 0x25, 0x4A, 0x00}, {0xBF, 0x4A}, 64, kSstB, &kSst25VfB, false},
};

// SST25VF0xxA: no 0x9F (the EC reads 0x00), no 64 KB erase.
constexpr PartMember kSstOld[] = {
    {64, "SST25VF512A", {0x00, 0x00, 0x00, 0x00}, {0xBF, 0x48}, 0, kBp01Lock, &kSst25VfA, false},
    {128, "SST25VF010A", {0x00, 0x00, 0x00, 0x00}, {0xBF, 0x49}, 0, kBp01Lock, &kSst25VfA, false},
};

// Capacity byte = log2 of the size in bytes; 0xAB repeats the device id,
// one less. The dies of the DV generation (W25Q20 to W25Q16) clear status
// register 2's CMP, QE and SRP1 on a one-byte status write, the FV dies
// leave it.
constexpr PartMember kWinbond[] = {
    {256, "W25Q20", {0xEF, 0x40, 0x12, 0x00}, {0x11, 0x11}, 64, kBp012Top, &kW25Q80Dv, true},
    {512, "W25Q40", {0xEF, 0x40, 0x13, 0x00}, {0x12, 0x12}, 64, kBp012Top, &kW25Q80Dv, true},
    {1024, "W25Q80", {0xEF, 0x40, 0x14, 0x00}, {0x13, 0x13}, 64, kBp012Top, &kW25Q80Dv, true},
    {2048, "W25Q16", {0xEF, 0x40, 0x15, 0x00}, {0x14, 0x14}, 64, kBp012Top, &kW25Q16Dv, true},
    {4096, "W25Q32", {0xEF, 0x40, 0x16, 0x00}, {0x15, 0x15}, 64, kBp012Top, &kW25Q32Fv, false},
    {8192, "W25Q64", {0xEF, 0x40, 0x17, 0x00}, {0x16, 0x16}, 64, kBp012Top, &kW25Q64Fv, false},
    {16384, "W25Q128", {0xEF, 0x40, 0x18, 0x00}, {0x17, 0x17}, 64, kBp012Top, &kW25Q128Fv, false},
};

constexpr PartMember kMxic[] = {
    {128, "MX25L1005", {0xC2, 0x20, 0x11, 0x00}, {0x10, 0x10}, 64, kBp01Lock, &kMx25L8005, false},
    {256, "MX25L2005", {0xC2, 0x20, 0x12, 0x00}, {0x11, 0x11}, 64, kBp01Lock, &kMx25L8005, false},
    {512, "MX25L4005", {0xC2, 0x20, 0x13, 0x00}, {0x12, 0x12}, 64, kBp012Lock, &kMx25L8005, false},
    {1024, "MX25L8005", {0xC2, 0x20, 0x14, 0x00}, {0x13, 0x13}, 64, kBp012Lock, &kMx25L8005, false},
    {2048, "MX25L1605", {0xC2, 0x20, 0x15, 0x00}, {0x14, 0x14}, 64, kBp012Lock, &kMx25L8005, false},
    {4096, "MX25L3205", {0xC2, 0x20, 0x16, 0x00}, {0x15, 0x15}, 64, kBp012Lock, &kMx25L8005, false},
    {8192, "MX25L6405", {0xC2, 0x20, 0x17, 0x00}, {0x16, 0x16}, 64, kBp0123Lock, &kMx25L8005, false},
    {16384, "MX25L12805", {0xC2, 0x20, 0x18, 0x00}, {0x17, 0x17}, 64, kBp0123Lock, &kMx25L8005, false},
};

// Capacity byte 0x10: the one 64 KB part, which the tool programs in
// bursts. Any BP value protects all of it.
constexpr PartMember kMxicPp32[] = {
    {64, "MX25L512", {0xC2, 0x20, 0x10, 0x00}, {0x05, 0x05}, 64, kBp01Lock, &kMx25L8005, false},
};

// 0xD8 is the sector erase: 32 KB sectors up to M25P10-A, 64 KB above. The
// M25P05-A protects all of itself at any BP value.
constexpr PartMember kSt[] = {
    {64, "M25P05-A", {0x20, 0x20, 0x10, 0x00}, {0x05, 0x05}, 32, kBp01Lock, &kM25P05A, false},
    {128, "M25P10-A", {0x20, 0x20, 0x11, 0x00}, {0x10, 0x10}, 32, kBp01Sector32K, &kM25P10A, false},
    {256, "M25P20", {0x20, 0x20, 0x12, 0x00}, {0x11, 0x11}, 64, kBp01Lock, &kM25P20, false},
    {512, "M25P40", {0x20, 0x20, 0x13, 0x00}, {0x12, 0x12}, 64, kBp012Lock, &kM25P40, false},
    {1024, "M25P80", {0x20, 0x20, 0x14, 0x00}, {0x13, 0x13}, 64, kBp012Lock, &kM25P80, false},
    {2048, "M25P16", {0x20, 0x20, 0x15, 0x00}, {0x14, 0x14}, 64, kBp012Lock, &kM25P16, false},
    {4096, "M25P32", {0x20, 0x20, 0x16, 0x00}, {0x15, 0x15}, 64, kBp012Lock, &kM25P32, false},
    {8192, "M25P64", {0x20, 0x20, 0x17, 0x00}, {0x16, 0x16}, 64, kBp012Lock, &kM25P64, false},
};

// The EC's own flash answers the same at every size.
constexpr PartMember kIteA[] = {
    {kAnySize, "ITE A type", {0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF}, 64, kBp012Top, &kIte, false},
};
constexpr PartMember kItePart[] = {
    {kAnySize, "ITE", {0x00, 0x00, 0x00, 0x00}, {0xFF, 0x01}, 64, kBp012Top, &kIte, false},
};

// GigaDevice GD25Q follows Winbond's ids with its own maker byte.
constexpr PartMember kGigaDevice[] = {
    {256, "GD25Q20", {0xC8, 0x40, 0x12, 0x00}, {0x11, 0x11}, 64, kGd, &kGd25Q32B, false},
    {512, "GD25Q40", {0xC8, 0x40, 0x13, 0x00}, {0x12, 0x12}, 64, kGd, &kGd25Q32B, false},
    {1024, "GD25Q80", {0xC8, 0x40, 0x14, 0x00}, {0x13, 0x13}, 64, kGd, &kGd25Q32B, false},
    {2048, "GD25Q16", {0xC8, 0x40, 0x15, 0x00}, {0x14, 0x14}, 64, kGd, &kGd25Q32B, false},
    {4096, "GD25Q32", {0xC8, 0x40, 0x16, 0x00}, {0x15, 0x15}, 64, kGd, &kGd25Q32B, false},
    {8192, "GD25Q64", {0xC8, 0x40, 0x17, 0x00}, {0x16, 0x16}, 64, kGd, &kGd25Q32B, false},
    {16384, "GD25Q128", {0xC8, 0x40, 0x18, 0x00}, {0x17, 0x17}, 64, kGd, &kGd25Q32B, false},
};

// Stand-ins for makers whose own ids are not modelled here: the answers of
// a W25Q of each size from 128 KB up with this maker's byte in front, and
// that member's busy times (the 128 KB one the W25Q20's). No real part
// answers so.
struct StandIn {
    PartMember members[8];
};

constexpr StandIn W25QStandIn(uint8_t maker)
{
    constexpr const char* kNumbers[] = {"W25Q10", "W25Q20", "W25Q40", "W25Q80",
                                        "W25Q16", "W25Q32", "W25Q64", "W25Q128"};
    constexpr const BusyTimes* kTimes[] = {&kW25Q80Dv, &kW25Q80Dv, &kW25Q80Dv, &kW25Q80Dv,
                                           &kW25Q16Dv, &kW25Q32Fv, &kW25Q64Fv, &kW25Q128Fv};
    StandIn s{};
    for (uint8_t i = 0; i < 8; ++i) {
        const auto capacity = static_cast<uint8_t>(0x11 + i);
        s.members[i] = {128u << i, kNumbers[i], {maker, 0x40, capacity, 0x00},
                        {static_cast<uint8_t>(capacity - 1), static_cast<uint8_t>(capacity - 1)}, 64,
                        kBp012Top, kTimes[i], false};
    }
    return s;
}

constexpr StandIn kAtmel = W25QStandIn(0x1F);
constexpr StandIn kSpansion = W25QStandIn(0x01);
constexpr StandIn kAmic = W25QStandIn(0x37);
constexpr StandIn kEon = W25QStandIn(0x1C);
constexpr StandIn kEsmt = W25QStandIn(0x8C);
constexpr StandIn kPmc = W25QStandIn(0x7F);
constexpr StandIn kUnknown = W25QStandIn(0x9D);

constexpr const char* kStandInFamily = "stand-in, W25Q ids behind its maker byte";

// Status register 2 bits a write sets: W25Q SRP1, QE, LB1-LB3, CMP;
// GD25Q SRP1, QE, LB, CMP.
constexpr uint8_t kW25QStatus2 = 0x7B;
constexpr uint8_t kGdStatus2 = 0x47;

#define MEMBERS(table) table, sizeof table / sizeof table[0]

using P = Protection;
using W = StatusWrite;
using L = StatusLock;
using T = SfdpTable;

constexpr PartInfo kParts[] = {
    {Part::kSst, "sst", "SST25VF0xxB", kSstOpcodes | kAaiWord | kBlockErase, P::kUpperBlocks, W::kLatchOrEwsr,
     L::kWpBit7, 0, T::kNone, true, 256, MEMBERS(kSst)},
    {Part::kSstOld, "sst-old", "SST25VF0xxA", kSstOpcodes | kAaiByte, P::kUpperBlocks, W::kEwsrOnly, L::kWpBit7, 0,
     T::kNone, true, 128, MEMBERS(kSstOld)},
    {Part::kWinbond, "winbond", "Winbond W25Q", kCommon | kErase32K | kStatusRegister2 | kEnableStatusWrite,
     P::kWinbond, W::kLatchOrVolatile, L::kSrp, kW25QStatus2, T::kWinbond, false, 256, MEMBERS(kWinbond)},
    {Part::kMxic, "mxic", "Macronix MX25L", kCommon, P::kUpperBlocks, W::kLatch, L::kWpBit7, 0, T::kNone, false,
     256, MEMBERS(kMxic)},
    {Part::kMxicPp32, "mxic-pp32", "Macronix MX25L512", kCommon, P::kUpperBlocks, W::kLatch, L::kWpBit7, 0,
     T::kNone, false, 64, MEMBERS(kMxicPp32)},
    {Part::kSt, "st", "ST M25P", kPageProgram | kBlockErase, P::kUpperBlocks, W::kLatch, L::kWpBit7, 0, T::kNone,
     false, 256, MEMBERS(kSt)},
    {Part::kIteA, "ite-a", "ITE, type A", kIteOpcodes, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kNone, false,
     256, MEMBERS(kIteA)},
    {Part::kIte, "ite", "ITE", kIteOpcodes, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kNone, false, 256,
     MEMBERS(kItePart)},
    {Part::kAtmel, "atmel", kStandInFamily, kCommon, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kNone, false, 256,
     MEMBERS(kAtmel.members)},
    {Part::kSpansion, "spansion", kStandInFamily, kCommon, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kStandIn,
     false, 256, MEMBERS(kSpansion.members)},
    {Part::kAmic, "amic", kStandInFamily, kCommon, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kStandIn, false, 256,
     MEMBERS(kAmic.members)},
    {Part::kEon, "eon", kStandInFamily, kCommon, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kStandIn, false, 256,
     MEMBERS(kEon.members)},
    {Part::kEsmt, "esmt", kStandInFamily, kCommon, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kStandIn, false, 256,
     MEMBERS(kEsmt.members)},
    {Part::kGigaDevice, "gigadevice", "GigaDevice GD25Q", kCommon | kErase32K | kStatusRegister2, P::kWinbond,
     W::kLatch, L::kSrp, kGdStatus2, T::kNone, false, 256, MEMBERS(kGigaDevice)},
    {Part::kPmc, "pmc", kStandInFamily, kCommon, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kStandIn, false, 256,
     MEMBERS(kPmc.members)},
    {Part::kUnknown, "unknown", kStandInFamily, kCommon, P::kUpperBlocks, W::kLatch, L::kNone, 0, T::kNone, false,
     256, MEMBERS(kUnknown.members)},
};

#undef MEMBERS

constexpr size_t kPartCount = sizeof kParts / sizeof kParts[0];

// The rows must follow enum Part (PartInfoOf indexes by it), and every
// default size must be a member.
constexpr bool RowsInEnumOrder()
{
    for (size_t i = 0; i < kPartCount; ++i) {
        if (static_cast<size_t>(kParts[i].part) != i)
            return false;
    }
    return kPartCount == static_cast<size_t>(Part::kUnknown) + 1;
}
static_assert(RowsInEnumOrder(), "kParts out of step with enum Part");

constexpr bool DefaultsAreMembers()
{
    for (const PartInfo& part : kParts) {
        bool found = false;
        for (size_t m = 0; m < part.member_count; ++m)
            found = found || part.members[m].kb == kAnySize || part.members[m].kb == part.default_kb;
        if (!found)
            return false;
    }
    return true;
}
static_assert(DefaultsAreMembers(), "a part's default size is none of its members");

// 0x35 and a two-byte 0x01 go with a status register 2 that a write sets.
constexpr bool SecondRegisterAgrees()
{
    for (const PartInfo& part : kParts) {
        if (((part.opcodes & kStatusRegister2) != 0) != (part.status2_writable != 0))
            return false;
    }
    return true;
}
static_assert(SecondRegisterAgrees(), "kStatusRegister2 and status2_writable disagree");

bool SameName(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

bool IsFlashSize(uint32_t kb)
{
    return kb >= 64 && kb <= 16384 && (kb & (kb - 1)) == 0;
}

}  // namespace

const PartInfo& PartInfoOf(Part part)
{
    const auto index = static_cast<size_t>(part);
    return kParts[index < kPartCount ? index : kPartCount - 1];
}

const PartInfo* FindPart(const char* name)
{
    for (const PartInfo& info : kParts) {
        if (SameName(info.name, name))
            return &info;
    }
    return nullptr;
}

const PartInfo* AllParts(size_t* count)
{
    *count = kPartCount;
    return kParts;
}

const PartMember* FindMember(const PartInfo& part, uint32_t kb)
{
    for (size_t m = 0; m < part.member_count; ++m) {
        const PartMember& member = part.members[m];
        if (member.kb == kb || (member.kb == kAnySize && IsFlashSize(kb)))
            return &member;
    }
    return nullptr;
}

uint32_t FlashKb(const Config& config)
{
    return config.flash_kb != 0 ? config.flash_kb : PartInfoOf(config.flash).default_kb;
}

const PartMember& MemberOf(const Config& config)
{
    const PartInfo& part = PartInfoOf(config.flash);
    const PartMember* member = FindMember(part, FlashKb(config));
    return member != nullptr ? *member : *FindMember(part, part.default_kb);
}

}  // namespace sim
