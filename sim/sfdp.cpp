#include "sfdp.h"

namespace sim {

namespace {

// BFPT DWORD 1: 4 KB erase supported with 0x20, writes of a page (64 bytes
// or more), non-volatile block-protect bits, 3-byte addresses, none of the
// dual or quad reads (the board answers only single-line reads).
constexpr uint32_t kBfptFeatures = 0xFF8020E5;
// DWORDs 3 to 7: every multi-line read unsupported (opcode 0xFF, no clocks).
constexpr uint32_t kBfptNoFastReads[] = {0xFF00FF00, 0xFF00FF00, 0xFFFFFFEE, 0xFF00FFFF, 0xFF00FFFF};
// DWORDs 8 and 9: four erase types, each log2 of its size and its opcode.
constexpr uint32_t kWinbondErases[] = {0x520F200C, 0xFF00D810};  // 4 KB 0x20, 32 KB 0x52, 64 KB 0xD8
constexpr uint32_t kStandInErases[] = {0xD810200C, 0xFF00FF00};  // 4 KB 0x20, 64 KB 0xD8

constexpr uint8_t kBfptDwords = 9;

struct Layout {
    uint8_t bfpt;    // where the BFPT begins
    uint8_t vendor;  // where the maker's table begins; 0: none
    uint8_t vendor_dwords;
    const uint32_t* erases;
};

void PutDword(uint8_t* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// One 8-byte parameter header: id LSB, revision 1.0, length, pointer, id MSB.
void PutHeader(uint8_t* at, uint8_t id_lsb, uint8_t dwords, uint8_t pointer, uint8_t id_msb)
{
    const uint8_t header[] = {id_lsb, 0x00, 0x01, dwords, pointer, 0x00, 0x00, id_msb};
    for (uint8_t byte : header)
        *at++ = byte;
}

}  // namespace

void BuildSfdp(SfdpTable table, uint32_t kb, uint8_t maker, uint8_t (&area)[kSfdpAreaBytes])
{
    for (uint8_t& byte : area)
        byte = 0xFF;
    if (table == SfdpTable::kNone)
        return;
    // Winbond keeps its BFPT at 0x80; the stand-ins follow the common
    // layout of a BFPT at 0x30 and the maker's table at 0x60.
    const Layout layout = table == SfdpTable::kWinbond ? Layout{0x80, 0, 0, kWinbondErases}
                                                       : Layout{0x30, 0x60, 3, kStandInErases};
    const uint8_t nph = layout.vendor != 0 ? 1 : 0;
    const uint8_t signature[] = {'S', 'F', 'D', 'P', 0x00, 0x01, nph, 0xFF};  // JESD216 1.0
    for (uint32_t i = 0; i < sizeof signature; ++i)
        area[i] = signature[i];
    PutHeader(area + 0x08, 0x00, kBfptDwords, layout.bfpt, 0xFF);
    if (layout.vendor != 0)
        PutHeader(area + 0x10, maker, layout.vendor_dwords, layout.vendor, 0xFF);

    uint8_t* bfpt = area + layout.bfpt;
    PutDword(bfpt, kBfptFeatures);
    PutDword(bfpt + 4, kb * 1024u * 8u - 1);  // density: bits - 1, bit 31 clear
    for (uint32_t i = 0; i < 5; ++i)
        PutDword(bfpt + 8 + 4 * i, kBfptNoFastReads[i]);
    PutDword(bfpt + 28, layout.erases[0]);
    PutDword(bfpt + 32, layout.erases[1]);
    // The maker's table holds nothing the board defines: 0xFF.
}

}  // namespace sim
