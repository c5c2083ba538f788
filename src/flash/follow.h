// The follow-mode SPI channel through the EC mailbox, the status waits and
// write enable/disable, and the SPI opcodes of the whole engine.
#pragma once

#include <cstdint>

namespace spi {
inline constexpr uint8_t kWriteStatus = 0x01;
inline constexpr uint8_t kPageProgram = 0x02;
inline constexpr uint8_t kWriteDisable = 0x04;
inline constexpr uint8_t kReadStatus = 0x05;
inline constexpr uint8_t kWriteEnable = 0x06;
inline constexpr uint8_t kFastRead = 0x0B;
inline constexpr uint8_t kSectorErase = 0x20;
inline constexpr uint8_t kReadStatus2 = 0x35;
inline constexpr uint8_t kEnableWriteStatus = 0x50;
inline constexpr uint8_t kReadJedecId = 0x9F;
inline constexpr uint8_t kReadId = 0xAB;
inline constexpr uint8_t kAaiWordProgram = 0xAD;
inline constexpr uint8_t kAaiByteProgram = 0xAF;
inline constexpr uint8_t kPageErase1K = 0xD7;
inline constexpr uint8_t kBlockErase = 0xD8;

inline constexpr uint8_t kStatusBusy = 0x01;
inline constexpr uint8_t kStatusWriteEnableLatch = 0x02;
}  // namespace spi

// Follow-mode sub-commands 0x01 to 0x05.
void vEnterFollowMode();
void vExitFollowMode();
void vSendSPICommand(uint8_t opcode);
void vSendSPIByte(uint8_t value);
uint8_t BReadByteFromSPI();

// Status waits, bounded (see hostio/wait.h).
void vWaitSPIFree();
void vWaitWriteEnable();
void vSPIWriteEnable();
void vSPIWriteDisable();
