// The flash engine on the virtual board: a part behind an EC already in
// flash mode, an image cut into blocks as the update cuts it, and the
// board's SPI transactions as trace lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flash/block.h"
#include "flash/part.h"
#include "support/sim_fixture.h"

namespace flash_test {

using testsupport::RunToDeath;

class FlashTest : public testsupport::SimBoardTest {
protected:
    // Boots the board with `kind` (busy times modeled unless instant), puts
    // the EC into flash mode, identifies the part and forgets the console
    // and the trace so far. `before` fills flash_image when not empty.
    void BootPart(sim::Part kind, bool instant = true, const std::vector<uint8_t>& before = {});

    // An image of `size` bytes in a pattern without runs; the buffer holds
    // `slack` extra bytes of 0x00 after the image that nothing may read.
    void SetImage(size_t size, size_t slack = 0);
    // What flash block `block` takes of the image, fed by image block
    // `image_block`.
    flash::BlockImage Block(uint32_t block, uint32_t image_block) const;
    flash::BlockImage Block(uint32_t block = 0) const { return Block(block, block); }

    // The SPI transactions since the last call, one line each ("spi 02
    // addr=000100 w=256"); with counts false the status reads lose their
    // read count ("spi 05").
    std::vector<std::string> Spi(bool counts = true);

    std::vector<uint8_t> image;
    flash::FlashPart part = flash::UnidentifiedPart();

private:
    std::vector<uint8_t> buffer_;
};

// A pattern byte for image offset i: varied, never a long run.
uint8_t Pattern(size_t i);

// Lines starting with prefix.
size_t CountPrefix(const std::vector<std::string>& lines, const std::string& prefix);
// Occurrences of text in s.
size_t CountOf(const std::string& s, const std::string& text);
// n progress marks.
std::string Marks(size_t n);
// Lines joined with '\n' (readable failure output).
std::string Join(const std::vector<std::string>& lines);

}  // namespace flash_test
