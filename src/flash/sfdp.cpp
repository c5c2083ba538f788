// Only what the size needs is read: the header, the parameter headers up to
// the basic table's, and that table's density word. Each read is one 0x5A
// transaction; nothing is written, so no status wait goes with it.
#include "sfdp.h"

#include "channel.h"
#include "phase.h"

namespace flash {

namespace {

constexpr uint8_t kOpReadSfdp = 0x5A;
constexpr uint32_t kSignature = 0x50444653;  // "SFDP", little-endian
constexpr uint8_t kMajorRevision = 1;
constexpr uint8_t kBasicTableId = 0x00;  // id LSB; MSB 0xFF for JEDEC tables
constexpr uint8_t kJedecTableIdMsb = 0xFF;
constexpr uint8_t kBasicTableMinDwords = 9;  // JESD216's first table
constexpr uint64_t kMostBytes = uint64_t{1} << 31;

void OpenSfdpRead(uint32_t address)
{
    SendCommand(kOpReadSfdp, address);
    SendFlashByte(0x00);  // eight dummy clocks
}

uint32_t ReadDword()
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= uint32_t{ReadFlashByte()} << (8 * i);
    return value;
}

// The basic table's address, 0 when the header or no parameter header
// leads to one (a table never starts at 0: the header is there).
uint32_t FindBasicTable()
{
    OpenSfdpRead(0);
    if (ReadDword() != kSignature)
        return 0;
    const uint32_t revisions = ReadDword();
    if (((revisions >> 8) & 0xFF) != kMajorRevision)
        return 0;
    const uint32_t headers = ((revisions >> 16) & 0xFF) + 1;
    for (uint32_t h = 0; h < headers; ++h) {
        const uint32_t first = ReadDword();   // id LSB, minor, major, length
        const uint32_t second = ReadDword();  // pointer (24 bits), id MSB
        const bool basic = (first & 0xFF) == kBasicTableId && (second >> 24) == kJedecTableIdMsb;
        if (!basic)
            continue;
        const uint32_t pointer = second & 0xFFFFFF;
        const bool sound = ((first >> 16) & 0xFF) == kMajorRevision && (first >> 24) >= kBasicTableMinDwords &&
                           pointer != 0 && pointer % 4 == 0;
        return sound ? pointer : 0;
    }
    return 0;
}

// Bit 31 clear: the size in bits less one; set: its log2.
uint32_t BytesOfDensity(uint32_t density)
{
    uint64_t bits;
    if ((density >> 31) == 0) {
        bits = uint64_t{density} + 1;
    } else {
        const uint32_t log2 = density & 0x7FFFFFFF;
        if (log2 > 34)
            return 0;
        bits = uint64_t{1} << log2;
    }
    // Whole KB, as every size the tool shows is.
    if (bits % (8 * 1024) != 0 || bits / 8 > kMostBytes)
        return 0;
    return static_cast<uint32_t>(bits / 8);
}

}  // namespace

uint32_t ReadSfdpCapacity()
{
    const PhaseScope phase(Phase::kSfdp);
    const uint32_t table = FindBasicTable();
    ExitFollowMode();
    if (table == 0)
        return 0;
    OpenSfdpRead(table + 4);
    const uint32_t density = ReadDword();
    ExitFollowMode();
    return BytesOfDensity(density);
}

}  // namespace flash
