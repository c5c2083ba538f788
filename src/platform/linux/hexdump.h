#pragma once

#include <cstdint>

// Hex dump of size bytes, addresses counted from page * 256.
void hexdump(const uint8_t* data, int size, unsigned long page);
