#include "ec_memory.h"

#include "common/print.h"
#include "common/run_record.h"
#include "mailbox.h"

namespace hostio {

EcVersion ReadEcVersion()
{
    const uint8_t high = ReadEcRam(kEcVersionHigh, kEcMailbox);
    const uint8_t low = ReadEcRam(kEcVersionLow, kEcMailbox);
    char text[8];
    FormatText(text, sizeof text, "%02d.%02d", high, low);
    runrecord::NoteEcVersion(text);
    return {high, low};
}

void ReadProjectName(uint8_t (&bytes)[kEcProjectNameLength])
{
    for (size_t i = 0; i < kEcProjectNameLength; ++i)
        bytes[i] = ReadEcExternalRam(static_cast<uint16_t>(kEcProjectName + i));
    char name[kEcProjectNameLength + 1];
    ProjectNameText(bytes, name);
    runrecord::NoteProject(name);
}

void ProjectNameText(const uint8_t (&bytes)[kEcProjectNameLength], char (&name)[kEcProjectNameLength + 1])
{
    size_t i = 0;
    for (; i < kEcProjectNameLength && bytes[i] != 0; ++i)
        name[i] = static_cast<char>(bytes[i]);
    name[i] = '\0';
}

}  // namespace hostio
