// The follow-mode SPI channel through the EC mailbox, and the SPI opcodes of
// the whole engine. Every sub-command and the byte that goes with it travel
// on the mailbox's command port; only a flash read answers, on the data port.
#pragma once

#include <cstdint>

namespace flash {

inline constexpr uint8_t kOpWriteStatus = 0x01;
inline constexpr uint8_t kOpPageProgram = 0x02;
inline constexpr uint8_t kOpWriteDisable = 0x04;
inline constexpr uint8_t kOpReadStatus = 0x05;
inline constexpr uint8_t kOpWriteEnable = 0x06;
inline constexpr uint8_t kOpFastRead = 0x0B;
inline constexpr uint8_t kOpSectorErase = 0x20;
inline constexpr uint8_t kOpReadStatus2 = 0x35;
inline constexpr uint8_t kOpEnableWriteStatus = 0x50;
inline constexpr uint8_t kOpReadJedecId = 0x9F;
inline constexpr uint8_t kOpReadId = 0xAB;
inline constexpr uint8_t kOpAaiWordProgram = 0xAD;
inline constexpr uint8_t kOpAaiByteProgram = 0xAF;
inline constexpr uint8_t kOpPageErase1K = 0xD7;
inline constexpr uint8_t kOpBlockErase = 0xD8;

inline constexpr uint8_t kStatusBusy = 0x01;
inline constexpr uint8_t kStatusWriteEnableLatch = 0x02;

// Sub-command 0x01: follow mode, and a new transaction (an open one ends).
void EnterFollowMode();
// Sub-command 0x05: the transaction ends and follow mode with it.
void ExitFollowMode();
void SendOpcode(uint8_t opcode);
void SendFlashByte(uint8_t value);
uint8_t ReadFlashByte();

// The three address bytes, high first.
void SendAddress(uint32_t address);
// A new transaction: opcode, then the address.
void SendCommand(uint8_t opcode, uint32_t address);
// A fast read from address (dummy byte included), left open for the reads.
void OpenFastRead(uint32_t address);

}  // namespace flash
