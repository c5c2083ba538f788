// Whole runs of kovrinux-sim that exercise the board's own command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/run_tool.h"

namespace {

using testsupport::BinPath;
using testsupport::RunResult;
using testsupport::TempDir;

TEST(BoardCli, BadBoardOptionEndsWithStatus2BeforeTheToolRuns)
{
    TempDir dir;
    const std::string longer = dir.Write("longer.bin", std::vector<uint8_t>(64 * 1024 + 1, 0));
    const std::vector<std::vector<std::string>> rows = {
        {"--flash", "nosuchpart", "--"},
        {"/X"},
        {"--flash-size", "100", "--", "/V"},
        {"--flash", "mxic-pp32", "--flash-in", longer, "--", "/V"},
        {"--flash-size", "64", "--", "/V"},  // no W25Q has 64 KB
        {"--flash-in", dir.File("missing.bin"), "--", "/V"},
    };
    for (const auto& args : rows) {
        const RunResult result = testsupport::Run(BinPath("kovrinux-sim"), args);
        EXPECT_EQ(result.status, 2) << args[0] << " " << result.err;
        EXPECT_EQ(result.out, "") << args[0];
        EXPECT_NE(result.err, "") << args[0];
    }
}

// --help shows every option and part and --version the version; the tool
// does not run.
TEST(BoardCli, HelpAndVersion)
{
    for (const std::string program : {"kovrinux-sim", "kovrin-sim"}) {
        SCOPED_TRACE(program);
        const RunResult help = testsupport::Run(BinPath(program), {"--flash", "st", "--help", "--", "/V"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.err, "");
        EXPECT_EQ(help.out.rfind("Usage: " + program + " [BOARD OPTIONS] -- [ARGUMENTS OF THE TOOL]\n", 0), 0u);
        for (const char* shown : {"\n  --flash PART ", "\n  --flash-size KB ", "\n  --ec-latency N ",
                                  "\n  --kbc-latency N ", "\n  --jitter SEED ", "\n  --sio-locked ",
                                  "\n  --trace-time ", "\n  --version ", "\n  sst-old ", "\n  unknown "})
            EXPECT_NE(help.out.find(shown), std::string::npos) << shown;
        EXPECT_EQ(help.out.find("Zelkora"), std::string::npos);

        const RunResult version = testsupport::Run(BinPath(program), {"--version"});
        EXPECT_EQ(version.status, 0);
        EXPECT_EQ(version.out.rfind(program + " ", 0), 0u) << version.out;
        EXPECT_EQ(version.out.back(), '\n');
    }
}

TEST(BoardCli, ToolArgumentsFollowTheDoubleDash)
{
    const RunResult result = testsupport::Run(BinPath("kovrinux-sim"), {"--", "/X"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out, "");
    EXPECT_EQ(result.err, "");
}

TEST(BoardCli, FilesAreWrittenWhenTheToolEnds)
{
    TempDir dir;
    std::vector<uint8_t> image(3000);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i ^ 0x5A);
    const std::string in = dir.Write("in.bin", image);
    const RunResult result =
        testsupport::Run(BinPath("kovrinux-sim"), {"--flash", "mxic-pp32", "--flash-in", in, "--flash-out", dir.File("out.bin"),
                                      "--stats", dir.File("stats.json"), "--trace", dir.File("trace.txt"), "--", "/X"});
    EXPECT_EQ(result.status, 1) << result.err;

    image.resize(64 * 1024, 0xFF);
    EXPECT_EQ(dir.Read("out.bin"), image);
    const std::vector<uint8_t> stats = dir.Read("stats.json");
    const std::string json(stats.begin(), stats.end());
    for (const char* key : {"\"port_reads\"", "\"port_writes\"", "\"ec_commands\"", "\"spi_transactions\"",
                            "\"spi_bytes_out\"", "\"spi_bytes_in\"", "\"modeled_us\"", "\"kbc_commands\"",
                            "\"pause_us\"", "\"flash_busy_us\""})
        EXPECT_NE(json.find(key), std::string::npos) << key;
    EXPECT_TRUE(std::filesystem::exists(dir.File("trace.txt")));
}

}  // namespace
