// The status registers as each family's datasheet defines them: what arms
// and what refuses a status write, the area the protection bits give, and
// the SFDP area read with 0x5A.
#include <gtest/gtest.h>

#include "spi_flash_rig.h"

namespace {

using flashtest::FlashRig;
using sim::Part;
using Bytes = std::vector<uint8_t>;

std::string LastLine(const std::string& lines, const std::string& prefix)
{
    std::string found;
    size_t at = 0;
    while (at < lines.size()) {
        const size_t end = lines.find('\n', at);
        const std::string line = lines.substr(at, end - at);
        if (line.rfind(prefix, 0) == 0)
            found = line;
        at = end + 1;
    }
    return found;
}

struct StatusRow {
    const char* what;
    Part part;
    uint32_t kb;  // 0: the default member
    uint8_t sr1, sr2;  // --status, --status2
    bool wp_low;
    std::vector<Bytes> host;  // transactions, the part left to finish each
    uint8_t want_sr1;         // what 0x05 reads afterwards
    int want_sr2;             // what 0x35 reads; -1: no status register 2
    uint8_t nonvolatile;      // status register 1 as the next power-on finds it
    uint32_t busy_us;
    const char* last_write;  // the trace line of the last 0x01
};

TEST(SpiFlashStatus, WhatArmsAndWhatRefusesAStatusWrite)
{
    const StatusRow rows[] = {
        // W25Q: 0x50 arms the next 0x01 whatever comes between; it writes
        // the volatile copies, takes no time, leaves the latch clear.
        {"W25Q status reads between 0x50 and 0x01", Part::kWinbond, 0, 0, 0, false,
         {{0x50}, {0x05}, {0x35}, {0x01, 0x1C}}, 0x1C, 0x00, 0x00, 0, "spi 01 w=1"},
        {"W25Q other commands between", Part::kWinbond, 0, 0, 0, false,
         {{0x50}, {0x9F}, {0x0B, 0, 0, 0, 0}, {0xAB, 0, 0, 0}, {0x01, 0x1C}}, 0x1C, 0x00, 0x00, 0, "spi 01 w=1"},
        {"W25Q 0x04 cancels 0x50", Part::kWinbond, 0, 0, 0, false, {{0x50}, {0x04}, {0x01, 0x1C}}, 0x00, 0x00, 0x00,
         0, "spi 01 w=1 ignored not-enabled"},
        {"W25Q one write per 0x50", Part::kWinbond, 0, 0, 0, false, {{0x50}, {0x01, 0x1C}, {0x01, 0x00}}, 0x1C, 0x00,
         0x00, 0, "spi 01 w=1 ignored not-enabled"},
        {"W25Q 0x06: non-volatile, W25Q80DV tW", Part::kWinbond, 0, 0, 0, false, {{0x06}, {0x01, 0x1C}}, 0x1C, 0x00,
         0x1C, 10'000, "spi 01 w=1"},
        {"W25Q 0x50 after 0x06 still volatile", Part::kWinbond, 0, 0, 0, false, {{0x06}, {0x50}, {0x01, 0x1C}}, 0x1C,
         0x00, 0x00, 0, "spi 01 w=1"},
        // SST: 0x50 arms only the command right after it.
        {"SST status read between", Part::kSst, 0, 0, 0, false, {{0x50}, {0x05}, {0x01, 0x0C}}, 0x00, -1, 0x00, 0,
         "spi 01 w=1 ignored not-enabled"},
        {"SST right after, no busy time", Part::kSst, 0, 0, 0, false, {{0x50}, {0x01, 0x0C}}, 0x0C, -1, 0x0C, 0,
         "spi 01 w=1"},
        {"GD25Q has no 0x50", Part::kGigaDevice, 0, 0, 0, false, {{0x50}, {0x01, 0x1C}}, 0x00, 0x00, 0x00, 0,
         "spi 01 w=1 ignored not-enabled"},
        // Locks: SRP1/SRP0 with WP#; SRWD and BPL with WP# low.
        {"W25Q SRP0, WP# low", Part::kWinbond, 0, 0x80, 0, true, {{0x06}, {0x01, 0x00}}, 0x80, 0x00, 0x80, 0,
         "spi 01 w=1 ignored locked"},
        {"W25Q SRP0, WP# high", Part::kWinbond, 0, 0x80, 0, false, {{0x06}, {0x01, 0x00}}, 0x00, 0x00, 0x00, 10'000,
         "spi 01 w=1"},
        {"W25Q SRP1 SRP0 = 10 comes up 00", Part::kWinbond, 0, 0x00, 0x01, false, {{0x06}, {0x01, 0x1C}}, 0x1C, 0x00,
         0x1C, 10'000, "spi 01 w=1"},
        {"W25Q SRP1 SRP0 = 11 for good", Part::kWinbond, 0, 0x80, 0x01, false, {{0x50}, {0x01, 0x00, 0x00}}, 0x80,
         0x01, 0x80, 0, "spi 01 w=2 ignored locked"},
        {"W25Q SRP1 set: locked until power-off", Part::kWinbond, 0, 0, 0, false,
         {{0x06}, {0x01, 0x00, 0x01}, {0x06}, {0x01, 0x1C, 0x00}}, 0x00, 0x01, 0x00, 10'000,
         "spi 01 w=2 ignored locked"},
        {"GD25Q SRP0, WP# low", Part::kGigaDevice, 0, 0x80, 0, true, {{0x06}, {0x01, 0x00}}, 0x80, 0x00, 0x80, 0,
         "spi 01 w=1 ignored locked"},
        {"MX25L SRWD, WP# low", Part::kMxic, 0, 0x84, 0, true, {{0x06}, {0x01, 0x00}}, 0x84, -1, 0x84, 0,
         "spi 01 w=1 ignored locked"},
        {"MX25L SRWD, WP# high; MX25L8005 status time", Part::kMxic, 0, 0x84, 0, false, {{0x06}, {0x01, 0x00}}, 0x00,
         -1, 0x00, 90'000, "spi 01 w=1"},
        {"M25P SRWD, WP# low", Part::kSt, 0, 0x80, 0, true, {{0x06}, {0x01, 0x00}}, 0x80, -1, 0x80, 0,
         "spi 01 w=1 ignored locked"},
        {"SST BPL, WP# low", Part::kSst, 0, 0x80, 0, true, {{0x50}, {0x01, 0x00}}, 0x80, -1, 0x80, 0,
         "spi 01 w=1 ignored locked"},
        {"SST25VF010A BPL, WP# low", Part::kSstOld, 0, 0x8C, 0, true, {{0x50}, {0x01, 0x00}}, 0x8C, -1, 0x8C, 0,
         "spi 01 w=1 ignored locked"},
        {"ITE: bit 7 locks nothing", Part::kIte, 0, 0x80, 0, true, {{0x06}, {0x01, 0x00}}, 0x00, -1, 0x00, 10'000,
         "spi 01 w=1"},
        // Status register 2 under a one-byte 0x01: the DV die clears CMP, QE
        // and SRP1, the FV die and GD25Q leave it; LB bits never clear.
        {"W25Q80DV one byte", Part::kWinbond, 1024, 0, 0x42, false, {{0x06}, {0x01, 0x00}}, 0x00, 0x00, 0x00, 10'000,
         "spi 01 w=1"},
        {"W25Q32FV one byte", Part::kWinbond, 4096, 0, 0x42, false, {{0x06}, {0x01, 0x00}}, 0x00, 0x42, 0x00, 10'000,
         "spi 01 w=1"},
        {"GD25Q one byte", Part::kGigaDevice, 0, 0, 0x42, false, {{0x06}, {0x01, 0x00}}, 0x00, 0x42, 0x00, 2'000,
         "spi 01 w=1"},
        {"W25Q LB1 stays", Part::kWinbond, 0, 0, 0x08, false, {{0x06}, {0x01, 0x00, 0x00}}, 0x00, 0x08, 0x00, 10'000,
         "spi 01 w=2"},
        // Bits a member lacks read 0: MX25L2005 has BP0 and BP1 only.
        {"MX25L2005 bits", Part::kMxic, 0, 0, 0, false, {{0x06}, {0x01, 0x7C}}, 0x0C, -1, 0x0C, 90'000, "spi 01 w=1"},
    };
    for (const StatusRow& row : rows) {
        SCOPED_TRACE(row.what);
        FlashRig rig;
        rig.config.flash_kb = row.kb;
        rig.config.flash_status = row.sr1;
        rig.config.flash_status2 = row.sr2;
        rig.config.wp_low = row.wp_low;
        rig.Boot(row.part);
        for (const Bytes& tx : row.host) {
            rig.Tx(tx);
            while ((rig.flash.StatusRegister() & 0x01) != 0)  // no transaction in between
                ++rig.clock;
        }
        EXPECT_EQ(rig.Status(), row.want_sr1);
        if (row.want_sr2 >= 0) {
            EXPECT_EQ(rig.Tx({0x35}, 1), Bytes{static_cast<uint8_t>(row.want_sr2)});
        }
        EXPECT_EQ(rig.stats.status_nonvolatile, row.nonvolatile);
        EXPECT_EQ(rig.stats.flash_busy_us, row.busy_us);
        EXPECT_EQ(LastLine(rig.lines, "spi 01"), row.last_write);
    }
}

struct AreaRow {
    Part part;
    uint32_t kb;
    uint8_t sr1, sr2;
    uint32_t begin, end;  // protected
};

// Rows from the makers' protection tables: W25Q80DV, W25Q20RL, GD25Q32B,
// MX25L512/2005/8005, M25P10-A/20/80/16, SST25VF016B/040B.
TEST(SpiFlashStatus, ProtectionBitsGiveTheDatasheetsArea)
{
    const AreaRow rows[] = {
        // W25Q80DV: SEC TB BP2..BP0 in SR1, CMP in SR2
        {Part::kWinbond, 1024, 0x04, 0, 0x0F0000, 0x100000},
        {Part::kWinbond, 1024, 0x0C, 0, 0x0C0000, 0x100000},
        {Part::kWinbond, 1024, 0x10, 0, 0x080000, 0x100000},
        {Part::kWinbond, 1024, 0x24, 0, 0x000000, 0x010000},
        {Part::kWinbond, 1024, 0x30, 0, 0x000000, 0x080000},
        {Part::kWinbond, 1024, 0x44, 0, 0x0FF000, 0x100000},
        {Part::kWinbond, 1024, 0x50, 0, 0x0F8000, 0x100000},
        {Part::kWinbond, 1024, 0x64, 0, 0x000000, 0x001000},
        {Part::kWinbond, 1024, 0x70, 0, 0x000000, 0x008000},
        {Part::kWinbond, 1024, 0x1C, 0, 0x000000, 0x100000},
        {Part::kWinbond, 1024, 0x04, 0x40, 0x000000, 0x0F0000},  // CMP: all but the upper 64 KB
        {Part::kWinbond, 1024, 0x64, 0x40, 0x001000, 0x100000},
        {Part::kWinbond, 1024, 0x00, 0x40, 0x000000, 0x100000},
        {Part::kWinbond, 1024, 0x1C, 0x40, 0, 0},
        // W25Q20RL
        {Part::kWinbond, 256, 0x04, 0, 0x030000, 0x040000},
        {Part::kWinbond, 256, 0x08, 0, 0x020000, 0x040000},
        {Part::kWinbond, 256, 0x28, 0, 0x000000, 0x020000},
        {Part::kWinbond, 256, 0x0C, 0, 0x000000, 0x040000},
        {Part::kWinbond, 256, 0x30, 0, 0x000000, 0x040000},
        {Part::kWinbond, 256, 0x48, 0, 0x03E000, 0x040000},
        {Part::kWinbond, 256, 0x6C, 0, 0x000000, 0x004000},
        {Part::kWinbond, 256, 0x5C, 0, 0x000000, 0x040000},
        // GD25Q32B: BP3 acts as TB, BP4 as SEC
        {Part::kGigaDevice, 4096, 0x04, 0, 0x3F0000, 0x400000},
        {Part::kGigaDevice, 4096, 0x18, 0, 0x200000, 0x400000},
        {Part::kGigaDevice, 4096, 0x1C, 0, 0x000000, 0x400000},
        {Part::kGigaDevice, 4096, 0x24, 0, 0x000000, 0x010000},
        {Part::kGigaDevice, 4096, 0x4C, 0, 0x3FC000, 0x400000},
        {Part::kGigaDevice, 4096, 0x58, 0, 0x3F8000, 0x400000},
        {Part::kGigaDevice, 4096, 0x68, 0, 0x000000, 0x002000},
        {Part::kGigaDevice, 4096, 0x04, 0x40, 0x000000, 0x3F0000},
        // MX25L512, MX25L2005, MX25L8005
        {Part::kMxicPp32, 64, 0x04, 0, 0x00000, 0x10000},
        {Part::kMxic, 256, 0x04, 0, 0x030000, 0x040000},
        {Part::kMxic, 256, 0x08, 0, 0x020000, 0x040000},
        {Part::kMxic, 256, 0x0C, 0, 0x000000, 0x040000},
        {Part::kMxic, 1024, 0x04, 0, 0x0F0000, 0x100000},
        {Part::kMxic, 1024, 0x10, 0, 0x080000, 0x100000},
        {Part::kMxic, 1024, 0x14, 0, 0x000000, 0x100000},
        {Part::kMxic, 1024, 0x18, 0, 0x000000, 0x100000},
        // M25P10-A (32 KB sectors), M25P20, M25P80, M25P16
        {Part::kSt, 128, 0x04, 0, 0x018000, 0x020000},
        {Part::kSt, 128, 0x08, 0, 0x010000, 0x020000},
        {Part::kSt, 128, 0x0C, 0, 0x000000, 0x020000},
        {Part::kSt, 256, 0x04, 0, 0x030000, 0x040000},
        {Part::kSt, 256, 0x08, 0, 0x020000, 0x040000},
        {Part::kSt, 1024, 0x0C, 0, 0x0C0000, 0x100000},
        {Part::kSt, 1024, 0x14, 0, 0x000000, 0x100000},
        {Part::kSt, 2048, 0x04, 0, 0x1F0000, 0x200000},
        {Part::kSt, 2048, 0x14, 0, 0x100000, 0x200000},
        {Part::kSt, 2048, 0x18, 0, 0x000000, 0x200000},
        {Part::kSt, 8192, 0x1C, 0, 0x000000, 0x800000},  // all bits set: all, short of the doubling
        // SST25VF016B, SST25VF040B; BP3 protects nothing
        {Part::kSst, 2048, 0x08, 0, 0x1E0000, 0x200000},
        {Part::kSst, 2048, 0x14, 0, 0x100000, 0x200000},
        {Part::kSst, 2048, 0x18, 0, 0x000000, 0x200000},
        {Part::kSst, 2048, 0x20, 0, 0, 0},
        {Part::kSst, 512, 0x0C, 0, 0x040000, 0x080000},
        {Part::kSst, 512, 0x10, 0, 0x000000, 0x080000},
    };
    for (const AreaRow& row : rows) {
        SCOPED_TRACE(std::string(sim::PartInfoOf(row.part).name) + " " + std::to_string(row.kb) + " KB, " +
                     std::to_string(row.sr1) + "/" + std::to_string(row.sr2));
        FlashRig rig;
        rig.config.flash_kb = row.kb;
        rig.config.flash_status = row.sr1;
        rig.config.flash_status2 = row.sr2;
        rig.config.instant_flash = true;
        rig.Boot(row.part);
        const uint32_t size = row.kb * 1024;
        // Program one byte at each edge of the area and at the ends.
        for (const uint32_t at : {0u, row.begin - 1, row.begin, row.end - 1, row.end, size - 1}) {
            if (at >= size)
                continue;
            rig.Program(at, {0x00});
            const bool protected_byte = at >= row.begin && at < row.end;
            EXPECT_EQ(rig.memory[at], protected_byte ? 0xFF : 0x00) << std::hex << at;
        }
    }
}

struct SfdpRow {
    Part part;
    uint32_t kb;
    bool no_sfdp;
    uint8_t nph;  // ignored without SFDP
};

// JESD216: "SFDP", revision, the BFPT's header (id 0x00/0xFF, 9 DWORDs at a
// DWORD-aligned pointer), and its density DWORD giving the member's size.
TEST(SpiFlashStatus, SfdpAnswersPerFamily)
{
    const SfdpRow rows[] = {
        {Part::kWinbond, 256, false, 0},     {Part::kWinbond, 16384, false, 0}, {Part::kSpansion, 1024, false, 1},
        {Part::kAmic, 128, false, 1},        {Part::kEon, 8192, false, 1},      {Part::kEsmt, 512, false, 1},
        {Part::kPmc, 2048, false, 1},        {Part::kWinbond, 256, true, 0},    {Part::kPmc, 256, true, 0},
        {Part::kAtmel, 256, false, 0},       {Part::kUnknown, 256, false, 0},   {Part::kSst, 256, false, 0},
        {Part::kSstOld, 128, false, 0},      {Part::kMxic, 256, false, 0},      {Part::kMxicPp32, 64, false, 0},
        {Part::kSt, 256, false, 0},          {Part::kIte, 256, false, 0},       {Part::kIteA, 256, false, 0},
        {Part::kGigaDevice, 256, false, 0},
    };
    for (const SfdpRow& row : rows) {
        const sim::PartInfo& info = sim::PartInfoOf(row.part);
        SCOPED_TRACE(std::string(info.name) + " " + std::to_string(row.kb) + (row.no_sfdp ? " --no-sfdp" : ""));
        const bool has = !row.no_sfdp && (row.part == Part::kWinbond || row.part == Part::kSpansion ||
                                          row.part == Part::kAmic || row.part == Part::kEon ||
                                          row.part == Part::kEsmt || row.part == Part::kPmc);
        FlashRig rig;
        rig.config.flash_kb = row.kb;
        rig.config.no_sfdp = row.no_sfdp;
        rig.Boot(row.part);
        rig.Tx({0x06});
        const Bytes head = rig.Tx(FlashRig::With({0x5A}, 0, {0x00}), 16);
        if (!has) {
            EXPECT_EQ(head, Bytes(16, 0xFF));
            EXPECT_EQ(rig.Status(), 0x02);  // an opcode the part lacks changes nothing
            EXPECT_NE(rig.lines.find("spi 5a addr=000000 w=1 r=16 ignored unsupported\n"), std::string::npos);
            continue;
        }
        EXPECT_EQ(rig.lines.substr(rig.lines.find("spi 5a")), "spi 5a addr=000000 w=1 r=16\n");
        EXPECT_EQ(Bytes(head.begin(), head.begin() + 8), (Bytes{'S', 'F', 'D', 'P', 0x00, 0x01, row.nph, 0xFF}));
        EXPECT_EQ(head[8], 0x00);   // BFPT id LSB
        EXPECT_EQ(head[15], 0xFF);  // id MSB
        EXPECT_EQ(head[11], 9);     // DWORDs
        const uint32_t pointer = head[12] | head[13] << 8 | head[14] << 16;
        EXPECT_EQ(pointer % 4, 0u);
        const Bytes bfpt = rig.Tx(FlashRig::With({0x5A}, pointer, {0x00}), 36);
        EXPECT_EQ(bfpt[0] & 0x03, 0x01);  // 4 KB erase supported...
        EXPECT_EQ(bfpt[1], 0x20);         // ...with 0x20
        const uint32_t density = bfpt[4] | bfpt[5] << 8 | bfpt[6] << 16 | uint32_t{bfpt[7]} << 24;
        EXPECT_EQ(density >> 31, 0u);
        EXPECT_EQ((uint64_t{density} + 1) / 8, uint64_t{row.kb} * 1024);
        EXPECT_EQ(rig.Status(), 0x02);  // a read: the latch holds
    }
    // Only A7-A0 count: past 0xFF the area starts again.
    FlashRig rig;
    rig.Boot(Part::kWinbond);
    EXPECT_EQ(rig.Tx(FlashRig::With({0x5A}, 0x0001FE, {0x00}), 4), (Bytes{0xFF, 0xFF, 'S', 'F'}));
    // Nothing comes before the dummy byte.
    EXPECT_EQ(rig.Tx(FlashRig::With({0x5A}, 0), 1), Bytes{0xFF});
}

}  // namespace
