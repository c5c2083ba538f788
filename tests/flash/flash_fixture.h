// The flash engine on the virtual board: a part behind an EC already in
// flash mode, an image set up as the update sets it, and the board's SPI
// transactions as trace lines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/sim_fixture.h"

namespace flash_test {

class FlashTest : public testsupport::SimBoardTest {
protected:
    // Boots the board with `part` (busy times modeled unless instant), puts
    // the EC into flash mode, identifies the part and forgets the console
    // and the trace so far. `before` fills flash_image when not empty.
    void BootPart(sim::Part part, bool instant = true, const std::vector<uint8_t>& before = {});

    // An image of `size` bytes in a pattern without runs, set up as the
    // update sets it before block 0; the buffer holds `slack` extra bytes
    // of 0x00 after the image that nothing may read.
    void SetImage(size_t size, size_t slack = 0);
    // Moves to flash block `block`, fed by image block `buffer_block`, with
    // the blocks before it counted as programmed.
    void AtBlock(uint8_t block, uint8_t buffer_block);

    // The SPI transactions since the last call, one line each ("spi 02
    // addr=000100 w=256"); with counts false the status reads lose their
    // read count ("spi 05").
    std::vector<std::string> Spi(bool counts = true);

    std::vector<uint8_t> image;

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

// Runs op in a death test with the console going to standard error.
void RunToDeath(const std::function<void()>& op);

}  // namespace flash_test
