// Whole runs of kovrin-sim in the version query mode: what the UEFI program
// does differently (the chip id line, the BRAM line endings, the verdict
// colours left set, every EC read on the ACPI EC pair).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_tool.h"

namespace {

using testsupport::BinPath;
using testsupport::TempDir;

// Screen cleared at start, banner at column 1 of row 1.
const std::string kStart = "\x1b[2J\x1b[H\x1b[2;2HZelkora EC flash tool version : 0.0.2\n";
const std::string kChip5570 = "\n\rfind_ite_chip=5570\n";
const std::string kRed = "\x1b[91m";
const std::string kGreen = "\x1b[92m";

struct Row {
    std::vector<std::string> args;
    std::string out;
    int status;
};

void Expect(const Row& row)
{
    std::string line;
    for (const std::string& a : row.args)
        line += a + " ";
    SCOPED_TRACE("kovrin-sim " + line);
    const testsupport::RunResult r = testsupport::Run(BinPath("kovrin-sim"), row.args);
    EXPECT_EQ(r.out, row.out);
    EXPECT_EQ(r.status, row.status);
}

TEST(VersionQueryKovrinRun, ChipIdLineAndReadOuts)
{
    const std::string bram = "\n\r\n\rFW_H=1 , FW_L=41\n\n\rSIO FW version :01A \n";
    const Row rows[] = {
        {{"--chip-id", "none", "--", "/V"}, kStart + "\n\rfind_ite_chip=ffff\n\n\rNot ITE Chip\n\r", 1},
        {{"--chip-id", "8987", "--project", "K", "--", "/V"},
         kStart + "\n\rfind_ite_chip=8987\n" + "\n\rThe current EC version is: 01.00\n" +
             "\n\rThe current project is: " + std::string("K\0\0\0\0\0\0\0\0\0", 10) + "\n",
         0},
        {{"--", "/VB"}, kStart + kChip5570 + bram, 0},
        {{"--", "/VB", "01B"}, kStart + kChip5570 + bram + kGreen + " \n\r=> Input version is newer then current FW!!", 0},
        {{"--", "/VB", "01A"},
         kStart + kChip5570 + bram + kRed + " \n\r=> Input version is NOT newer then current FW!!", 1},
        {{"--varnel", "ABCDEFGH", "--", "/VC", "ABCDEFGH"},
         kStart + kChip5570 + "\n\rSIO FW version : ABCDEFGH\n\r\n\r", 0},
        {{"--hang", "0", "--", "/V"}, kStart + kChip5570 + "\n\rTimeout: EC input buffer on port 0x66\n", 1},
    };
    for (const Row& row : rows)
        Expect(row);
}

TEST(VersionQueryKovrinRun, FileVerdictColours)
{
    TempDir dir;
    std::vector<uint8_t> newer(0x10000, 0xFF), same(0x10000, 0xFF);
    newer[0xFFF8] = 2;
    newer[0xFFF9] = 'A';
    same[0xFFF8] = 1;
    same[0xFFF9] = 'A';
    const std::string newer_path = dir.Write("newer.bin", newer);
    const std::string same_path = dir.Write("same.bin", same);
    const std::string bram = "\n\r\n\rFW_H=1 , FW_L=41\n\n\rSIO FW version :01A \n";
    const Row rows[] = {
        {{"--", "/VBF", newer_path},
         kStart + kChip5570 + "\n\rfopen file " + newer_path + " " + bram + "\n\rBIN FW version :02A " + kGreen +
             " \n\r=> The Update File is newer then current FW!!",
         0},
        {{"--", "/VBF", same_path},
         kStart + kChip5570 + "\n\rfopen file " + same_path + " " + bram + "\n\rBIN FW version :01A " + kRed +
             " \n\r=> The Update File Version Error!!",
         1},
    };
    for (const Row& row : rows)
        Expect(row);
}

// Every EC read of the UEFI program goes through the ACPI EC pair.
TEST(VersionQueryKovrinRun, PlainReadOutUsesTheAcpiPair)
{
    TempDir dir;
    const std::string trace = dir.File("trace.txt");
    const auto r = testsupport::Run(BinPath("kovrin-sim"), {"--trace", trace, "--", "/V"});
    EXPECT_EQ(r.status, 0);
    std::string want = "ec 80 00 @66\nec 80 01 @66\n";
    for (char digit = '0'; digit <= '9'; ++digit)
        want += std::string("ec 92 0aa") + digit + "\n";
    const std::vector<uint8_t> bytes = testsupport::ReadFile(trace);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), want);
}

}  // namespace
