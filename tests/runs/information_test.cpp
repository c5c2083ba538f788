// "/I": what the EC and its flash are and what the status registers
// protect, for each part family and protection state, read without writing;
// the ranges are the makers' datasheet rows.
#include "expected_text.h"
#include "update_support.h"

namespace {

using updatetest::CountPrefix;
using updatetest::Outcome;
using updatetest::RunTool;

const std::string kEc = "\nEC project: DEMO\nEC version: 01.00\nSuper I/O chip: 0x5570\n";

struct Row {
    std::vector<std::string> board;
    std::string flash;       // id, maker, part and size lines
    std::string status;      // the status register lines
    std::string protection;  // "Protected: ..." and "Status register locked: ..."
};

std::string Flash(const char* id, const char* maker, const char* part, const char* size)
{
    return std::string("Flash id: ") + id + "\nFlash maker: " + maker + "\nFlash part: " + part +
           "\nFlash size: " + size + "\n";
}

std::string Status(const char* one, const char* two = nullptr)
{
    return std::string("Status register: ") + one + "\n" +
           (two != nullptr ? std::string("Status register 2: ") + two + "\n" : "");
}

std::string Protection(const char* range, const char* locked)
{
    return std::string("Protected: ") + range + "\nStatus register locked: " + locked + "\n";
}

const Row kRows[] = {
    {{"--flash", "winbond"}, Flash("ef 40 12 00", "Winbond", "W25Q20", "256K from its id"), Status("0x00", "0x00"),
     Protection("none", "no")},
    // SEC TB BP0: the lowest 4 KB; TB BP0: the lowest 64 KB; CMP: the rest.
    {{"--flash", "winbond", "--status", "64"}, Flash("ef 40 12 00", "Winbond", "W25Q20", "256K from its id"),
     Status("0x64", "0x00"), Protection("0x000000-0x000FFF", "no")},
    {{"--flash", "winbond", "--status", "24"}, Flash("ef 40 12 00", "Winbond", "W25Q20", "256K from its id"),
     Status("0x24", "0x00"), Protection("0x000000-0x00FFFF", "no")},
    {{"--flash", "winbond", "--status", "44"}, Flash("ef 40 12 00", "Winbond", "W25Q20", "256K from its id"),
     Status("0x44", "0x00"), Protection("0x03F000-0x03FFFF", "no")},
    {{"--flash", "winbond", "--status", "04", "--status2", "40"},
     Flash("ef 40 12 00", "Winbond", "W25Q20", "256K from its id"), Status("0x04", "0x40"),
     Protection("0x000000-0x02FFFF", "no")},
    {{"--flash", "winbond", "--status", "0c"}, Flash("ef 40 12 00", "Winbond", "W25Q20", "256K from its id"),
     Status("0x0C", "0x00"), Protection("0x000000-0x03FFFF (all)", "no")},
    {{"--flash", "winbond", "--status", "80", "--status2", "01"},
     Flash("ef 40 12 00", "Winbond", "W25Q20", "256K from its id"), Status("0x80", "0x01"),
     Protection("none", "for good")},
    {{"--flash", "winbond", "--flash-size", "1024", "--status", "10"},
     Flash("ef 40 14 00", "Winbond", "W25Q80", "1024K from its id"), Status("0x10", "0x00"),
     Protection("0x080000-0x0FFFFF", "no")},
    {{"--flash", "winbond", "--flash-size", "16384", "--status", "80", "--wp-low"},
     Flash("ef 40 18 00", "Winbond", "W25Q128", "16384K from its id"), Status("0x80", "0x00"),
     Protection("none", "while WP# is low")},
    // BP3 acts as TB, BP4 as SEC; BP4 with BP2..0 = 110: 32 KB.
    {{"--flash", "gigadevice", "--status", "58"}, Flash("c8 40 12 00", "GigaDevice", "GD25Q20", "256K from its id"),
     Status("0x58", "0x00"), Protection("0x038000-0x03FFFF", "no")},
    {{"--flash", "gigadevice", "--flash-size", "4096", "--status", "18"},
     Flash("c8 40 16 00", "GigaDevice", "GD25Q32", "4096K from its id"), Status("0x18", "0x00"),
     Protection("0x200000-0x3FFFFF", "no")},
    {{"--flash", "mxic", "--status", "08"}, Flash("c2 20 12 00", "Macronix", "MX25L2005", "256K from its id"),
     Status("0x08"), Protection("0x020000-0x03FFFF", "no")},
    {{"--flash", "mxic", "--flash-size", "1024", "--status", "94"},
     Flash("c2 20 14 00", "Macronix", "MX25L8005", "1024K from its id"), Status("0x94"),
     Protection("0x000000-0x0FFFFF (all)", "while WP# is low")},
    {{"--flash", "mxic-pp32", "--status", "04"}, Flash("c2 20 10 00", "Macronix", "MX25L512", "64K from its id"),
     Status("0x04"), Protection("0x000000-0x00FFFF (all)", "no")},
    {{"--flash", "st", "--flash-size", "128", "--status", "04"},
     Flash("20 20 11 00", "ST", "M25P10-A", "128K from its id"), Status("0x04"), Protection("0x018000-0x01FFFF", "no")},
    {{"--flash", "st", "--flash-size", "2048", "--status", "14"},
     Flash("20 20 15 00", "ST", "M25P16", "2048K from its id"), Status("0x14"), Protection("0x100000-0x1FFFFF", "no")},
    {{"--flash", "sst", "--flash-size", "2048", "--status", "14"},
     Flash("bf 25 41 00", "SST", "SST25VF016B", "2048K from its id"), Status("0x14"),
     Protection("0x100000-0x1FFFFF", "no")},
    {{"--flash", "sst", "--flash-size", "512", "--status", "8c"},
     Flash("bf 25 8d 00", "SST", "SST25VF040B", "512K from its id"), Status("0x8C"),
     Protection("0x040000-0x07FFFF", "while WP# is low")},
    // No source gives the ranges of the SST25VF0xxA.
    {{"--flash", "sst-old", "--status", "04"}, Flash("bf 49 (read id)", "SST", "SST25VF010A", "128K from its id"),
     Status("0x04"), Protection("unknown", "no")},
    {{"--flash", "sst-old", "--flash-size", "64"}, Flash("bf 48 (read id)", "SST", "SST25VF512A", "64K from its id"),
     Status("0x00"), Protection("none", "no")},
    {{"--flash", "ite", "--status", "04"}, Flash("ff 01 (read id)", "ITE", "unknown", "unknown"), Status("0x04"),
     Protection("unknown", "unknown")},
    {{"--flash", "ite-a"}, Flash("ff ff ff ff", "ITE", "unknown", "unknown"), Status("0x00"),
     Protection("none", "unknown")},
    {{"--flash", "atmel", "--status", "04"}, Flash("1f 40 12 00", "Atmel", "unknown", "unknown"), Status("0x04"),
     Protection("unknown", "unknown")},
    {{"--flash", "unknown"}, Flash("9d 40 12 00", "unknown", "unknown", "unknown"), Status("0x00"),
     Protection("none", "unknown")},
    {{"--flash", "spansion", "--flash-size", "512"}, Flash("01 40 13 00", "Spansion", "unknown", "512K from SFDP"),
     Status("0x00"), Protection("none", "unknown")},
    {{"--flash", "spansion", "--no-sfdp"}, Flash("01 40 12 00", "Spansion", "unknown", "unknown"), Status("0x00"),
     Protection("none", "unknown")},
    {{"--flash", "amic"}, Flash("37 40 12 00", "AMIC", "unknown", "256K from SFDP"), Status("0x00"),
     Protection("none", "unknown")},
    {{"--flash", "eon", "--flash-size", "128"}, Flash("1c 40 11 00", "EON", "unknown", "128K from SFDP"),
     Status("0x00"), Protection("none", "unknown")},
    {{"--flash", "esmt"}, Flash("8c 40 12 00", "ESMT", "unknown", "256K from SFDP"), Status("0x00"),
     Protection("none", "unknown")},
    {{"--flash", "pmc", "--flash-size", "16384"}, Flash("7f 40 18 00", "PMC", "unknown", "16384K from SFDP"),
     Status("0x00"), Protection("none", "unknown")},
};

// Nothing is erased, programmed or enabled for writing.
size_t Writes(const Outcome& o)
{
    size_t n = 0;
    for (const char* op : {"spi 01", "spi 02", "spi 06", "spi 20", "spi 50", "spi 52", "spi d7", "spi d8", "spi ad",
                           "spi af"})
        n += CountPrefix(o.trace, op);
    return n;
}

std::string Answers(const std::string& out)
{
    const size_t at = out.find("\nEC project: ");
    return at == std::string::npos ? out : out.substr(at);
}

TEST(Information, EveryPartAndProtectionState)
{
    for (const Row& row : kRows) {
        std::string name;
        for (const std::string& word : row.board)
            name += word + " ";
        SCOPED_TRACE(name);
        const Outcome o = RunTool({"/I"}, row.board);
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(Answers(o.out), kEc + row.flash + row.status + row.protection);
        EXPECT_EQ(Writes(o), 0u);
        EXPECT_EQ(CountPrefix(o.trace, "spi 35"), row.status.find("register 2") != std::string::npos ? 1u : 0u);
        // SFDP is asked for only where the id does not tell the size.
        EXPECT_EQ(CountPrefix(o.trace, "spi 5a") == 0, row.flash.find("from its id") != std::string::npos);
        updatetest::ExpectClosedOnce(o, "ec fe");
        EXPECT_EQ(o.flash, updatetest::OldFlash(updatetest::FlashBytesOf(row.board)));
    }
}

// The EC's own answers, /j, and kovrin reading the same board.
TEST(Information, EcFactsResetAndKovrin)
{
    Outcome o = RunTool({"/I", "/j", "/F"}, {"--chip-id", "none", "--ec-version", "2.5", "--project", "XY"});
    EXPECT_EQ(o.status, 0);
    const std::string ec = "\nEC project: XY\nEC version: 02.05\nSuper I/O chip: none\n";
    EXPECT_EQ(Answers(o.out).substr(0, ec.size()), ec);
    updatetest::ExpectClosedOnce(o, "ec fc");

    for (const Row& row : {kRows[1], kRows[9], kRows[18], kRows[24]}) {
        SCOPED_TRACE(row.board[1]);
        o = RunTool({"/I"}, row.board, "kovrin-sim");
        EXPECT_EQ(o.status, 0);
        EXPECT_EQ(Answers(o.out), kEc + row.flash + row.status + row.protection);
        updatetest::ExpectClosedOnce(o, "ec fe");
    }
}

// After /PB the next power-on finds the non-volatile status: /I then shows
// the range /PB reported.
TEST(Information, ShowsWhatProtectLeftAfterAPowerCycle)
{
    for (const char* part : {"winbond", "gigadevice", "mxic", "st", "sst", "sst-old", "ite"}) {
        SCOPED_TRACE(part);
        const Outcome protect = RunTool({"/PB"}, {"--flash", part});
        ASSERT_EQ(protect.status, 0);
        const size_t line = protect.out.rfind("Protected: ");
        ASSERT_NE(line, std::string::npos);
        const std::string range = protect.out.substr(line);
        char status[8];
        snprintf(status, sizeof status, "%llx", testsupport::Stat(protect.stats, "status_nonvolatile"));
        const Outcome o = RunTool({"/I"}, {"--flash", part, "--status", status});
        EXPECT_EQ(o.out.substr(o.out.rfind("Protected: "), range.size()), range);
    }
}

// A mode of its own: nothing that picks or shapes another mode goes with it.
TEST(Information, WrongParameterCombinations)
{
    const std::vector<std::vector<std::string>> rows = {
        {"/I", "ec.bin", "64"}, {"ec.bin", "64", "/I"}, {"/I", "/R", "x.bin", "64"}, {"/I", "/T"}, {"/PB", "/I"},
        {"/I", "/C"}, {"/I", "/V"}, {"/I", "/BK"}, {"/I", "/Mn"}, {"/I", "/Bp"}, {"/I", "/O", "0"},
    };
    for (const auto& tool : rows) {
        SCOPED_TRACE(tool[0] + " " + tool[1]);
        const Outcome o = RunTool(tool, {});
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, expected::Usage() + expected::kWrongParameter);
        EXPECT_TRUE(o.trace.empty());
    }
}

}  // namespace
