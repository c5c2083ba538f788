// The flash's status polls, write enable and write disable. Each poll is one
// status read in a transaction already open on opcode 0x05; a part that
// never shows the awaited bits ends the run after hostio::kFlashLimitUs
// instead of holding the EC for ever.
#pragma once

#include "part.h"

namespace flash {

// Until the busy bit clears; the transaction it opens ends any open one.
void WaitIdle();
// Until the latch is set and the part idle; the status read is left open.
void WaitWriteEnabled();
// Write enable (with 0x50 where the part wants it), then until it shows.
void EnableWrite(const FlashPart& part);
// Write disable, then until the latch clears.
void DisableWrite();

// A new transaction reading the status register (opcode 0x05).
void OpenStatusRead();
// Polls the open status read until the latch shows, whatever the busy bit.
void PollLatchSet();

// One read of status register 1 (0x05) or 2 (0x35) in a transaction of its
// own.
uint8_t ReadStatusRegister(uint8_t opcode);

}  // namespace flash
