#include "ec_memory.h"

#include "mailbox.h"

namespace hostio {

EcVersion ReadEcVersion()
{
    const uint8_t high = ReadEcRam(kEcVersionHigh, kEcMailbox);
    const uint8_t low = ReadEcRam(kEcVersionLow, kEcMailbox);
    return {high, low};
}

void ReadProjectName(uint8_t (&bytes)[kEcProjectNameLength])
{
    for (size_t i = 0; i < kEcProjectNameLength; ++i)
        bytes[i] = ReadEcExternalRam(static_cast<uint16_t>(kEcProjectName + i));
}

}  // namespace hostio
