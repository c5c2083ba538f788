// Whole runs of kovrinux-sim in the version query mode: output byte for byte
// and the exit status, for each read-out and its failures.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/run_tool.h"

namespace {

using testsupport::BinPath;
using testsupport::TempDir;

const std::string kBanner = " Zelkora EC flash OS tool version : 1.0\n";
const std::string kNotIte = "\n\rNot ITE Chip\n\r";
const std::string kInputNewer = " \n\r=> Input version is newer then current FW!!";
const std::string kInputNotNewer = " \n\r=> Input version is NOT newer then current FW!!";
const std::string kFileNewer = " \n\r=> The Update File is newer then current FW!!";
const std::string kFileError = " \n\r=> The Update File Version Error!!";
const std::string kTooSmall = "\n\rBIN file too small for a version!\n";
const std::string kEcTimeout = "\n\rTimeout: EC input buffer on port 0x6C\n";
const std::string kAcpiTimeout = "\n\rTimeout: EC input buffer on port 0x66\n";

struct Row {
    std::vector<std::string> args;  // board options, "--", the tool's arguments
    std::string out;
    int status;
};

void Expect(const Row& row)
{
    std::string line;
    for (const std::string& a : row.args)
        line += a + " ";
    SCOPED_TRACE("kovrinux-sim " + line);
    const testsupport::RunResult r = testsupport::Run(BinPath("kovrinux-sim"), row.args);
    EXPECT_EQ(r.out, row.out);
    EXPECT_EQ(r.status, row.status);
    EXPECT_EQ(r.err, "");
}

std::string Plain(const std::string& version, const std::string& project)
{
    return "\n\rThe current EC version is: " + version + "\n" + "\n\rThe current project is: " + project +
           "\n";
}

std::string Bram(const std::string& regs, const std::string& text)
{
    return "\n\r\n\rFW_H=" + regs + "\n\rSIO FW version :" + text + " ";
}

std::string Varnel(const std::string& text)
{
    return "\n\rSIO FW version : " + text + "\n\r\n\r";
}

// A version file: size bytes of 0xFF with the two version bytes at 0xFFF8.
std::vector<uint8_t> Image(size_t size, uint8_t high, uint8_t low)
{
    std::vector<uint8_t> bytes(size, 0xFF);
    if (size > 0xFFF8)
        bytes[0xFFF8] = high;
    if (size > 0xFFF9)
        bytes[0xFFF9] = low;
    return bytes;
}

TEST(VersionQueryRun, PlainReadOut)
{
    const Row rows[] = {
        {{"--ec-version", "1.0", "--project", "DEMO", "--", "/V"},
         kBanner + Plain("01.00", std::string("DEMO\0\0\0\0\0\0", 10)), 0},
        {{"--ec-version", "18.5", "--project", "ABCDEFGHIJ", "--", "/v", "9.99"},
         kBanner + Plain("18.05", "ABCDEFGHIJ"), 0},
        {{"--ec-version", "255.100", "--project", "", "--", "/V"},
         kBanner + Plain("255.100", std::string(10, '\0')), 0},
        {{"--chip-id", "8987", "--project", "P1", "--", "/VX"},
         kBanner + Plain("01.00", std::string("P1\0\0\0\0\0\0\0\0", 10)), 0},
    };
    for (const Row& row : rows)
        Expect(row);
}

TEST(VersionQueryRun, BramAgainstTypedVersion)
{
    const std::string ec01A = kBanner + Bram("1 , FW_L=41", "01A");
    const Row rows[] = {
        {{"--bram", "1,0x41", "--", "/VB", "01B"}, ec01A + kInputNewer, 0},
        {{"--bram", "1,0x41", "--", "/VB", "01A"}, ec01A + kInputNotNewer, 1},
        {{"--bram", "1,0x41", "--", "/VB", "01"}, ec01A + kInputNotNewer, 1},
        {{"--bram", "1,0x41", "--", "/VB", "009"}, ec01A + kInputNotNewer, 1},
        // By text, not by number: "01A" sorts before "1".
        {{"--bram", "1,0x41", "--", "/VB", "1"}, ec01A + kInputNewer, 0},
        {{"--bram", "1,0x41", "--", "/VB"}, ec01A, 0},
        {{"--bram", "18,0x41", "--", "/VB", "18A", "ignored"},
         kBanner + Bram("12 , FW_L=41", "18A") + kInputNotNewer, 1},
        {{"--bram", "0x0c,0x30", "--", "/VB", "12:"}, kBanner + Bram("c , FW_L=30", "120") + kInputNewer, 0},
    };
    for (const Row& row : rows)
        Expect(row);
}

TEST(VersionQueryRun, BramAgainstVersionFile)
{
    TempDir dir;
    struct FileRow {
        std::vector<uint8_t> bytes;
        std::string bin_text;  // empty: too small
        std::string verdict;
        int status;
    };
    // The EC side reads 18A; the file side is written the same way.
    const FileRow rows[] = {
        {Image(0x10000, 0x19, 'A'), "25A", kFileNewer, 0},
        {Image(0x10000, 0x12, 'B'), "18B", kFileNewer, 0},
        {Image(0x10000, 0x12, 'A'), "18A", kFileError, 1},
        {Image(0x10000, 0x11, 'A'), "17A", kFileError, 1},
        {Image(0x10000, 0x09, 'Z'), "09Z", kFileError, 1},
        {Image(0xFFFA, 0x13, 'A'), "19A", kFileNewer, 0},
        {Image(0x20000, 0x64, 'A'), "100A", kFileError, 1},
        {Image(0xFFF9, 0x19, 'A'), "", kTooSmall, 1},
        {Image(0, 0, 0), "", kTooSmall, 1},
    };
    int n = 0;
    for (const FileRow& row : rows) {
        char name[16];
        snprintf(name, sizeof name, "v%d.bin", n++);
        const std::string path = dir.Write(name, row.bytes);
        std::string out = kBanner + "\n\rfopen file " + path + " " + Bram("12 , FW_L=41", "18A");
        if (!row.bin_text.empty())
            out += "\n\rBIN FW version :" + row.bin_text + " ";
        out += row.verdict;
        Expect({{"--bram", "18,0x41", "--", "/VBF", path, "0xFFF8"}, out, row.status});
    }
}

TEST(VersionQueryRun, VersionFileThatCannotBeLoaded)
{
    TempDir dir;
    const Row rows[] = {
        {{"--", "/VBF"}, kBanner + "\n\rFile Open Fail!", 1},
        {{"--", "/VBF", dir.File("absent.bin")}, kBanner + "\n\rFile Open Fail!", 1},
        {{"--", "/VCF"}, kBanner + "\n\rFile Open Fail!", 1},
        {{"--", "/VBF", dir.path()}, kBanner + "\n\rfopen file " + dir.path() + " " + "\n\rFile Read Fail!\n", 1},
    };
    for (const Row& row : rows)
        Expect(row);
}

// The file is loaded by every read-out with "F", but only the BRAM one uses it.
TEST(VersionQueryRun, VersionFileLoadedButUnusedOutsideBram)
{
    TempDir dir;
    const std::string path = dir.Write("short.bin", "tiny");
    const std::string opened = kBanner + "\n\rfopen file " + path + " ";
    const Row rows[] = {
        {{"--varnel", "ABCDEFGH", "--", "/VCF", path}, opened + Varnel("ABCDEFGH"), 0},
        {{"--", "/VxF", path}, opened + Plain("01.00", std::string("DEMO\0\0\0\0\0\0", 10)), 0},
    };
    for (const Row& row : rows)
        Expect(row);
}

TEST(VersionQueryRun, VarnelReadOut)
{
    const Row rows[] = {
        {{"--varnel", "ABCDEFGH", "--", "/VC", "ABCDEFGH"}, kBanner + Varnel("ABCDEFGH"), 0},
        {{"--varnel", "ABCDEFGH", "--", "/VC", "ABCDEFG"}, kBanner + Varnel("ABCDEFGH"), 1},
        {{"--varnel", "ABCDEFGH", "--", "/VC", "ABCDEFGHI"}, kBanner + Varnel("ABCDEFGH"), 1},
        {{"--varnel", "ABCDEFGH", "--", "/VC"}, kBanner + Varnel("ABCDEFGH"), 0},
        // A zero byte ends the text early.
        {{"--varnel", "V1", "--", "/VC", "V1"}, kBanner + Varnel("V1"), 0},
        {{"--varnel", "V1", "--", "/VC", "V1\x01"}, kBanner + Varnel("V1"), 1},
    };
    for (const Row& row : rows)
        Expect(row);
}

TEST(VersionQueryRun, NoSuperIoEndsEveryReadOut)
{
    TempDir dir;
    const std::string path = dir.Write("v.bin", Image(0x10000, 0x19, 'A'));
    const Row rows[] = {
        {{"--chip-id", "none", "--", "/V"}, kBanner + kNotIte, 1},
        {{"--chip-id", "none", "--", "/VB", "01B"}, kBanner + kNotIte, 1},
        {{"--chip-id", "none", "--", "/VBF", path}, kBanner + kNotIte, 1},
        {{"--chip-id", "none", "--", "/VC", "V1.0.0.0"}, kBanner + kNotIte, 1},
    };
    for (const Row& row : rows)
        Expect(row);
}

// Two bytes per ACPI read, three per external RAM read: the plain read-out
// hands the EC 4 + 30 bytes, the Varnel one 16.
TEST(VersionQueryRun, HungEcEndsTheReadOutWithATimeout)
{
    const Row rows[] = {
        {{"--hang", "0", "--", "/V"}, kBanner + kEcTimeout, 1},
        {{"--hang", "3", "--", "/V"}, kBanner + kEcTimeout, 1},
        {{"--hang", "33", "--", "/V"}, kBanner + kEcTimeout, 1},
        {{"--hang", "34", "--", "/V"}, kBanner + Plain("01.00", std::string("DEMO\0\0\0\0\0\0", 10)), 0},
        {{"--hang", "0", "--", "/VC", "V1.0.0.0"}, kBanner + kAcpiTimeout, 1},
        {{"--hang", "15", "--", "/VC"}, kBanner + kAcpiTimeout, 1},
        {{"--hang", "16", "--", "/VC"}, kBanner + Varnel("V1.0.0.0"), 0},
        // The BRAM read-out never uses the EC mailbox.
        {{"--hang", "0", "--", "/VB", "01B"}, kBanner + Bram("1 , FW_L=41", "01A") + kInputNewer, 0},
    };
    for (const Row& row : rows)
        Expect(row);
}

TEST(VersionQueryRun, TraceShowsTheEcReadsInOrder)
{
    TempDir dir;
    std::string plain = "ec 80 00 @6c\nec 80 01 @6c\n";
    for (char digit = '0'; digit <= '9'; ++digit)
        plain += std::string("ec 92 0aa") + digit + "\n";
    std::string varnel;
    for (const char* a : {"d8", "d9", "da", "db", "dc", "dd", "de", "df"})
        varnel += std::string("ec 80 ") + a + " @66\n";

    const struct {
        const char* option;
        std::string trace;
    } rows[] = {{"/V", plain}, {"/VC", varnel}, {"/VB", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.option);
        const std::string trace = dir.File("trace.txt");
        const auto r = testsupport::Run(BinPath("kovrinux-sim"), {"--trace", trace, "--", row.option});
        EXPECT_EQ(r.status, 0);
        const std::vector<uint8_t> bytes = testsupport::ReadFile(trace);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), row.trace);
    }
}

}  // namespace
