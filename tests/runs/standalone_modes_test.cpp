// The stand-alone test and boot-block protection modes on the virtual board.
#include "update_support.h"

namespace {

using updatetest::CountLines;
using updatetest::CountPrefix;
using updatetest::OldFlash;
using updatetest::Outcome;

const std::string kOpening =
    "Send KB Cmd 0xAD \n\n"
    "Send EC Cmd 0xDC \n\n"
    "Read EC Data \n\n"
    "EC ACK OK. \n\n";
const std::string kMarks16 = "################";

// A stand-alone mode over the old flash: tool arguments, then board options.
Outcome RunMode(const std::vector<std::string>& tool, const std::vector<std::string>& board)
{
    return updatetest::RunTool(tool, board, "kovrinux-sim");
}

TEST(TestMode, ErasesTheFirstSectorAndWritesOnePage)
{
    // Never identified, so no part gets its own steps (0x50 on SST).
    for (const char* part : {"winbond", "sst"}) {
        for (const char* reset : {"", "/j"}) {
            SCOPED_TRACE(std::string(part) + " " + reset);
            std::vector<std::string> tool{"/T"};
            if (*reset)
                tool.push_back(reset);
            const auto o = RunMode(tool, {"--flash", part});
            EXPECT_EQ(o.out, kOpening + " Eraseing...      : " + kMarks16 + " -- Erase OK. \n\n" +
                                 "  Programing...    : " + kMarks16 + " -- Test OK. \n\n");
            EXPECT_EQ(o.status, 0);

            std::vector<uint8_t> want = OldFlash();
            std::fill(want.begin(), want.begin() + 4096, 0xFF);
            std::fill(want.begin(), want.begin() + 256, 0x88);
            EXPECT_FLASH(o.flash, want);

            EXPECT_EQ(CountPrefix(o.trace, "spi 02"), 1u);
            EXPECT_EQ(CountLines(o.trace, "spi 02 addr=000000 w=256"), 1u);
            EXPECT_EQ(CountLines(o.trace, "spi 20 addr=000000"), 1u);
            EXPECT_EQ(CountLines(o.trace, "spi 0b addr=000000 w=1 r=256"), 1u);
            EXPECT_EQ(CountPrefix(o.trace, "spi 50"), 0u);
            EXPECT_EQ(CountPrefix(o.trace, "spi 9f"), 0u);
            EXPECT_EQ(CountLines(o.trace, "ec dd"), 0u);
            updatetest::ExpectClosedOnce(o, "ec fc");
        }
    }
}

TEST(TestMode, ReadsThePatternBack)
{
    const auto o = RunMode({"/T"}, {"--stuck", "10=00"});
    EXPECT_EQ(o.out, kOpening + " Eraseing...      : " + kMarks16 + " -- Erase OK. \n\n" +
                         "  Programing...    : " + kMarks16 + " -- Test Fail. \n\n");
    EXPECT_EQ(o.status, 1);
    updatetest::ExpectClosedOnce(o, "ec fc");
}

struct ProtectRow {
    const char* part;
    std::string identification;
    const char* status_value;
    std::vector<std::string> protect_lines;  // in this order
};

TEST(ProtectMode, ProtectsTheBootBlock)
{
    const ProtectRow rows[] = {
        {"winbond",
         "\nvEnterFollowMode\nSPIDeviceID= ef 40 14 0\nvExitFollowMode",
         "0x64",
         {"spi 35 r=1", "spi 50", "spi 01 w=2"}},
        {"sst",
         "\nvEnterFollowMode\nSPIDeviceID= bf 25 8e 0\nvExitFollowMode",
         "0x4",
         {"spi 50", "spi 01 w=1"}},
    };
    for (const ProtectRow& row : rows) {
        SCOPED_TRACE(row.part);
        const auto o = RunMode({"/PB"}, {"--flash", row.part});
        const std::string device = std::string(row.part) == "sst" ? " Device ID        : bf 25 8e 0 "
                                                                  : " Device ID        : ef 40 14 0 ";
        const std::string vendor = std::string(row.part) == "sst" ? " SPI Vendor       : SST \n"
                                                                  : " SPI Vendor       : Winbond \n";
        EXPECT_EQ(o.out, kOpening + "vReadSPIDeviceID start\n\n" + row.identification +
                             "vReadSPIDeviceID end\n\n"
                             " Zelkora EC flash OS tool version : 1.0\n" +
                             device + vendor + "\n\nProtect BBK Area Done!\nRead Status Register = " +
                             row.status_value + "\n");
        EXPECT_EQ(o.status, 0);
        EXPECT_FLASH(o.flash, OldFlash());

        size_t at = 0;
        for (const std::string& line : row.protect_lines) {
            const auto it = std::find(o.trace.begin() + static_cast<long>(at), o.trace.end(), line);
            ASSERT_NE(it, o.trace.end()) << line;
            at = static_cast<size_t>(it - o.trace.begin());
        }
        if (std::string(row.part) == "sst") {
            EXPECT_EQ(CountPrefix(o.trace, "spi 35"), 0u);
        }
        updatetest::ExpectClosedOnce(o, "ec fc");
    }
}

}  // namespace
