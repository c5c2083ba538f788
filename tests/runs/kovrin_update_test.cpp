// Whole updates by kovrin-sim: the UEFI program's status screen, marks,
// labels, microsecond pauses, its EC mailbox on the ACPI pair with no 0xDD
// step, and its statuses.
#include "expected_text.h"
#include "update_support.h"

namespace {

namespace k = expected::kovrin;

using updatetest::CountLines;
using updatetest::CountPrefix;
using updatetest::ExpectClosedOnce;
using updatetest::Image;
using updatetest::OldFlash;
using updatetest::OldFlashWith;
using updatetest::Outcome;
using updatetest::Stat;

const std::string kPass = "\n\rPassssssssssssssssssssssssss";

Outcome RunKovrin(updatetest::Update u)
{
    u.program = "kovrin-sim";
    return updatetest::RunUpdate(u);
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The screen redrawn for one block of a winbond update, cursor left at row 10.
std::string WinbondScreen(const std::string& number)
{
    return k::kClear + k::kAtBanner + k::kBanner +
           k::kAtDeviceId + " Device ID        : ef 40 12 0 " +
           k::kAtVendor + " SPI Vendor       : Winbond \n" +
           k::kAtBlockNumber + " Block Number     : " + number + " \n\n" + k::kAtPhases;
}

// A whole 64 KB block: erase, check, program, verify, sixteen marks each.
std::string WholeBlockPhases()
{
    const std::string m16 = k::Marks(16);
    return k::kBlockErase + m16 + " -- Erase OK. \n\n" +
           k::kEraseVerify + m16 + " -- Verify OK. \n\n" +
           k::kPrograming + m16 + " -- Programing OK. \n\n" +
           k::kVerify + m16 + " -- Verify OK. \n";
}

TEST(KovrinUpdate, WholeUpdateOnWinbond)
{
    const std::vector<uint8_t> image = Image(128 * 1024);
    const auto o = RunKovrin({image, {"--flash", "winbond"}, {}, "128"});
    const std::string expected =
        k::kClear + kPass +
        "\n\rFile Size: 128K\n"
        "\n\rBlockNum: 0,  MaxBlock: 2,   PageCount: 128\n" +
        k::kOpening +
        "vReadSPIDeviceID start\n\n"
        "\nvEnterFollowMode"
        "\nSPIDeviceID= ef 40 12 0"
        "\nvExitFollowMode"
        "vReadSPIDeviceID end\n\n"
        "\nBlockNum=0,MaxBlockNum=2" +
        WinbondScreen("0") + WholeBlockPhases() + WinbondScreen("1") + WholeBlockPhases();
    EXPECT_EQ(o.out, expected);
    EXPECT_EQ(o.status, 0);
    EXPECT_FLASH(o.flash, OldFlashWith(0, image));

    // The project name comes through the ACPI pair; then the keyboard goes
    // off with nothing sent to the EC before it (no 0xDD).
    std::vector<std::string> want = {"ec 80 00 @66", "ec 80 01 @66"};
    for (char digit = '0'; digit <= '9'; ++digit)
        want.push_back(std::string("ec 92 0aa") + digit);
    want.push_back("kbc ad");
    want.push_back("ec dc");
    ASSERT_GE(o.trace.size(), want.size());
    EXPECT_EQ(std::vector<std::string>(o.trace.begin(), o.trace.begin() + static_cast<long>(want.size())), want);
    EXPECT_EQ(CountLines(o.trace, "ec dd"), 0u);
    ExpectClosedOnce(o, "ec fe");
    // A whole-block update on this part has no pause at all.
    EXPECT_EQ(Stat(o.stats, "pause_us"), 0);

    // Without the project check the keyboard command is the first thing sent.
    const auto unchecked = RunKovrin({image, {"--flash", "winbond"}, {"/F"}, "128"});
    EXPECT_EQ(unchecked.status, 0);
    ASSERT_GE(unchecked.trace.size(), 2u);
    EXPECT_EQ(unchecked.trace[0], "kbc ad");
    EXPECT_EQ(unchecked.trace[1], "ec dc");
}

// The board's trace names a port only for bytes it did not take: an EC that
// stops after N bytes shows where byte N+1 went, and where the closing
// attempt went. Every one of them is on the ACPI pair.
TEST(KovrinUpdate, EveryEcExchangeUsesTheAcpiPair)
{
    const std::vector<uint8_t> image = Image(128 * 1024);
    struct Row {
        const char* hang;
        std::vector<std::string> options;
        std::string first_drop;
        bool in_flash_mode;
    } rows[] = {
        {"0", {}, "drop 80 @66", false},       // version byte read: command
        {"1", {}, "drop 00 @62", false},       // its address on the data port
        {"4", {}, "drop 92 @66", false},       // project name read
        {"5", {}, "drop 0a @62", false},
        {"34", {}, "drop dc @66", true},       // flash mode, right after the names
        {"0", {"/F"}, "drop dc @66", true},    // no 0xDD in front of it
        {"1", {"/F"}, "drop 01 @66", true},    // follow mode
        {"300000", {"/F"}, "", true},          // in the middle of programming
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("--hang ") + row.hang + (row.options.empty() ? "" : " /F"));
        const auto o = RunKovrin({image, {"--hang", row.hang}, row.options, "128"});
        EXPECT_EQ(o.status, 1);
        // Past the first erase, the advice follows the timeout.
        const bool erased = o.out.find("Eraseing") != std::string::npos;
        EXPECT_TRUE(EndsWith(o.out, k::kTimeout + (erased ? expected::kPartialImage : ""))) << o.out;
        EXPECT_EQ(CountPrefix(o.trace, "drop"), row.in_flash_mode ? 2u : 1u);
        for (const std::string& line : o.trace) {
            if (line.rfind("drop ", 0) == 0 || line.rfind("ec 80 ", 0) == 0) {
                const std::string port = line.substr(line.size() - 3);
                EXPECT_TRUE(port == "@66" || port == "@62") << line;
            }
        }
        EXPECT_EQ(CountLines(o.trace, "ec dd"), 0u);
        if (!row.first_drop.empty()) {
            EXPECT_EQ(CountLines(o.trace, row.first_drop), 1u);
        }
        if (row.in_flash_mode) {
            ASSERT_GE(o.trace.size(), 2u);
            EXPECT_EQ(o.trace[o.trace.size() - 2], "drop fe @66");
            EXPECT_EQ(o.trace.back(), "kbc ae");
        } else {
            EXPECT_EQ(CountLines(o.trace, "kbc ad"), 0u);
        }
    }
}

// Each programming routine under its kovrin label, each erase and check
// with theirs, and the sector erase marks of a boot-block update 50 us apart.
TEST(KovrinUpdate, PhaseLabelsMarksAndPauses)
{
    const std::string m16 = k::Marks(16);
    const std::string m15 = k::Marks(15);
    const std::string block_tail = k::kAtPhases + WholeBlockPhases();
    struct Row {
        const char* part;
        size_t length;
        std::vector<std::string> options;
        uint32_t lands_at;
        std::string tail;  // the phase lines of the (last) block
        long long pause_us;
    } rows[] = {
        // AAI word programming.
        {"sst", 64 * 1024, {}, 0, block_tail, 0},
        // 32-byte bursts over a whole block.
        {"mxic-pp32", 64 * 1024, {}, 0, block_tail, 0},
        // 32-byte bursts over the main-code region.
        {"mxic-pp32", 60 * 1024, {"/Mn"}, 0x1000,
         k::kAtPhases + " Base Offset : 0x001000\n\r" +
             k::kSectorErase + m15 + " -- Erase OK. \n\n" +
             k::kEraseVerify + m15 + " -- Verify OK. \n\n" +
             k::kPrograming + m15 + " -- Programing OK. \n\n" +
             k::kVerify + m15 + " -- Verify OK. \n",
         0},
        // Page programming of the boot block, a mark per page.
        {"winbond", 4096, {"/BK"}, 0,
         k::kAtPhases + " Base Offset : 0x000000\n\r" +
             k::kSectorErase + m16 + " -- Erase OK. \n\n" +
             k::kEraseVerify + m16 + " -- Verify OK. \n\n" +
             k::kPrograming + m16 + " -- Programing OK. \n\n" +
             k::kVerify + m16 + " -- Verify OK. \n",
         16 * 50},
        // AAI word programming of the boot block: one mark.
        {"sst", 4096, {"/BK"}, 0,
         k::kAtPhases + " Base Offset : 0x000000\n\r" +
             k::kSectorErase + m16 + " -- Erase OK. \n\n" +
             k::kEraseVerify + m16 + " -- Verify OK. \n\n" +
             k::kPrograming + k::kMark + " -- Programing OK. \n\n" +
             k::kVerify + m16 + " -- Verify OK. \n",
         16 * 50},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.part) + (row.options.empty() ? "" : " " + row.options[0]));
        const std::vector<uint8_t> image = Image(row.length);
        const auto o = RunKovrin({image, {"--flash", row.part}, row.options, ""});
        EXPECT_EQ(o.status, 0);
        EXPECT_TRUE(EndsWith(o.out, row.tail)) << o.out;
        EXPECT_FLASH(o.flash, OldFlashWith(row.lands_at, image, updatetest::FlashBytesOf({"--flash", row.part})));
        EXPECT_EQ(Stat(o.stats, "pause_us"), row.pause_us);
    }
}

// The Super I/O chip id is read through 0x4E/0x4F: a 0x8987 chip takes the
// upper half of a 256 KB image.
TEST(KovrinUpdate, ChipIdSelectsTheHalf)
{
    const std::vector<uint8_t> image = Image(256 * 1024);
    const std::vector<uint8_t> upper(image.begin() + 0x20000, image.end());
    const auto o = RunKovrin({image, {"--chip-id", "8987"}, {}, ""});
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("\nBlockNum=0,MaxBlockNum=4" + k::kClear), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find(" Block Number     : 2 "), std::string::npos);
    EXPECT_FLASH(o.flash, OldFlashWith(0, upper));
}

// Failures reach the shell as EFI_ABORTED, status 1.
TEST(KovrinUpdate, FailuresEndWithStatusOne)
{
    std::vector<uint8_t> image = Image(128 * 1024);
    image[0x1234] = 0xA5;
    auto o = RunKovrin({image, {"--stuck", "1234=ff"}, {}, ""});
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(EndsWith(o.out, k::kVerify + k::Marks(2) + "[1234]=a5 -- Verify Fail. \n" + expected::kPartialImage))
        << o.out;
    EXPECT_EQ(o.out.find(" Block Number     : 1 "), std::string::npos);
    ExpectClosedOnce(o, "ec fe");

    // A project that the image does not carry: refused before flash mode.
    o = RunKovrin({Image(128 * 1024), {"--project", "OTHER"}, {}, ""});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, k::kClear +
                         "\n\rThe EC bin does not match this project.\n\n"
                         "\n\rThe EC bin does not match this project.\n\n"
                         "\n\rThe EC bin does not match this project.\n\n");
    EXPECT_EQ(CountPrefix(o.trace, "kbc"), 0u);
    EXPECT_FLASH(o.flash, OldFlash());
}

}  // namespace
