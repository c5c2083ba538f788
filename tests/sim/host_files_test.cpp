// The host side of the board: --flash-in/--flash-out, --trace and --stats.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/host.h"
#include "support/run_tool.h"

namespace {

using testsupport::ReadFile;
using testsupport::TempDir;

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

class HostFilesTest : public ::testing::Test {
protected:
    void SetUp() override { config.flash = sim::Part::kMxicPp32; }  // 64 KB

    TempDir dir;
    sim::Config config;
    sim::Board board;
};

TEST_F(HostFilesTest, FlashInIsThePowerOnContentAndFlashOutWhatReadsBack)
{
    const std::string in = dir.Write("in.bin", Pattern(1000));
    const std::string out = dir.File("out.bin");
    config.flash_in = in.c_str();
    config.flash_out = out.c_str();
    ASSERT_TRUE(sim::OpenBoard(config, &board));
    EXPECT_EQ(board.FlashByte(999), Pattern(1000)[999]);
    EXPECT_EQ(board.FlashByte(1000), 0xFF);
    ASSERT_TRUE(sim::CloseBoard(config, &board));

    std::vector<uint8_t> expected = Pattern(1000);
    expected.resize(64 * 1024, 0xFF);
    EXPECT_EQ(ReadFile(out), expected);
}

TEST_F(HostFilesTest, FlashOutShowsStuckBytes)
{
    const std::string out = dir.File("out.bin");
    config.flash_out = out.c_str();
    config.stuck[0] = {0x10, 0xAB};
    config.stuck_count = 1;
    ASSERT_TRUE(sim::OpenBoard(config, &board));
    ASSERT_TRUE(sim::CloseBoard(config, &board));
    const std::vector<uint8_t> content = ReadFile(out);
    ASSERT_EQ(content.size(), 64u * 1024);
    EXPECT_EQ(content[0x10], 0xAB);
    EXPECT_EQ(content[0x11], 0xFF);
}

TEST_F(HostFilesTest, FlashInAsLongAsTheFlashFitsOneByteMoreDoesNot)
{
    const std::string exact = dir.Write("exact.bin", Pattern(64 * 1024));
    config.flash_in = exact.c_str();
    EXPECT_TRUE(sim::OpenBoard(config, &board));
    EXPECT_TRUE(sim::CloseBoard(config, &board));

    const std::string longer = dir.Write("longer.bin", Pattern(64 * 1024 + 1));
    config.flash_in = longer.c_str();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(sim::OpenBoard(config, &board));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("longer.bin"), std::string::npos);
}

TEST_F(HostFilesTest, MissingFlashInAndUnwritableFilesFail)
{
    const std::string missing = dir.File("missing.bin");
    const std::string nowhere = dir.File("no/such/dir/file");
    testing::internal::CaptureStderr();
    config.flash_in = missing.c_str();
    EXPECT_FALSE(sim::OpenBoard(config, &board));
    config.flash_in = nullptr;
    config.trace = nowhere.c_str();
    EXPECT_FALSE(sim::OpenBoard(config, &board));
    config.trace = nullptr;
    config.flash_out = nowhere.c_str();
    ASSERT_TRUE(sim::OpenBoard(config, &board));
    EXPECT_FALSE(sim::CloseBoard(config, &board));
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
}

TEST_F(HostFilesTest, TraceFileGetsTheLines)
{
    const std::string trace = dir.File("trace.txt");
    config.trace = trace.c_str();
    ASSERT_TRUE(sim::OpenBoard(config, &board));
    board.Write(0x64, 0xAD);
    board.Write(0x6C, 0xDD);
    ASSERT_TRUE(sim::CloseBoard(config, &board));
    const std::vector<uint8_t> text = ReadFile(trace);
    EXPECT_EQ(std::string(text.begin(), text.end()), "kbc ad\nec dd\n");

    // --trace-time: the board time of each event in front.
    config.trace_time = true;
    ASSERT_TRUE(sim::OpenBoard(config, &board));
    board.Pause(1000);
    board.Write(0x64, 0xAD);
    ASSERT_TRUE(sim::CloseBoard(config, &board));
    const std::vector<uint8_t> timed = ReadFile(trace);
    EXPECT_EQ(std::string(timed.begin(), timed.end()), "1001 kbc ad\n");
}

TEST_F(HostFilesTest, StatsAreOneJsonObjectWithEveryCounter)
{
    const std::string stats = dir.File("stats.json");
    config.stats = stats.c_str();
    ASSERT_TRUE(sim::OpenBoard(config, &board));
    board.Write(0x64, 0xAD);
    board.Write(0x6C, 0xDD);
    board.Read(0x6C);
    board.Pause(500000);
    ASSERT_TRUE(sim::CloseBoard(config, &board));
    const std::vector<uint8_t> bytes = ReadFile(stats);
    const std::string json(bytes.begin(), bytes.end());
    EXPECT_EQ(json.front(), '{');
    EXPECT_EQ(json.substr(json.size() - 2), "}\n");
    for (const char* field :
         {"\"port_reads\": 1", "\"port_writes\": 2", "\"ec_commands\": 1", "\"kbc_commands\": 1",
          "\"spi_transactions\": 0", "\"spi_bytes_out\": 0", "\"spi_bytes_in\": 0", "\"pause_us\": 500000",
          "\"flash_busy_us\": 0", "\"modeled_us\": 500003", "\"ec_drops\": 0", "\"ec_resets\": 0",
          "\"kbc_drops\": 0", "\"spi_ignored\": 0", "\"spi_bytes_unselected\": 0", "\"status_nonvolatile\": 0"})
        EXPECT_NE(json.find(field), std::string::npos) << field << " in " << json;
}

}  // namespace
