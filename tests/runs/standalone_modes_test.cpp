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

// Never identified, so no part gets its own steps (0x50 on SST); the
// SST25VF parts program one byte with 0x02 and ignore the 256-byte page.
TEST(TestMode, ErasesTheFirstSectorAndWritesOnePage)
{
    struct Row {
        const char* part;
        const char* verdict;
        int status;
        size_t written;  // bytes of 0x88 at address 0
        std::vector<std::string> misuse;
    } const rows[] = {
        {"winbond", " -- Test OK. \n\n", 0, 256, {}},
        {"sst", " -- Test Fail. \n\n", 1, 0, {"spi 02 addr=000000 w=256 ignored length"}},
    };
    for (const Row& row : rows) {
        for (const char* reset : {"", "/j"}) {
            SCOPED_TRACE(std::string(row.part) + " " + reset);
            std::vector<std::string> tool{"/T"};
            if (*reset)
                tool.push_back(reset);
            const auto o = RunMode(tool, {"--flash", row.part});
            EXPECT_EQ(o.out, kOpening + " Eraseing...      : " + kMarks16 + " -- Erase OK. \n\n" +
                                 "  Programing...    : " + kMarks16 + row.verdict);
            EXPECT_EQ(o.status, row.status);

            std::vector<uint8_t> want = OldFlash();
            std::fill(want.begin(), want.begin() + 4096, 0xFF);
            std::fill(want.begin(), want.begin() + static_cast<long>(row.written), 0x88);
            EXPECT_FLASH(o.flash, want);

            EXPECT_EQ(CountPrefix(o.trace, "spi 02"), 1u);
            EXPECT_EQ(CountPrefix(o.trace, "spi 02 addr=000000 w=256"), 1u);
            EXPECT_EQ(CountLines(o.trace, "spi 20 addr=000000"), 1u);
            EXPECT_EQ(CountLines(o.trace, "spi 0b addr=000000 w=1 r=256"), 1u);
            EXPECT_EQ(CountPrefix(o.trace, "spi 50"), 0u);
            EXPECT_EQ(CountPrefix(o.trace, "spi 9f"), 0u);
            EXPECT_EQ(CountLines(o.trace, "ec dd"), 0u);
            updatetest::ExpectClosedOnce(o, "ec fc", row.misuse);
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
    std::string device_line;
    const char* status_value;
    std::vector<std::string> protect_lines;  // in this order
    std::vector<std::string> misuse;
};

// The SST25VF010A takes a status write only right after 0x50; the status
// poll the tool puts in between disarms it, so it stays unprotected.
TEST(ProtectMode, ProtectsTheBootBlock)
{
    const ProtectRow rows[] = {
        {"winbond", "\nvEnterFollowMode\nSPIDeviceID= ef 40 12 0\nvExitFollowMode",
         " Device ID        : ef 40 12 0  SPI Vendor       : Winbond \n", "0x64",
         {"spi 35 r=1", "spi 50", "spi 01 w=2"}, {}},
        {"sst", "\nvEnterFollowMode\nSPIDeviceID= bf 25 8c 0\nvExitFollowMode",
         " Device ID        : bf 25 8c 0  SPI Vendor       : SST \n", "0x4", {"spi 50", "spi 01 w=1"}, {}},
        {"sst-old",
         "\nvEnterFollowMode\nSPIDeviceID= 0 0 0 0\n\n bf 49 bf 49 bf 49 bf 49 bf 49 bf 49 bf 49 bf 49\n\n\n"
         "vExitFollowMode",
         " Device ID        : bf 49 bf 49  SPI Vendor       : SST \n", "0x2",
         {"spi 50", "spi 01 w=1 ignored not-enabled"}, {"spi 01 w=1 ignored not-enabled"}},
    };
    for (const ProtectRow& row : rows) {
        SCOPED_TRACE(row.part);
        const auto o = RunMode({"/PB"}, {"--flash", row.part});
        EXPECT_EQ(o.out, kOpening + "vReadSPIDeviceID start\n\n" + row.identification +
                             "vReadSPIDeviceID end\n\n"
                             " Zelkora EC flash OS tool version : 1.0\n" +
                             row.device_line + "\n\nProtect BBK Area Done!\nRead Status Register = " +
                             row.status_value + "\n");
        EXPECT_EQ(o.status, 0);
        EXPECT_FLASH(o.flash, OldFlash(updatetest::FlashBytesOf({"--flash", row.part})));

        size_t at = 0;
        for (const std::string& line : row.protect_lines) {
            const auto it = std::find(o.trace.begin() + static_cast<long>(at), o.trace.end(), line);
            ASSERT_NE(it, o.trace.end()) << line;
            at = static_cast<size_t>(it - o.trace.begin());
        }
        if (std::string(row.part) != "winbond") {
            EXPECT_EQ(CountPrefix(o.trace, "spi 35"), 0u);
        }
        updatetest::ExpectClosedOnce(o, "ec fc", row.misuse);
    }
}

}  // namespace
