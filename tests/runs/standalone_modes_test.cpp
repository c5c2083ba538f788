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
    const char* status_value;    // as read back
    const char* protected_area;  // what that guards, from the part's datasheet
    std::vector<std::string> protect_lines;  // one right after the other
};

// Every family: the status write lasts (the non-volatile status holds the
// bits after the run) or the run says it failed. The enable goes right
// before the write: 0x50 on SST (the SST25VF010A takes nothing else), 0x06
// on Winbond, whose 0x50 would only write the volatile copy.
TEST(ProtectMode, ProtectsOnEveryPart)
{
    const ProtectRow rows[] = {
        {"winbond", "0x64", "0x000000-0x000FFF", {"spi 06", "spi 01 w=2"}},
        {"sst", "0x4", "0x030000-0x03FFFF", {"spi 50", "spi 01 w=1"}},
        {"sst-old", "0x4", "unknown", {"spi 50", "spi 01 w=1"}},
        {"mxic", "0x4", "0x030000-0x03FFFF", {"spi 06", "spi 01 w=1"}},
        {"mxic-pp32", "0x4", "0x000000-0x00FFFF (all)", {}},
        {"st", "0x4", "0x030000-0x03FFFF", {}},
        {"gigadevice", "0x4", "0x030000-0x03FFFF", {}},
        {"ite", "0x4", "unknown", {}},
        {"ite-a", "0x4", "unknown", {}},
        {"atmel", "0x4", "unknown", {}},
        {"unknown", "0x4", "unknown", {}},
    };
    for (const ProtectRow& row : rows) {
        SCOPED_TRACE(row.part);
        const auto o = RunMode({"/PB"}, {"--flash", row.part});
        const std::string tail = std::string("\n\nProtect BBK Area Done!\nRead Status Register = ") +
                                 row.status_value + "\nProtected: " + row.protected_area + "\n";
        ASSERT_GE(o.out.size(), tail.size());
        EXPECT_EQ(o.out.substr(o.out.size() - tail.size()), tail);
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(testsupport::Stat(o.stats, "status_nonvolatile") & 0xFC, std::stoi(row.status_value, nullptr, 16) & 0xFC);
        EXPECT_FLASH(o.flash, OldFlash(updatetest::FlashBytesOf({"--flash", row.part})));
        // One after the other, nothing in between.
        EXPECT_NE(std::search(o.trace.begin(), o.trace.end(), row.protect_lines.begin(), row.protect_lines.end()),
                  o.trace.end());
        // Only parts with a status register 2 are asked for it.
        const std::string part = row.part;
        if (part != "winbond" && part != "gigadevice") {
            EXPECT_EQ(CountPrefix(o.trace, "spi 35"), 0u);
        }
        updatetest::ExpectClosedOnce(o, "ec fc");
    }
}

// A part that does not keep the bits (its status register locked by SRP0
// with WP# low) is reported, and the run fails.
TEST(ProtectMode, StatusThatDoesNotHoldFails)
{
    const auto o = RunMode({"/PB"}, {"--flash", "mxic", "--status", "80", "--wp-low"});
    EXPECT_EQ(o.status, 1);
    const std::string tail = "Read Status Register = 0x80\nProtected: none\n\n\rProtect BBK Area Fail!\n";
    ASSERT_GE(o.out.size(), tail.size());
    EXPECT_EQ(o.out.substr(o.out.size() - tail.size()), tail);
    updatetest::ExpectClosedOnce(o, "ec fc", {"spi 01 w=1 ignored locked"});
}

// With CMP set in status register 2, Winbond's 0x64 would guard everything
// but the boot block: the protection writes register 2 back without it.
TEST(ProtectMode, ComplementBitDoesNotTurnTheProtectionAround)
{
    const auto o = RunMode({"/PB"}, {"--flash", "winbond", "--status2", "40"});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.substr(o.out.rfind("Protected: ")), "Protected: 0x000000-0x000FFF\n");
    updatetest::ExpectClosedOnce(o, "ec fc");
}

}  // namespace
