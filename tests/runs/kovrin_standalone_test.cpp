// The stand-alone test and boot-block protection modes of kovrin-sim: the
// UEFI program's labels and marks, its pauses in microseconds, and the
// screen cleared before the protection mode shows the flash.
#include "expected_text.h"
#include "update_support.h"

namespace {

namespace k = expected::kovrin;

using updatetest::CountLines;
using updatetest::CountPrefix;
using updatetest::OldFlash;
using updatetest::Outcome;
using updatetest::Stat;

// A stand-alone mode over the old flash: tool arguments, then board options.
Outcome RunMode(const std::vector<std::string>& tool, const std::vector<std::string>& board)
{
    return updatetest::RunTool(tool, board, "kovrin-sim");
}

void ExpectNoDdAndClosedWithReset(const Outcome& o)
{
    EXPECT_EQ(CountLines(o.trace, "ec dd"), 0u);
    ASSERT_FALSE(o.trace.empty());
    EXPECT_EQ(o.trace.front(), "kbc ad");
    updatetest::ExpectClosedOnce(o, "ec fc");
}

TEST(KovrinTestMode, ErasesWritesAndReadsBack)
{
    const std::string erase = k::kSectorErase + k::Marks(16) + " -- Erase OK. \n\n";
    const std::string program = k::kPrograming + k::Marks(16);
    struct Row {
        std::vector<std::string> board;
        std::string verdict;
        int status;
    } rows[] = {
        {{}, " -- Test OK. \n\n", 0},
        {{"--stuck", "10=00"}, " -- Test Fail. \n\n", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.status);
        const auto o = RunMode({"/T"}, row.board);
        EXPECT_EQ(o.out, k::kClear + k::kOpening + erase + program + row.verdict);
        EXPECT_EQ(o.status, row.status);
        // Sixteen marks, 50 us after each.
        EXPECT_EQ(Stat(o.stats, "pause_us"), 16 * 50);
        EXPECT_EQ(CountLines(o.trace, "spi 02 addr=000000 w=256"), 1u);
        ExpectNoDdAndClosedWithReset(o);
    }
}

TEST(KovrinProtectMode, ClearsTheScreenAndSettlesHalfASecond)
{
    struct Row {
        const char* part;
        std::string id_bytes;
        std::string vendor;
        const char* status_value;
        const char* protected_area;
        long long pause_us;  // four settle points on 0xEF, two on others
    } rows[] = {
        {"winbond", "ef 40 12 0", "Winbond", "0x64", "0x000000-0x000FFF", 4 * 500000},
        {"sst", "bf 25 8c 0", "SST", "0x4", "0x030000-0x03FFFF", 2 * 500000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.part);
        const auto o = RunMode({"/PB"}, {"--flash", row.part});
        EXPECT_EQ(o.out, k::kClear + k::kOpening +
                             "vReadSPIDeviceID start\n\n"
                             "\nvEnterFollowMode\nSPIDeviceID= " + row.id_bytes + "\nvExitFollowMode"
                             "vReadSPIDeviceID end\n\n" +
                             k::kClear + k::kAtBanner + k::kBanner +
                             k::kAtDeviceId + " Device ID        : " + row.id_bytes + " " +
                             k::kAtVendor + " SPI Vendor       : " + row.vendor + " \n" +
                             "\n\nProtect BBK Area Done!\nRead Status Register = " + row.status_value + "\n" +
                             "Protected: " + row.protected_area + "\n");
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(Stat(o.stats, "pause_us"), row.pause_us);
        EXPECT_FLASH(o.flash, OldFlash());
        EXPECT_EQ(CountPrefix(o.trace, "spi 01 "), 1u);
        ExpectNoDdAndClosedWithReset(o);
    }
}

}  // namespace
