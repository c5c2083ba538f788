// What the running EC keeps about itself, and the reads the tool makes of it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace hostio {

// EC RAM, read with the ACPI read command.
inline constexpr uint8_t kEcVersionHigh = 0x00;
inline constexpr uint8_t kEcVersionLow = 0x01;
inline constexpr uint8_t kEcVarnelVersion = 0xD8;  // eight characters
inline constexpr size_t kEcVarnelLength = 8;

// EC external RAM: the project name, zero-terminated when shorter.
inline constexpr uint16_t kEcProjectName = 0x0AA0;
inline constexpr size_t kEcProjectNameLength = 10;

struct EcVersion {
    uint8_t high;
    uint8_t low;
};

// EC RAM 0x00 and 0x01 through the program's EC pair. Both reads are noted
// for the run's record, the version as "01.00", the name to its first zero.
EcVersion ReadEcVersion();
// The ten bytes at 0x0AA0, one read each, in rising order.
void ReadProjectName(uint8_t (&bytes)[kEcProjectNameLength]);
// The name those bytes hold: up to the first zero byte, zero-terminated.
void ProjectNameText(const uint8_t (&bytes)[kEcProjectNameLength], char (&name)[kEcProjectNameLength + 1]);

}  // namespace hostio
