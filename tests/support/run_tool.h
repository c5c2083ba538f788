// Whole runs of the programs in build/bin, and scratch files for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct RunResult {
    std::string out;  // standard output, byte for byte
    std::string err;  // standard error
    int status;       // exit status, or 128 + signal
};

// Path of a program built into build/bin.
std::string BinPath(const std::string& name);

// The words that start a program of build/bin in a shell command (its run
// prefix included), for tests that need a pipeline.
std::string CommandWords(const std::string& name);

// Runs program with args (argv[0] is the program path), feeding it no input.
RunResult Run(const std::string& program, const std::vector<std::string>& args);

// A fresh directory removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string Write(const std::string& name, const std::string& bytes) const;
    std::vector<uint8_t> Read(const std::string& name) const;

private:
    std::string path_;
};

std::vector<uint8_t> ReadFile(const std::string& path);

// The board's trace (or any text) as its lines, without the newlines.
std::vector<std::string> Lines(const std::vector<uint8_t>& text);
// The trace of a run of program (kovrinux-sim or kovrin-sim) as its lines,
// the "spi" lines without the program's own pair (" @6c", " @66"): a line
// that came through the other pair keeps its tag and shows as a difference.
std::vector<std::string> TraceLines(const std::vector<uint8_t>& text, const std::string& program);
// Trace lines that a sound run does not make: a transaction the flash
// ignored, one carried by the other pair (in a trace from TraceLines), or
// a byte clocked with no transaction open. The AAI step that
// the tool leaves without data before its write disable is the one
// ignored transaction every AAI run has, and a part without SFDP ignores
// the question for it; neither is listed.
std::vector<std::string> FlashMisuse(const std::vector<std::string>& trace);

// The flash size board options give: --flash-size, or the part's own
// default (64 KB for the one-size MX25L512, 128 KB for the SST25VF010A,
// 256 KB for the others).
size_t FlashBytesOf(const std::vector<std::string>& board);

// One counter of the board's stats JSON object, or -1 when it is missing.
long long Stat(const std::string& json, const std::string& key);

}  // namespace testsupport
