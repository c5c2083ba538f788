// Whole updates on the virtual board: an image and a pre-filled flash go
// in, the flash, the output and the trace come out.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_tool.h"

namespace updatetest {

inline constexpr size_t kFlashSize = 256 * 1024;  // the board's default
inline const std::string kProject = "DEMO";       // the board's default

using testsupport::FlashBytesOf;

// Bytes that look like firmware: every value occurs, 0xFF included.
inline std::vector<uint8_t> Pattern(size_t length, uint32_t seed)
{
    std::vector<uint8_t> bytes(length);
    uint32_t x = seed * 2654435761u + 1;
    for (uint8_t& b : bytes) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(x >> 24);
    }
    return bytes;
}

// An image carrying the project name near its start.
inline std::vector<uint8_t> Image(size_t length, uint32_t seed = 1)
{
    std::vector<uint8_t> bytes = Pattern(length, seed);
    if (length >= 0x40 + kProject.size())
        std::copy(kProject.begin(), kProject.end(), bytes.begin() + 0x40);
    return bytes;
}

// The flash before the update: old firmware, never erased bytes, so a
// skipped erase shows.
inline std::vector<uint8_t> OldFlash(size_t size = kFlashSize)
{
    std::vector<uint8_t> bytes = Pattern(size, 99);
    for (uint8_t& b : bytes)
        b &= 0x7E;
    return bytes;
}

struct Update {
    std::vector<uint8_t> image;
    std::vector<std::string> board;    // board options besides the files
    std::vector<std::string> options;  // tool options after the size
    std::string size;                  // empty: the image's page count
    std::string program = "kovrinux-sim";
    std::vector<uint8_t> flash_in = {};  // the flash before; empty: OldFlash()
};

struct Outcome {
    int status = -1;
    std::string out;
    std::vector<uint8_t> flash;
    std::vector<std::string> trace;  // one entry per line
    std::string stats = {};          // the board's counters, one JSON object
};

using testsupport::Lines;

// The program over the old flash (or flash_in) in dir: board options, then
// the tool's arguments; the flash, the trace and the stats come out.
inline Outcome RunIn(const testsupport::TempDir& dir, const std::string& program, std::vector<std::string> board,
                     const std::vector<std::string>& tool, const std::vector<uint8_t>& flash_in = {})
{
    const std::vector<std::string> files = {"--flash-in",
                                            dir.Write("old.bin", flash_in.empty() ? OldFlash(FlashBytesOf(board)) : flash_in),
                                            "--flash-out", dir.File("new.bin"),
                                            "--trace", dir.File("trace.txt"),
                                            "--stats", dir.File("stats.json"), "--"};
    board.insert(board.end(), files.begin(), files.end());
    board.insert(board.end(), tool.begin(), tool.end());
    const testsupport::RunResult r = testsupport::Run(testsupport::BinPath(program), board);
    EXPECT_EQ(r.err, "");
    const std::vector<uint8_t> stats = dir.Read("stats.json");
    return Outcome{r.status, r.out, dir.Read("new.bin"), testsupport::TraceLines(dir.Read("trace.txt"), program),
                   std::string(stats.begin(), stats.end())};
}

// A run without an image (a stand-alone mode, a version query).
inline Outcome RunTool(const std::vector<std::string>& tool, const std::vector<std::string>& board,
                       const std::string& program = "kovrinux-sim")
{
    testsupport::TempDir dir;
    return RunIn(dir, program, board, tool);
}

// An update by the program (kovrinux-sim unless told), the image file
// checked unchanged afterwards.
inline Outcome RunUpdate(const Update& u)
{
    testsupport::TempDir dir;
    // Relative: an argument that begins with "/" is an option to the tool.
    const std::string image = std::filesystem::relative(dir.Write("ec.bin", u.image)).string();
    std::vector<std::string> tool = {image,
                                     u.size.empty() ? std::to_string((u.image.size() + 1023) / 1024) : u.size};
    tool.insert(tool.end(), u.options.begin(), u.options.end());
    const Outcome o = RunIn(dir, u.program, u.board, tool, u.flash_in);
    EXPECT_TRUE(dir.Read("ec.bin") == u.image) << "the image file was changed";
    return o;
}

// The old flash with data written at address.
inline std::vector<uint8_t> OldFlashWith(uint32_t address, const std::vector<uint8_t>& data,
                                         size_t size = kFlashSize)
{
    std::vector<uint8_t> flash = OldFlash(size);
    std::copy(data.begin(), data.end(), flash.begin() + address);
    return flash;
}

// Where two flash contents first differ, for a readable failure.
inline std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want)
{
    if (got.size() != want.size())
        return "size " + std::to_string(got.size()) + " instead of " + std::to_string(want.size());
    for (size_t a = 0; a < got.size(); ++a) {
        if (got[a] != want[a]) {
            char text[80];
            snprintf(text, sizeof text, "first difference at 0x%zx: %02x instead of %02x", a, got[a], want[a]);
            return text;
        }
    }
    return "equal";
}

#define EXPECT_FLASH(got, want) EXPECT_EQ(updatetest::FirstDifference((got), (want)), "equal")

inline size_t CountLines(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

inline size_t CountPrefix(const std::vector<std::string>& lines, const std::string& prefix)
{
    return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                             [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

// One integer counter of the board's stats; -1 when it is missing.
using testsupport::Stat;

// The flash-mode session closed once with this command, and the keyboard
// enabled as the very last thing; the flash was misused only as told.
inline void ExpectClosedOnce(const Outcome& o, const std::string& closing,
                             const std::vector<std::string>& misuse = {})
{
    EXPECT_EQ(testsupport::FlashMisuse(o.trace), misuse);
    const std::string other = closing == "ec fc" ? "ec fe" : "ec fc";
    EXPECT_EQ(CountLines(o.trace, closing), 1u);
    EXPECT_EQ(CountLines(o.trace, other), 0u);
    ASSERT_GE(o.trace.size(), 2u);
    EXPECT_EQ(o.trace[o.trace.size() - 2], closing);
    EXPECT_EQ(o.trace.back(), "kbc ae");
}

}  // namespace updatetest
