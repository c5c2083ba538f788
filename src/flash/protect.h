// Block protection: the flash status register.
#pragma once

#include "part.h"

namespace flash {

// Clears every protection bit, before each block of an update.
void UnlockAll(const FlashPart& part);
// Writes the part's boot-block protection and prints the status it reads
// back; the pauses let the part settle, as it needs on slow status writes.
void ProtectBootBlock(const FlashPart& part);

}  // namespace flash
