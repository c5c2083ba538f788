// Identification and the status screen's id lines.
#pragma once

#include <cstdint>

#include "part.h"

namespace flash {

// The JEDEC id (0x9F), or the older read-id (0xAB) when the part answers
// the JEDEC read with vendor 0; prints its trace as it goes. Where the id
// does not tell the size, the part's SFDP tables are asked.
FlashPart IdentifyFlash();
// The 0xAB read into id, its sixteen bytes printed between blank lines.
void ReadLegacyId(FlashId* id);

void ShowDeviceId(const FlashPart& part);
void ShowVendor(const FlashPart& part);
void ShowBlockNumber(uint32_t block);

}  // namespace flash
