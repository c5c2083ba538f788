// The in-process virtual board the image and version targets run the tool
// on, and the file the tool opens, kept in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/board.h"

namespace fuzz {

// A fresh board for each input: flash content as given (the rest 0xFF),
// the console captured.
class Bench {
public:
    // config.flash_kb at most kMaxFlashKb.
    void Boot(const sim::Config& config, const std::vector<uint8_t>& flash_content);
    // With KOVRIN_FUZZ_SHOW set, writes the run's console and status to
    // standard error: run the target on one input to see what it did.
    void Show(int status) const;

    sim::Board& board() { return board_; }
    const std::string& console() const { return console_; }

    static constexpr uint32_t kMaxFlashKb = 256;

private:
    sim::Board board_;
    std::vector<uint8_t> flash_ = std::vector<uint8_t>(kMaxFlashKb * 1024);
    std::string console_;
};

// A file in memory with a path the tool can open (and that does not begin
// with "/", so the argument scan would take it for a file name too).
class MemoryFile {
public:
    MemoryFile();
    void Fill(const std::vector<uint8_t>& bytes);
    const char* path() const { return path_.c_str(); }

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace fuzz
