// The board options in front of "--".
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/host.h"
#include "sim/parts.h"

namespace {

struct Parsed {
    // The config keeps pointers into the arguments: they live as long as it.
    std::shared_ptr<std::vector<std::string>> args;
    int status;
    int tool_first;
    sim::Config config;
    std::string err;
};

Parsed Parse(const std::vector<std::string>& board_args)
{
    Parsed parsed{};
    parsed.args = std::make_shared<std::vector<std::string>>(board_args);
    std::vector<std::string>& args = *parsed.args;
    args.insert(args.begin(), "kovrinux-sim");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    testing::internal::CaptureStderr();
    const sim::BoardStart start =
        sim::ParseBoardOptions(static_cast<int>(args.size()), argv.data(), &parsed.config, &parsed.tool_first);
    parsed.status = start == sim::BoardStart::kRun ? 0 : start == sim::BoardStart::kRefused ? 2 : -1;
    parsed.err = testing::internal::GetCapturedStderr();
    return parsed;
}

struct Good {
    std::vector<std::string> args;
    int tool_first;
    std::function<bool(const sim::Config&)> holds;
};

TEST(BoardOptions, GoodCommandLines)
{
    const sim::Config defaults;
    const Good rows[] = {
        {{}, 1, [&](const sim::Config& c) { return c.flash == defaults.flash && sim::FlashKb(c) == 256; }},
        {{"--flash", "mxic-pp32"}, 3, [](const sim::Config& c) { return sim::FlashKb(c) == 64; }},
        {{"--flash", "sst-old"}, 3, [](const sim::Config& c) { return sim::FlashKb(c) == 128; }},
        {{"--flash-size", "128", "--flash", "st"}, 5, [](const sim::Config& c) { return sim::FlashKb(c) == 128; }},
        {{"--flash", "ite", "--flash-size", "64"}, 5, [](const sim::Config& c) { return sim::FlashKb(c) == 64; }},
        {{"--ec-latency", "3", "--kbc-latency", "2", "--jitter", "7", "--sio-locked", "--trace-time"}, 9,
         [](const sim::Config& c) {
             return c.ec_latency == 3 && c.kbc_latency == 2 && c.jitter && c.jitter_seed == 7 && c.sio_locked &&
                    c.trace_time;
         }},
        {{"--"}, 2, [](const sim::Config&) { return true; }},
        {{"--", "--flash", "nosuchpart"}, 2, [](const sim::Config& c) { return c.flash == sim::Part::kWinbond; }},
        {{"--flash", "sst", "--", "/X"}, 4, [](const sim::Config& c) { return c.flash == sim::Part::kSst; }},
        {{"--flash", "mxic-pp32"}, 3, [](const sim::Config& c) { return c.flash == sim::Part::kMxicPp32; }},
        {{"--flash", "unknown"}, 3, [](const sim::Config& c) { return c.flash == sim::Part::kUnknown; }},
        {{"--flash-size", "16384"}, 3, [](const sim::Config& c) { return c.flash_kb == 16384; }},
        {{"--chip-id", "none"}, 3, [](const sim::Config& c) { return !c.sio_present; }},
        {{"--chip-id", "8987"}, 3, [](const sim::Config& c) { return c.sio_present && c.chip_id == 0x8987; }},
        {{"--ldn-base", "0A70"}, 3, [](const sim::Config& c) { return c.ldn_base == 0x0A70; }},
        {{"--bram", "18,0x41"}, 3, [](const sim::Config& c) { return c.bram[0] == 18 && c.bram[1] == 0x41; }},
        {{"--ec-version", "2.15"}, 3, [](const sim::Config& c) { return c.ec_version[0] == 2 && c.ec_version[1] == 15; }},
        {{"--project", ""}, 3, [](const sim::Config& c) { return c.project[0] == 0 && c.project[3] == 0; }},
        {{"--project", "ABCDEFGHIJ"}, 3, [](const sim::Config& c) { return memcmp(c.project, "ABCDEFGHIJ", 10) == 0; }},
        {{"--project", "AB"}, 3, [](const sim::Config& c) { return memcmp(c.project, "AB\0\0\0\0\0\0\0\0", 10) == 0; }},
        {{"--varnel", "12345678"}, 3, [](const sim::Config& c) { return memcmp(c.varnel, "12345678", 8) == 0; }},
        {{"--ack", "5a", "--status", "9C"}, 5, [](const sim::Config& c) { return c.ack == 0x5A && c.flash_status == 0x9C; }},
        {{"--status2", "0x41", "--flash", "gigadevice", "--wp-low", "--no-sfdp"}, 7,
         [](const sim::Config& c) { return c.flash_status2 == 0x41 && c.wp_low && c.no_sfdp; }},
        {{"--status2", "40"}, 3, [](const sim::Config& c) { return c.flash_status2 == 0x40 && !c.wp_low && !c.no_sfdp; }},
        {{"--stuck", "3ffff=00", "--stuck", "0=AB"}, 5,
         [](const sim::Config& c) {
             return c.stuck_count == 2 && c.stuck[0].address == 0x3FFFF && c.stuck[0].value == 0 &&
                    c.stuck[1].address == 0 && c.stuck[1].value == 0xAB;
         }},
        {{"--stuck", "7ffff=1", "--flash-size", "512"}, 5, [](const sim::Config& c) { return c.stuck_count == 1; }},
        {{"--kbc-pending", "4", "--hang", "0"}, 5,
         [](const sim::Config& c) { return c.kbc_pending == 4 && c.hang && c.hang_after == 0; }},
        {{"--access-us", "1000000"}, 3, [](const sim::Config& c) { return c.port_access_us == 1000000; }},
        {{"--flash-busy-forever", "--real-time"}, 3,
         [](const sim::Config& c) { return c.flash_busy_forever && c.real_time; }},
        {{"--trace", "t", "--stats", "s", "--flash-in", "a", "--flash-out", "b"}, 9,
         [](const sim::Config& c) {
             return strcmp(c.trace, "t") == 0 && strcmp(c.stats, "s") == 0 && strcmp(c.flash_in, "a") == 0 &&
                    strcmp(c.flash_out, "b") == 0;
         }},
    };
    for (const Good& row : rows) {
        const Parsed parsed = Parse(row.args);
        std::string line;
        for (const std::string& arg : row.args)
            line += arg + " ";
        EXPECT_EQ(parsed.status, 0) << line << parsed.err;
        EXPECT_EQ(parsed.tool_first, row.tool_first) << line;
        EXPECT_TRUE(row.holds(parsed.config)) << line;
        EXPECT_EQ(parsed.err, "") << line;
    }
}

TEST(BoardOptions, BadCommandLinesAreRefusedWithStatus2)
{
    const std::vector<std::vector<std::string>> rows = {
        {"--flash", "nosuchpart", "--"},
        {"--nope"},
        {"/V"},
        {"--flash=sst"},
        {"--flash"},
        {"--flash", "--", "/V"},
        {"--flash-size", "100"},
        {"--flash-size", "32"},
        {"--flash-size", "32768"},
        {"--flash-size", "-64"},
        {"--flash-size", "0x100"},
        {"--flash-size", "64"},  // no W25Q has 64 KB
        {"--flash", "winbond", "--flash-size", "128"},  // nor 128 KB at 3 V
        {"--status2", "100"},
        {"--status2", "40", "--flash", "mxic"},  // only W25Q and GD25Q have a second register
        {"--flash", "sst", "--status2", "0"},
        {"--flash", "mxic-pp32", "--flash-size", "128"},
        {"--flash-size", "16384", "--flash", "st"},
        {"--ec-latency", "x"},
        {"--kbc-latency", "-1"},
        {"--jitter", ""},
        {"--chip-id", "12345"},
        {"--chip-id", "xyz"},
        {"--chip-id", ""},
        {"--ldn-base", "0060"},
        {"--ldn-base", "4d"},
        {"--ldn-base", "0x65"},
        {"--ldn-base", "10000"},
        {"--bram", "1"},
        {"--bram", "256,1"},
        {"--bram", "1,0x100"},
        {"--bram", "1,x"},
        {"--ec-version", "1"},
        {"--ec-version", "1.256"},
        {"--ec-version", "a.b"},
        {"--project", "ABCDEFGHIJK"},
        {"--varnel", "123456789"},
        {"--ack", "100"},
        {"--ack", ""},
        {"--status", "g"},
        {"--stuck", "40000=00"},
        {"--stuck", "10"},
        {"--stuck", "10=100"},
        {"--flash-size", "512", "--stuck", "80000=0"},
        {"--kbc-pending", "-1"},
        {"--kbc-pending", "4294967296"},
        {"--hang", "x"},
        {"--hang", ""},
        {"--access-us", "0"},
        {"--access-us", "1000001"},
        {"--trace", ""},
        {"--flash-in", ""},
    };
    for (const auto& row : rows) {
        const Parsed parsed = Parse(row);
        std::string line;
        for (const std::string& arg : row)
            line += arg + " ";
        EXPECT_EQ(parsed.status, 2) << line;
        EXPECT_NE(parsed.err.find("kovrinux-sim: "), std::string::npos) << line << "-> " << parsed.err;
    }
}

TEST(BoardOptions, AtMost64StuckBytes)
{
    std::vector<std::string> args;
    for (int i = 0; i < 64; ++i) {
        args.push_back("--stuck");
        args.push_back(std::to_string(i) + "=0");
    }
    EXPECT_EQ(Parse(args).status, 0);
    args.push_back("--stuck");
    args.push_back("100=0");
    EXPECT_EQ(Parse(args).status, 2);
}

TEST(BoardOptions, MessageNamesTheOptionAndItsValue)
{
    const Parsed parsed = Parse({"--flash", "nosuchpart", "--"});
    EXPECT_EQ(parsed.err.rfind("kovrinux-sim: --flash nosuchpart: ", 0), 0u) << parsed.err;
    EXPECT_NE(parsed.err.find("sst-old"), std::string::npos) << parsed.err;
    // Checks made once every option is known name what they found.
    EXPECT_EQ(Parse({"--flash", "mxic-pp32", "--stuck", "10010=0"}).err,
              "kovrinux-sim: --stuck 10010: address outside the 64 KB flash\n");
    EXPECT_EQ(Parse({"--flash-size", "64"}).err,
              "kovrinux-sim: --flash-size 64: winbond comes in 256* 512 1024 2048 4096 8192 16384 KB\n");
    EXPECT_EQ(Parse({"--status2", "41", "--flash", "st"}).err, "kovrinux-sim: --status2 41: st has no status register 2\n");
}

}  // namespace
