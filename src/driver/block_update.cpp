#include "block_update.h"

#include "common/print.h"
#include "common/runstate.h"
#include "flash/erase.h"
#include "flash/ident.h"
#include "flash/program.h"

namespace {

// The regions of a full image, relative to the base: the first flag set
// wins.
struct Region {
    const uint8_t* flag;
    uint8_t high_step;
    uint8_t middle_step;
    uint8_t sectors;  // 4 KB sectors to erase
    uint8_t pages;    // 256-byte pages to program
};

constexpr Region kRegions[] = {
    {&BBK_flag, 0, 0x00, 1, 16},       // boot block at base
    {&Main_flag, 0, 0x10, 15, 240},    // main code at base + 0x1000
    {&Backup_flag, 1, 0x10, 15, 240},  // backup code at base + 0x11000
};

const Region* ChosenRegion()
{
    for (const Region& r : kRegions)
        if (*r.flag == 1)
            return &r;
    return nullptr;
}

using WholeProgram = void (*)(uint8_t high, uint8_t middle, uint8_t low);
using RegionProgram = void (*)(uint8_t high, uint8_t middle, uint8_t low, uint8_t pages);

bool AutoIncrementPart()
{
    return SPIDeviceID[0] == 0xBF || SPIDeviceID[0] == 0xFF;  // SST, ITE
}

// Programming routines by the identification, first match wins. The AAI
// routines stop at the image end, which in a region update is the region's.
struct Programmer {
    bool (*fits)();
    WholeProgram whole;
    RegionProgram region;
};

constexpr Programmer kProgrammers[] = {
    {[] { return AutoIncrementPart() && Old_SSTDeviceID == 1; }, vAAIProgram64KByte,
     [](uint8_t h, uint8_t m, uint8_t l, uint8_t) { vAAIProgram64KByte(h, m, l); }},
    {AutoIncrementPart, vAAIWordProgram64KByte,
     [](uint8_t h, uint8_t m, uint8_t l, uint8_t) { vAAIWordProgram64KByte(h, m, l); }},
    {[] { return SPIDeviceID[0] == 0xC2 && SPIDeviceID[2] == 0x10; }, ByteProgram64KByte_PP32,
     ByteProgram_PP32},
    {[] { return true; }, ByteProgram64KByte, ByteProgram},
};

const Programmer& ChosenProgrammer()
{
    for (const Programmer& p : kProgrammers)
        if (p.fits())
            return p;
    return kProgrammers[sizeof kProgrammers / sizeof kProgrammers[0] - 1];
}

}  // namespace

bool IsRegionUpdate()
{
    return ChosenRegion() != nullptr;
}

bool UpdateBlock(uint8_t high, uint8_t middle, uint8_t low)
{
    const Programmer& programmer = ChosenProgrammer();
    const Region* region = ChosenRegion();
    if (region == nullptr) {
        vSPIBlockErase64KByte(high, middle, low);
        if (vSPIVerifyErase64KByte(high, middle, low) == 0)
            return false;
        programmer.whole(high, middle, low);
        return vSPIVerify64KByte(high, middle, low) == 1;
    }

    high = static_cast<uint8_t>(high + region->high_step);
    middle = static_cast<uint8_t>(middle + region->middle_step);
    kprint(" Base Offset : 0x%02x%02x%02x\n\r", high, middle, low);
    vSPISectorErase(high, middle, low, region->sectors);
    if (vSPIVerifyErase(high, middle, low) == 0)
        return false;
    programmer.region(high, middle, low, region->pages);
    return vSPIVerify64KByte(high, middle, low) == 1;
}
