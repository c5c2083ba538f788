#pragma once

#include <cstdint>

#include "flash/part.h"

namespace driver {

void ShowBanner();
void ShowUsage();
// Every option, for --help: what the short usage leaves out.
void ShowOptions();
// Redrawn before each block of an update, compare or read-out; the block's
// lines follow at row 10.
void ShowStatusScreen(const flash::FlashPart& part, uint32_t block);

}  // namespace driver
