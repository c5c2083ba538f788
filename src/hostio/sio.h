// Super I/O configuration space of the ITE EC, behind the index/data pair
// 0x4E/0x4F.
#pragma once

#include <cstdint>

namespace hostio {

inline constexpr uint8_t kSioIndexPort = 0x4E;  // the data port is the next one
inline constexpr uint16_t kNoChip = 0xFFFF;     // nothing answered

void WriteSioRegister(uint8_t reg, uint8_t value);
uint8_t ReadSioRegister(uint8_t reg);
uint8_t SioIndexPort();
void EnterSio();
void ExitSio();
void SelectLogicalDevice(uint8_t device);
// The chip id from registers 0x20 (high) and 0x21 (low), as they read now:
// no entry key first, no exit after. Noted for the run's record.
uint16_t ReadChipId();
// Enters the configuration mode (and leaves it entered) and reads the chip
// id; kNoChip when nothing answers.
uint16_t FindIteChip();
// A byte of EC RAM through the EC's own index/data pair inside the space.
uint8_t ReadEcRamThroughSio(uint16_t address);

}  // namespace hostio
