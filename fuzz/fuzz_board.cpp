#include "fuzz_board.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "fuzz_input.h"
#include "platform/sim/sim_platform.h"
#include "sim/parts.h"

namespace fuzz {

void Bench::Boot(const sim::Config& config, const std::vector<uint8_t>& flash_content)
{
    Require(sim::FlashKb(config) <= kMaxFlashKb, "bench flash too small");
    const size_t size = static_cast<size_t>(sim::FlashKb(config)) * 1024;
    const size_t kept = std::min(size, flash_content.size());
    std::copy(flash_content.begin(), flash_content.begin() + static_cast<long>(kept), flash_.begin());
    std::fill(flash_.begin() + static_cast<long>(kept), flash_.begin() + static_cast<long>(size), 0xFF);
    board_ = sim::Board{};
    board_.Init(config, flash_.data());
    simplat::Install(&board_, false);
    console_.clear();
    simplat::CaptureConsole(&console_);
}

void Bench::Show(int status) const
{
    static const bool show = getenv("KOVRIN_FUZZ_SHOW") != nullptr;
    if (!show)
        return;
    fwrite(console_.data(), 1, console_.size(), stderr);
    fprintf(stderr, "\n[status %d]\n", status);
}

MemoryFile::MemoryFile()
{
    fd_ = memfd_create("kovrin-fuzz", 0);
    Require(fd_ >= 0, "memfd_create");
    // Relative, from any working directory: ".." stops at the root.
    for (int i = 0; i < 64; ++i)
        path_ += "../";
    path_ += "proc/self/fd/" + std::to_string(fd_);
}

void MemoryFile::Fill(const std::vector<uint8_t>& bytes)
{
    Require(ftruncate(fd_, 0) == 0, "ftruncate");
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        Require(n > 0, "pwrite");
        done += static_cast<size_t>(n);
    }
}

}  // namespace fuzz
