// Where the running EC keeps what the tool reads about it.
#pragma once

#include <cstddef>
#include <cstdint>

// EC RAM, read with the ACPI read command.
inline constexpr uint8_t kEcVersionHigh = 0x00;
inline constexpr uint8_t kEcVersionLow = 0x01;
inline constexpr uint8_t kEcVarnelVersion = 0xD8;  // eight characters
inline constexpr size_t kEcVarnelLength = 8;

// EC external RAM: the project name, zero-terminated when shorter.
inline constexpr uint16_t kEcProjectName = 0x0AA0;
inline constexpr size_t kEcProjectNameMax = 10;
