#include "ident.h"

#include "channel.h"
#include "common/print.h"
#include "common/run_record.h"
#include "platform/platform.h"
#include "sfdp.h"
#include "status.h"

namespace flash {

namespace {

constexpr int kJedecIdBytes = 4;
constexpr int kReadIdBytes = 16;

void ReadIdBytes(FlashId* id, int count)
{
    for (int i = 0; i < count; ++i) {
        id->bytes[i] = ReadFlashByte();
        Print(" %x", id->bytes[i]);
    }
}

void NoteForRecord(const FlashPart& part)
{
    constexpr const char* kSizeSources[] = {"unknown", "id", "sfdp"};
    const PartNumber* number = part.Number();
    runrecord::NoteFlash({part.id.bytes, part.id.by_read_id ? 2u : 4u, part.row->maker,
                          number != nullptr ? number->name : nullptr, part.capacity,
                          kSizeSources[static_cast<int>(part.size_source)]});
}

}  // namespace

FlashPart IdentifyFlash()
{
    FlashId id{};
    WaitIdle();
    PrintText("\nvEnterFollowMode");
    EnterFollowMode();
    SendOpcode(kOpReadJedecId);
    PrintText("\nSPIDeviceID=");
    ReadIdBytes(&id, kJedecIdBytes);
    if (id.bytes[0] == 0)
        ReadLegacyId(&id);
    PrintText("\nvExitFollowMode");
    ExitFollowMode();
    FlashPart part = PartFromId(id);
    if (part.capacity == 0) {
        part.capacity = ReadSfdpCapacity();
        if (part.capacity != 0)
            part.size_source = SizeSource::kSfdp;
    }
    NoteForRecord(part);
    return part;
}

void ReadLegacyId(FlashId* id)
{
    WaitIdle();
    EnterFollowMode();
    SendOpcode(kOpReadId);
    SendAddress(0);
    PrintLine("\n");
    ReadIdBytes(id, kReadIdBytes);
    PrintLine("\n");
    id->by_read_id = true;
    ExitFollowMode();
}

void ShowDeviceId(const FlashPart& part)
{
    const uint8_t* b = part.id.bytes;
    platform::GotoXy(1, 3);
    Print(" Device ID        : %x %x %x %x ", b[0], b[1], b[2], b[3]);
}

void ShowVendor(const FlashPart& part)
{
    platform::GotoXy(1, 4);
    if (const char* line = part.VendorLine())
        PrintLine(line);
}

void ShowBlockNumber(uint32_t block)
{
    platform::GotoXy(1, 5);
    Print(" Block Number     : %d \n\n", static_cast<int>(block));
}

}  // namespace flash
