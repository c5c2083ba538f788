#include "decode.h"

namespace trap {

namespace {

uint32_t Bits(uint32_t word, int low, int count)
{
    return (word >> low) & ((1u << count) - 1);
}

struct Form {
    uint32_t mask;
    uint32_t match;
    bool load;
    Offset offset;
    bool scaled;  // the immediate is imm12 (else imm9, signed)
};

const Form kForms[] = {
    {0xFFC00000, 0x39000000, false, Offset::kImmediate, true},   // STRB  [Xn, #imm12]
    {0xFFC00000, 0x39400000, true, Offset::kImmediate, true},    // LDRB  [Xn, #imm12]
    {0xFFE00C00, 0x38200800, false, Offset::kRegister, false},   // STRB  [Xn, Rm, ext]
    {0xFFE00C00, 0x38600800, true, Offset::kRegister, false},    // LDRB  [Xn, Rm, ext]
    {0xFFE00C00, 0x38000000, false, Offset::kImmediate, false},  // STURB [Xn, #simm9]
    {0xFFE00C00, 0x38400000, true, Offset::kImmediate, false},   // LDURB [Xn, #simm9]
};

// For the message only, first match wins; every word here is refused.
struct Refusal {
    uint32_t mask;
    uint32_t match;
    const char* reason;
};

const Refusal kRefusals[] = {
    {0x0A000000, 0x00000000, "not a load or store"},
    {0x0A000000, 0x02000000, "not a load or store"},
    {0x0A000000, 0x0A000000, "not a load or store"},
    {0x04000000, 0x04000000, "SIMD or floating-point register"},
    {0x38000000, 0x28000000, "register pair (LDP/STP)"},
    {0x3F000000, 0x08000000, "exclusive or acquire/release access"},
    {0x3B000000, 0x18000000, "PC-relative literal load"},
    {0x3B200C00, 0x38200000, "atomic memory operation"},
    {0xC0000000, 0x40000000, "16-bit access (only byte accesses are emulated)"},
    {0xC0000000, 0x80000000, "32-bit access (only byte accesses are emulated)"},
    {0xC0000000, 0xC0000000, "64-bit access (only byte accesses are emulated)"},
    {0x3F800000, 0x39800000, "sign-extending byte load (LDRSB)"},
    {0x3F800000, 0x38800000, "sign-extending byte load (LDRSB)"},
    {0x3F200400, 0x38000400, "writeback addressing (pre- or post-index)"},
    {0x3F200C00, 0x38000800, "unprivileged access (LDTRB/STTRB)"},
    {0x3F204C00, 0x38200800, "register offset with an unallocated extend"},
};

const char* Refuse(uint32_t word)
{
    for (const Refusal& refusal : kRefusals) {
        if ((word & refusal.mask) == refusal.match)
            return refusal.reason;
    }
    return "load or store of a form that is not emulated";
}

int64_t SignExtend(uint32_t value, int bits)
{
    const uint32_t sign = 1u << (bits - 1);
    return static_cast<int64_t>(static_cast<int32_t>((value ^ sign) - sign));
}

}  // namespace

Decoded Decode(uint32_t word)
{
    for (const Form& form : kForms) {
        if ((word & form.mask) != form.match)
            continue;
        ByteAccess access{};
        access.load = form.load;
        access.rt = static_cast<uint8_t>(Bits(word, 0, 5));
        access.rn = static_cast<uint8_t>(Bits(word, 5, 5));
        access.offset = form.offset;
        if (form.offset == Offset::kRegister) {
            // Option x0x is unallocated; S only chooses a shift of 0 for bytes.
            const uint32_t option = Bits(word, 13, 3);
            if ((option & 2) == 0)
                break;
            access.rm = static_cast<uint8_t>(Bits(word, 16, 5));
            access.extend = static_cast<Extend>(option);
        } else if (form.scaled) {
            access.immediate = Bits(word, 10, 12);
        } else {
            access.immediate = SignExtend(Bits(word, 12, 9), 9);
        }
        return {true, access, nullptr};
    }
    return {false, {}, Refuse(word)};
}

uint64_t EffectiveAddress(const ByteAccess& access, const uint64_t regs[31], uint64_t sp)
{
    const uint64_t base = access.rn == 31 ? sp : regs[access.rn];
    if (access.offset == Offset::kImmediate)
        return base + static_cast<uint64_t>(access.immediate);
    const uint64_t rm = access.rm == 31 ? 0 : regs[access.rm];
    switch (access.extend) {
    case Extend::kUxtw:
        return base + static_cast<uint32_t>(rm);
    case Extend::kSxtw:
        return base + static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(rm)));
    case Extend::kLsl:
    case Extend::kSxtx:
        break;
    }
    return base + rm;
}

}  // namespace trap
