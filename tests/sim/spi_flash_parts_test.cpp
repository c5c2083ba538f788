// Each part answers the identification opcodes as its datasheet row says,
// programs with the opcodes it has and ignores those it lacks.
#include <gtest/gtest.h>

#include "sim/parts.h"
#include "spi_flash_rig.h"

namespace {

using flashtest::FlashRig;
using sim::Part;
using Bytes = std::vector<uint8_t>;

struct IdRow {
    const char* name;
    Part part;
    uint32_t kb;    // 0: the part's default size
    Bytes jedec;    // 0x9F
    Bytes read_id;  // 0xAB: two bytes over and over
};

// The makers' ids for the member of each size; the stand-ins give W25Q's
// answers behind their maker byte, the ITE parts the same at every size.
const IdRow kIdRows[] = {
    {"sst", Part::kSst, 0, {0xBF, 0x25, 0x8C, 0x00}, {0xBF, 0x8C}},           // SST25VF020B
    {"sst", Part::kSst, 1024, {0xBF, 0x25, 0x8E, 0x00}, {0xBF, 0x8E}},        // SST25VF080B
    {"sst", Part::kSst, 2048, {0xBF, 0x25, 0x41, 0x00}, {0xBF, 0x41}},        // SST25VF016B
    {"sst-old", Part::kSstOld, 0, {0x00, 0x00, 0x00, 0x00}, {0xBF, 0x49}},    // SST25VF010A
    {"sst-old", Part::kSstOld, 64, {0x00, 0x00, 0x00, 0x00}, {0xBF, 0x48}},   // SST25VF512A
    {"winbond", Part::kWinbond, 0, {0xEF, 0x40, 0x12, 0x00}, {0x11, 0x11}},   // W25Q20
    {"winbond", Part::kWinbond, 512, {0xEF, 0x40, 0x13, 0x00}, {0x12, 0x12}},
    {"winbond", Part::kWinbond, 1024, {0xEF, 0x40, 0x14, 0x00}, {0x13, 0x13}},
    {"mxic", Part::kMxic, 0, {0xC2, 0x20, 0x12, 0x00}, {0x11, 0x11}},         // MX25L2005
    {"mxic", Part::kMxic, 128, {0xC2, 0x20, 0x11, 0x00}, {0x10, 0x10}},       // MX25L1005
    {"mxic-pp32", Part::kMxicPp32, 0, {0xC2, 0x20, 0x10, 0x00}, {0x05, 0x05}},  // MX25L512
    {"st", Part::kSt, 0, {0x20, 0x20, 0x12, 0x00}, {0x11, 0x11}},             // M25P20
    {"st", Part::kSt, 128, {0x20, 0x20, 0x11, 0x00}, {0x10, 0x10}},           // M25P10-A
    {"ite-a", Part::kIteA, 0, {0xFF, 0xFF, 0xFF, 0xFF}, {0xFF, 0xFF}},
    {"ite", Part::kIte, 0, {0x00, 0x00, 0x00, 0x00}, {0xFF, 0x01}},
    {"ite", Part::kIte, 4096, {0x00, 0x00, 0x00, 0x00}, {0xFF, 0x01}},
    {"atmel", Part::kAtmel, 0, {0x1F, 0x40, 0x12, 0x00}, {0x11, 0x11}},
    {"spansion", Part::kSpansion, 0, {0x01, 0x40, 0x12, 0x00}, {0x11, 0x11}},
    {"amic", Part::kAmic, 0, {0x37, 0x40, 0x12, 0x00}, {0x11, 0x11}},
    {"eon", Part::kEon, 0, {0x1C, 0x40, 0x12, 0x00}, {0x11, 0x11}},
    {"esmt", Part::kEsmt, 0, {0x8C, 0x40, 0x12, 0x00}, {0x11, 0x11}},
    {"gigadevice", Part::kGigaDevice, 0, {0xC8, 0x40, 0x12, 0x00}, {0x11, 0x11}},  // GD25Q20
    {"gigadevice", Part::kGigaDevice, 16384, {0xC8, 0x40, 0x18, 0x00}, {0x17, 0x17}},
    {"pmc", Part::kPmc, 0, {0x7F, 0x40, 0x12, 0x00}, {0x11, 0x11}},
    {"unknown", Part::kUnknown, 2048, {0x9D, 0x40, 0x15, 0x00}, {0x14, 0x14}},
};

TEST(SpiFlashParts, EveryPartAnswersItsIds)
{
    for (const IdRow& row : kIdRows) {
        SCOPED_TRACE(std::string(row.name) + " " + std::to_string(row.kb));
        const sim::PartInfo* info = sim::FindPart(row.name);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->part, row.part);

        FlashRig rig;
        rig.config.flash_kb = row.kb;
        rig.Boot(row.part);
        // The id repeats after its four bytes.
        Bytes twice = row.jedec;
        twice.insert(twice.end(), row.jedec.begin(), row.jedec.end());
        EXPECT_EQ(rig.Tx({0x9F}, 8), twice);

        Bytes sixteen;
        for (int i = 0; i < 8; ++i)
            sixteen.insert(sixteen.end(), row.read_id.begin(), row.read_id.end());
        EXPECT_EQ(rig.Tx({0xAB, 0, 0, 0}, 16), sixteen);
        // Before its three dummy bytes 0xAB answers nothing.
        EXPECT_EQ(rig.Tx({0xAB, 0}, 1), Bytes{0xFF});
    }
    EXPECT_EQ(sim::FindPart("nosuchpart"), nullptr);
    EXPECT_EQ(sim::FindPart("ite-"), nullptr);
}

// Program 0x0F then 0xF5 over erased cells with each way a part programs:
// only the bits both clear end up clear, and an erase sets them again.
enum class Way { kPage, kByte, kAaiWord, kAaiByte };

void ProgramTwice(FlashRig& rig, Way way, uint32_t address, uint8_t value)
{
    switch (way) {
    case Way::kPage:
        rig.Program(address, {value, value});
        return;
    case Way::kByte:
        rig.Program(address, {value});
        rig.Program(address + 1, {value});
        return;
    case Way::kAaiWord:
        rig.Run(FlashRig::With({0xAD}, address, {value, value}));
        break;
    case Way::kAaiByte:
        rig.Run(FlashRig::With({0xAF}, address, {value}));
        rig.Tx({0xAF, value});
        rig.WaitIdle();
        break;
    }
    rig.Tx({0x04});
}

TEST(SpiFlashParts, ProgramOnlyClearsBits)
{
    struct Row {
        Part part;
        Way way;
        uint8_t erase;  // opcode
    };
    const Row rows[] = {
        {Part::kSst, Way::kByte, 0x20},      {Part::kSst, Way::kAaiWord, 0xD8},
        {Part::kSstOld, Way::kAaiByte, 0x20}, {Part::kSstOld, Way::kByte, 0x52},
        {Part::kWinbond, Way::kPage, 0x20},  {Part::kMxic, Way::kPage, 0x20},
        {Part::kMxicPp32, Way::kPage, 0xD8}, {Part::kSt, Way::kPage, 0xD8},
        {Part::kIteA, Way::kAaiWord, 0xD7},  {Part::kIte, Way::kAaiByte, 0xD7},
        {Part::kIte, Way::kPage, 0x20},      {Part::kAtmel, Way::kPage, 0x20},
        {Part::kSpansion, Way::kPage, 0x20}, {Part::kAmic, Way::kPage, 0x20},
        {Part::kEon, Way::kPage, 0x20},      {Part::kEsmt, Way::kPage, 0x20},
        {Part::kGigaDevice, Way::kPage, 0x20}, {Part::kPmc, Way::kPage, 0x20},
        {Part::kUnknown, Way::kPage, 0x20},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(sim::PartInfoOf(row.part).name);
        SCOPED_TRACE(static_cast<int>(row.way));
        FlashRig rig;
        rig.Boot(row.part);
        ProgramTwice(rig, row.way, 0x2000, 0x0F);
        ProgramTwice(rig, row.way, 0x2000, 0xF5);
        EXPECT_EQ(rig.FastRead(0x1FFF, 4), (Bytes{0xFF, 0x05, 0x05, 0xFF}));
        EXPECT_EQ(rig.Status(), 0x00);
        rig.Erase(row.erase, 0x2000);
        EXPECT_EQ(rig.FastRead(0x2000, 2), (Bytes{0xFF, 0xFF}));
    }
}

TEST(SpiFlashParts, ErasesWipeTheAlignedUnitAroundTheAddress)
{
    struct Row {
        Part part;
        uint32_t kb;  // 0: the default size
        uint8_t opcode;
        uint32_t begin, end;  // what an erase at 0x12345 wipes
    };
    const Row rows[] = {
        {Part::kIte, 0, 0xD7, 0x12000, 0x12400},
        {Part::kIteA, 0, 0x20, 0x12000, 0x13000},
        {Part::kWinbond, 0, 0x20, 0x12000, 0x13000},
        {Part::kWinbond, 0, 0x52, 0x10000, 0x18000},
        {Part::kSt, 0, 0xD8, 0x10000, 0x20000},    // M25P20: 64 KB sectors
        {Part::kSt, 128, 0xD8, 0x10000, 0x18000},  // M25P10-A: 32 KB sectors
        {Part::kSst, 0, 0xD8, 0x10000, 0x20000},
        {Part::kSstOld, 0, 0x52, 0x10000, 0x18000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(sim::PartInfoOf(row.part).name);
        FlashRig rig;
        rig.config.flash_kb = row.kb;
        rig.Boot(row.part, 0x00);
        rig.Erase(row.opcode, 0x12345);
        EXPECT_EQ(rig.memory[row.begin - 1], 0x00);
        EXPECT_EQ(rig.memory[row.begin], 0xFF);
        EXPECT_EQ(rig.memory[row.end - 1], 0xFF);
        EXPECT_EQ(rig.memory[row.end], 0x00);
    }
}

// A command the part lacks changes nothing, not even the write-enable latch.
TEST(SpiFlashParts, UnsupportedOpcodesAreIgnored)
{
    struct Row {
        Part part;
        Bytes command;
    };
    const Row rows[] = {
        {Part::kSt, FlashRig::With({0x20}, 0x1000)},
        {Part::kWinbond, FlashRig::With({0xD7}, 0x1000)},
        {Part::kSst, FlashRig::With({0xD7}, 0x1000)},
        {Part::kWinbond, FlashRig::With({0xAD}, 0x1000, {0x00, 0x00})},
        {Part::kMxic, FlashRig::With({0xAF}, 0x1000, {0x00})},
        {Part::kSst, FlashRig::With({0xAF}, 0x1000, {0x00})},
        {Part::kSstOld, FlashRig::With({0xAD}, 0x1000, {0x00, 0x00})},
        {Part::kGigaDevice, {0x03, 0x00, 0x10, 0x00}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(sim::PartInfoOf(row.part).name);
        SCOPED_TRACE(row.command[0]);
        FlashRig rig;
        rig.Boot(row.part, 0x5A);
        rig.Tx({0x06});
        EXPECT_EQ(rig.Tx(row.command, 1), Bytes{0xFF});
        EXPECT_EQ(rig.Status(), 0x02);
        EXPECT_EQ(rig.memory, Bytes(rig.memory.size(), 0x5A));
    }
    // Status register 2 is Winbond's alone.
    FlashRig rig;
    rig.Boot(Part::kMxic);
    EXPECT_EQ(rig.Tx({0x35}, 1), Bytes{0xFF});
}

}  // namespace
