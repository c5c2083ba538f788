// The trap library's decoder (sim/trap), on instruction words assembled by
// GNU as for AArch64: the byte accesses it performs, and what it refuses.
#include <gtest/gtest.h>

#include <cstring>

#include "sim/trap/decode.h"

namespace {

constexpr uint64_t kSp = 0x7FFF0000;

// x<n> = 0x100000 * (n + 1), except the offset registers below.
void Registers(uint64_t regs[31])
{
    for (int n = 0; n < 31; ++n)
        regs[n] = 0x100000ull * static_cast<uint64_t>(n + 1);
    regs[0] = 3;
    regs[13] = 0xFFFFFFFF00000005;  // uxtw: 5
    regs[16] = 0x00000000FFFFFFFE;  // sxtw: -2
    regs[19] = 7;
    regs[22] = 9;
}

uint64_t X(int n)
{
    return 0x100000ull * static_cast<uint64_t>(n + 1);
}

TEST(TrapDecode, PerformsEachByteAccessFormAtItsAddress)
{
    struct Row {
        uint32_t word;
        const char* assembly;
        bool load;
        uint8_t rt;
        uint64_t address;
    };
    const Row rows[] = {
        {0x38606820, "ldrb w0, [x1, x0]", true, 0, X(1) + 3},
        {0x38206841, "strb w1, [x2, x0]", false, 1, X(2) + 3},
        {0x39400083, "ldrb w3, [x4]", true, 3, X(4)},
        {0x397fffe5, "ldrb w5, [sp, #4095]", true, 5, kSp + 4095},
        {0x390004df, "strb wzr, [x6, #1]", false, 31, X(6) + 1},
        {0x385ff107, "ldurb w7, [x8, #-1]", true, 7, X(8) - 1},
        {0x380ff149, "sturb w9, [x10, #255]", false, 9, X(10) + 255},
        {0x386d498b, "ldrb w11, [x12, w13, uxtw]", true, 11, X(12) + 5},
        {0x3870c9ee, "ldrb w14, [x15, w16, sxtw]", true, 14, X(15) - 2},
        {0x3833ea51, "strb w17, [x18, x19, sxtx]", false, 17, X(18) + 7},
        {0x38767ab4, "ldrb w20, [x21, x22, lsl #0]", true, 20, X(21) + 9},
        {0x387f683f, "ldrb wzr, [x1, xzr]", true, 31, X(1)},
    };
    uint64_t regs[31];
    Registers(regs);
    for (const Row& row : rows) {
        const trap::Decoded decoded = trap::Decode(row.word);
        ASSERT_TRUE(decoded.ok) << row.assembly << ": " << decoded.refusal;
        EXPECT_EQ(decoded.access.load, row.load) << row.assembly;
        EXPECT_EQ(decoded.access.rt, row.rt) << row.assembly;
        EXPECT_EQ(trap::EffectiveAddress(decoded.access, regs, kSp), row.address) << row.assembly;
    }
}

TEST(TrapDecode, RefusesEveryOtherAccessWithItsReason)
{
    struct Row {
        uint32_t word;
        const char* assembly;
        const char* reason;  // part of the refusal
    };
    const Row rows[] = {
        {0x78606820, "ldrh w0, [x1, x0]", "16-bit"},
        {0x79000041, "strh w1, [x2]", "16-bit"},
        {0xb9400020, "ldr w0, [x1]", "32-bit"},
        {0xf9400020, "ldr x0, [x1]", "64-bit"},
        {0x39c00020, "ldrsb w0, [x1]", "LDRSB"},
        {0x38a26820, "ldrsb x0, [x1, x2]", "LDRSB"},
        {0x38dff020, "ldursb w0, [x1, #-1]", "LDRSB"},
        {0x38401c20, "ldrb w0, [x1, #1]!", "writeback"},
        {0x38001420, "strb w0, [x1], #1", "writeback"},
        {0x38400820, "ldtrb w0, [x1]", "unprivileged"},
        {0x38602820, "ldrb w0, [x1, x0] with option 001", "unallocated extend"},
        {0xa9400440, "ldp x0, x1, [x2]", "pair"},
        {0x085f7c20, "ldxrb w0, [x1]", "exclusive"},
        {0x08dffc20, "ldarb w0, [x1]", "exclusive"},
        {0x38200041, "ldaddb w0, w1, [x2]", "atomic"},
        {0x3d400020, "ldr b0, [x1]", "SIMD"},
        {0x58000000, "ldr x0, <literal>", "literal"},
        {0x8b020020, "add x0, x1, x2", "not a load or store"},
    };
    for (const Row& row : rows) {
        const trap::Decoded decoded = trap::Decode(row.word);
        ASSERT_FALSE(decoded.ok) << row.assembly;
        EXPECT_NE(strstr(decoded.refusal, row.reason), nullptr) << row.assembly << ": " << decoded.refusal;
    }
}

}  // namespace
