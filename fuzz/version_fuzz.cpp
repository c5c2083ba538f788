// The version query on the in-process virtual board with any version file
// (any content, any length), any expected version text and any version
// bytes in the EC. The outcome is checked against the comparison rules:
// a verdict or status that disagrees with them is a finding (a misreport),
// as is anything the sanitizers catch, and a run that ends the process (a
// timeout on this healthy board would).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "driver/modes.h"
#include "fuzz_board.h"
#include "fuzz_input.h"

namespace {

constexpr size_t kVersionHigh = 0xFFF8;
constexpr size_t kVersionLow = 0xFFF9;
constexpr size_t kLongestFile = 0x20000;

enum Readout : uint8_t { kBram, kVarnel, kPlain };

struct Case {
    Readout readout;
    bool with_file;
    bool with_text;
    std::vector<uint8_t> file;
    std::string text;
};

// Version text as the tool writes it ("%02d%c"), cut at a zero byte as a
// C string is.
std::string VersionText(uint8_t high, uint8_t low)
{
    char text[8];
    snprintf(text, sizeof text, "%02d%c", high, low);
    return text;
}

// A raw file is the rest of the input; a stretched one has a length of its
// own (up to 128 KB, so the version bytes at 0xFFF8 are reached) with the
// rest of the input laid over 0xFFF0.
std::vector<uint8_t> DecodeFile(fuzz::Input& in)
{
    const uint8_t shape = in.Byte();
    if ((shape & 1) == 0)
        return in.Rest();
    const size_t length = static_cast<size_t>(in.Bytes(3) % (kLongestFile + 1));
    std::vector<uint8_t> file(length, shape);
    const std::vector<uint8_t> rest = in.Rest();
    for (size_t i = 0; i < rest.size() && 0xFFF0 + i < length; ++i)
        file[0xFFF0 + i] = rest[i];
    return file;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// What the run must end with, and its status.
struct Expected {
    std::string tail;
    int status;
};

std::string Verdict(bool newer, bool against_file)
{
    if (against_file)
        return newer ? " \n\r=> The Update File is newer then current FW!!" : " \n\r=> The Update File Version Error!!";
    return newer ? " \n\r=> Input version is newer then current FW!!"
                 : " \n\r=> Input version is NOT newer then current FW!!";
}

Expected Expect(const Case& c, const sim::Config& board)
{
    if (!board.sio_present || board.chip_id == 0xFFFF)
        return {"\n\rNot ITE Chip\n\r", 1};
    switch (c.readout) {
    case kBram: {
        const std::string ec = VersionText(board.bram[0], board.bram[1]);
        const std::string shown = "\n\rSIO FW version :" + ec + " ";
        if (c.with_file) {
            if (c.file.size() <= kVersionLow)
                return {shown + "\n\rBIN file too small for a version!\n", 1};
            const std::string image = VersionText(c.file[kVersionHigh], c.file[kVersionLow]);
            const bool newer = strcmp(ec.c_str(), image.c_str()) < 0;
            return {shown + "\n\rBIN FW version :" + image + " " + Verdict(newer, true), newer ? 0 : 1};
        }
        if (!c.with_text)
            return {shown, 0};
        const bool newer = strcmp(ec.c_str(), c.text.c_str()) < 0;
        return {shown + Verdict(newer, false), newer ? 0 : 1};
    }
    case kVarnel: {
        const char* varnel = reinterpret_cast<const char*>(board.varnel);
        const std::string text(varnel, strnlen(varnel, sizeof board.varnel));
        const int status = c.with_text && text != c.text ? 1 : 0;
        return {"\n\rSIO FW version : " + text + "\n\r\n\r", status};
    }
    case kPlain:
    default: {
        char version[64];
        snprintf(version, sizeof version, "\n\rThe current EC version is: %02d.%02d\n", board.ec_version[0],
                 board.ec_version[1]);
        const std::string project(reinterpret_cast<const char*>(board.project), 10);
        return {version + std::string("\n\rThe current project is: ") + project + "\n", 0};
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static fuzz::Bench bench;
    static fuzz::MemoryFile file;

    fuzz::Input in(data, size);
    const uint8_t shape = in.Byte();
    Case c;
    c.readout = static_cast<Readout>((shape & 3) % 3);
    c.with_file = (shape & 4) != 0;
    c.with_text = !c.with_file && (shape & 8) != 0;

    sim::Config config;
    config.instant_flash = true;
    config.chip_id = static_cast<uint16_t>((shape & 0x10) != 0 ? in.Bytes(2) : 0x5570);
    config.bram[0] = in.Byte();
    config.bram[1] = in.Byte();
    config.ec_version[0] = in.Byte();
    config.ec_version[1] = in.Byte();
    for (uint8_t& b : config.varnel)
        b = in.Byte();
    for (uint8_t& b : config.project)
        b = in.Byte();
    if (c.with_file) {
        c.file = DecodeFile(in);
    } else {
        const std::vector<uint8_t> rest = in.Rest();
        c.text.assign(rest.begin(), rest.end());
        c.text = c.text.c_str();  // an argument ends at its first zero byte
    }

    bench.Boot(config, {});
    driver::RunOptions options;
    options.version = true;
    options.readout = c.readout == kBram     ? driver::Readout::kBram
                      : c.readout == kVarnel ? driver::Readout::kVarnel
                                             : driver::Readout::kPlain;
    if (c.with_file) {
        file.Fill(c.file);
        options.version_file = true;
        options.version_file_name = file.path();
    }
    // The text in a block of its own, as an argument would be.
    std::vector<char> text(c.text.begin(), c.text.end());
    text.push_back('\0');
    if (c.with_text)
        options.expected_version = text.data();

    const int status = driver::RunVersionQuery(options);
    bench.Show(status);
    const Expected want = Expect(c, config);
    const std::string& out = bench.console();
    fuzz::Require(status == want.status, "status disagrees with the comparison rules");
    fuzz::Require(EndsWith(out, want.tail), "output does not end with the expected read-out or verdict");
    fuzz::Require(out.rfind(" Zelkora EC flash OS tool version : 1.0\n", 0) == 0, "no banner first");
    return 0;
}
