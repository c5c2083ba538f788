// The information mode ("/I"): what the EC and its flash are, and what the
// flash's status registers protect, read without writing anything. One
// "name: value" line per item, for people and scripts alike.
#include "common/print.h"
#include "flash/channel.h"
#include "flash/ident.h"
#include "flash/protection.h"
#include "flash/status.h"
#include "hostio/commands.h"
#include "hostio/ec_memory.h"
#include "hostio/flash_mode.h"
#include "hostio/sio.h"
#include "modes.h"
#include "stop_signals.h"

namespace driver {

namespace {

struct EcFacts {
    char project[hostio::kEcProjectNameLength + 1];
    hostio::EcVersion version;
    uint16_t chip;
};

// As the version query reads them, before flash mode; the Super I/O space
// is left as it was found.
EcFacts ReadEcFacts()
{
    EcFacts ec{};
    ec.version = hostio::ReadEcVersion();
    uint8_t name[hostio::kEcProjectNameLength];
    hostio::ReadProjectName(name);
    hostio::ProjectNameText(name, ec.project);
    ec.chip = hostio::FindIteChip();
    hostio::ExitSio();
    return ec;
}

void ShowEc(const EcFacts& ec)
{
    Print("\nEC project: %s\n", ec.project);
    Print("EC version: %02d.%02d\n", ec.version.high, ec.version.low);
    if (ec.chip == hostio::kNoChip)
        PrintLine("Super I/O chip: none");
    else
        Print("Super I/O chip: 0x%04X\n", ec.chip);
}

void ShowFlash(const flash::FlashPart& part)
{
    const uint8_t* b = part.id.bytes;
    if (part.id.by_read_id)
        Print("Flash id: %02x %02x (read id)\n", b[0], b[1]);
    else
        Print("Flash id: %02x %02x %02x %02x\n", b[0], b[1], b[2], b[3]);
    Print("Flash maker: %s\n", part.row->maker != nullptr ? part.row->maker : "unknown");
    const flash::PartNumber* number = part.Number();
    Print("Flash part: %s\n", number != nullptr ? number->name : "unknown");
    constexpr const char* kSources[] = {"", " from its id", " from SFDP"};
    if (part.capacity == 0)
        PrintLine("Flash size: unknown");
    else
        Print("Flash size: %uK%s\n", static_cast<unsigned>(part.capacity >> 10),
              kSources[static_cast<int>(part.size_source)]);
}

void ShowStatus(const flash::FlashPart& part, uint8_t status1, uint8_t status2)
{
    Print("Status register: 0x%02X\n", status1);
    if (part.row->has_status2)
        Print("Status register 2: 0x%02X\n", status2);
    flash::PrintProtectedLine(part, status1, status2);
    Print("Status register locked: %s\n", flash::StatusLockOf(part, status1, status2));
}

}  // namespace

int RunInformationMode(const RunOptions& options)
{
    const StopSignalsHeld held;
    const EcFacts ec = ReadEcFacts();
    const uint8_t closing = options.reset ? hostio::kEcCloseWithReset : hostio::kEcClose;
    hostio::OpenFlashMode(closing);
    PrintLine("vReadSPIDeviceID start\n");
    const flash::FlashPart part = flash::IdentifyFlash();
    PrintLine("vReadSPIDeviceID end\n");
    const uint8_t status1 = flash::ReadStatusRegister(flash::kOpReadStatus);
    const uint8_t status2 = part.row->has_status2 ? flash::ReadStatusRegister(flash::kOpReadStatus2) : 0;
    ShowEc(ec);
    ShowFlash(part);
    ShowStatus(part, status1, status2);
    hostio::CloseFlashMode(closing);
    return StatusAfterStop(0);
}

}  // namespace driver
