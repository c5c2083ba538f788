// The AArch64 instructions a byte port access compiles to, decoded from
// their 32-bit word: LDRB and STRB with an unsigned immediate, a register
// (extended or shifted by 0) or an unscaled immediate offset. Every other
// load or store is refused with the reason, so a port access of any other
// shape can never be emulated with a wrong value.
#pragma once

#include <cstdint>

namespace trap {

enum class Offset : uint8_t { kImmediate, kRegister };

// How the register offset extends Rm (the instruction's option field).
enum class Extend : uint8_t { kUxtw = 2, kLsl = 3, kSxtw = 6, kSxtx = 7 };

struct ByteAccess {
    bool load;         // LDRB (else STRB)
    uint8_t rt;        // 31 is WZR
    uint8_t rn;        // 31 is SP
    Offset offset;
    int64_t immediate; // kImmediate
    uint8_t rm;        // kRegister; 31 is XZR
    Extend extend;     // kRegister
};

struct Decoded {
    bool ok;
    ByteAccess access;
    const char* refusal;  // why not, when !ok
};

Decoded Decode(uint32_t word);

// The address the access reaches, from the 31 general registers and SP.
uint64_t EffectiveAddress(const ByteAccess& access, const uint64_t regs[31], uint64_t sp);

}  // namespace trap
