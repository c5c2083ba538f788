#pragma once

#include <cstdint>

namespace platform {

// Hex dump of size bytes, addresses counted from page * 256.
void HexDump(const uint8_t* data, int size, unsigned long page);

}  // namespace platform
