// Block protection: the flash status register.
#pragma once

#include "part.h"

namespace flash {

// Clears every protection bit, before each block of an update.
void UnlockAll(const FlashPart& part);
// Writes the part's boot-block protection and prints the status it reads
// back and what that protects; the pauses let the part settle, as it needs
// on slow status writes. False, after saying so, when the part does not
// hold the protection bits written.
bool ProtectBootBlock(const FlashPart& part);

}  // namespace flash
