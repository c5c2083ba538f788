// Programming an erased block (or region) from the image.
#pragma once

#include <cstdint>

#include "block.h"
#include "part.h"

namespace flash {

// Page program (0x02): pages of 256 bytes from address, at most `pages` of
// them, up to the image's end. marks kPer256 marks every page.
PageCounters ProgramPages(const FlashPart& part, uint32_t address, const BlockImage& image, uint32_t pages,
                          Marks marks);
// The same with each page sent as eight 32-byte commands, for parts that
// take no more per command.
PageCounters ProgramBursts(const FlashPart& part, uint32_t address, const BlockImage& image, uint32_t pages);
// Auto address increment: the address once, then one byte (0xAF) or two
// (0xAD) per command, the part waited out in between, up to the image end.
void ProgramAaiBytes(const FlashPart& part, uint32_t address, const BlockImage& image);
void ProgramAaiWords(const FlashPart& part, uint32_t address, const BlockImage& image);

}  // namespace flash
