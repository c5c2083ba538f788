// The image checks before the update: each refusal with its exact output,
// status 1, and the EC never taken into flash mode.
#include "update_support.h"

namespace {

using updatetest::CountLines;
using updatetest::CountPrefix;
using updatetest::Image;
using updatetest::OldFlash;
using updatetest::RunUpdate;
using updatetest::Update;

const std::string kPass = "\n\rPassssssssssssssssssssssssss";

std::string SizeLines(int pages, int blocks)
{
    return "\n\rFile Size: " + std::to_string(pages) + "K\n" + "\n\rBlockNum: 0,  MaxBlock: " +
           std::to_string(blocks) + ",   PageCount: " + std::to_string(pages) + "\n";
}

struct RefusalRow {
    const char* name;
    Update update;
    std::string out;
};

TEST(UpdateChecks, RefusalsComeBeforeFlashMode)
{
    const std::vector<uint8_t> k128 = Image(128 * 1024);
    const std::vector<uint8_t> no_name = updatetest::Pattern(4096, 5);
    const RefusalRow rows[] = {
        {"size argument differs", {k128, {}, {}, "64"},
         kPass + "\n\rFile Size: 128K\n\n\rParamter NOT Match with File Size, Please try again!\n\n"},
        {"one byte past 128K", {Image(128 * 1024 + 1), {}, {}, "128"},
         kPass + "\n\rFile Size: 129K\n\n\rParamter NOT Match with File Size, Please try again!\n\n"},
        {"boot block not 4K", {Image(8192), {}, {"/BK"}, ""},
         kPass + SizeLines(8, 1) + "\n\nFile size with wrong parameter! BBK code need to 4K"},
        {"boot block one byte long", {Image(4097), {}, {"/BK"}, ""},
         kPass + SizeLines(5, 1) + "\n\nFile size with wrong parameter! BBK code need to 4K"},
        {"main code not 60K", {Image(4096), {}, {"/Mn"}, ""},
         kPass + SizeLines(4, 1) + "\n\nFile size with wrong parameter! Main code need to 60K"},
        {"backup code not 60K", {Image(65536), {}, {"/Bp"}, ""},
         kPass + SizeLines(64, 1) + "\n\nFile size with wrong parameter! Backup code need to 60K"},
        {"boot block and main code", {Image(4096), {}, {"/BK", "/Mn"}, ""},
         kPass + SizeLines(4, 1) + "\n\nFile size with wrong parameter! Main code need to 60K"},
        {"base inside a block", {k128, {}, {"/O", "10800"}, ""},
         kPass + SizeLines(128, 2) + "\n\rOffset must be a multiple of 64K!\n"},
        {"base past 16M", {k128, {}, {"/O", "1000000"}, ""},
         kPass + SizeLines(128, 2) + "\n\rImage does not fit the flash address space!\n"},
        {"image past 16M", {k128, {}, {"/O", "FF0000"}, ""},
         kPass + SizeLines(128, 2) + "\n\rImage does not fit the flash address space!\n"},
        {"region past 16M", {Image(61440), {}, {"/Bp", "/O", "FF0000"}, ""},
         kPass + SizeLines(60, 1) + "\n\rImage does not fit the flash address space!\n"},
        {"empty image", {{}, {}, {"/F"}, "0"},
         SizeLines(0, 0) + "\n\rImage is empty, nothing to write!\n"},
        {"name not in the image", {no_name, {}, {}, ""},
         "\n\rThe EC bin does not match this project.\n\n"
         "\n\rThe EC bin does not match this project.\n\n"
         "\n\rThe EC bin does not match this project.\n\n"},
    };
    for (const RefusalRow& row : rows) {
        SCOPED_TRACE(row.name);
        const auto o = RunUpdate(row.update);
        EXPECT_EQ(o.out, row.out);
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(CountLines(o.trace, "ec dc"), 0u);
        EXPECT_EQ(CountLines(o.trace, "ec dd"), 0u);
        EXPECT_EQ(CountPrefix(o.trace, "kbc"), 0u);
        EXPECT_FLASH(o.flash, OldFlash());
    }
}

TEST(UpdateChecks, MoreThan255BlocksDoNotFit)
{
    const auto o = RunUpdate(Update{updatetest::Pattern(16 * 1024 * 1024, 3), {}, {"/F"}, ""});
    EXPECT_EQ(o.out, SizeLines(16384, 256) + "\n\rImage does not fit the flash address space!\n");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(CountLines(o.trace, "ec dc"), 0u);
}

TEST(UpdateChecks, MissingImage)
{
    const auto r = testsupport::Run(testsupport::BinPath("kovrinux-sim"), {"--", "no/such/ec.bin", "128"});
    EXPECT_EQ(r.out, "\n\rFile Open Fail!");
    EXPECT_EQ(r.status, 1);
}

// The project name may stand anywhere, even right after a false start;
// a name of the full ten bytes is matched in full by both programs.
TEST(UpdateChecks, ProjectNameAnywhereInTheImage)
{
    struct Row {
        const char* project;
        std::string text;  // put at 0x100 of the image
        bool found;
        const char* program = "kovrinux-sim";
    } rows[] = {
        {"ABC", "xxABCxx", true},
        {"ABC", "AABC", true},
        {"ABAC", "ABABAC", true},
        {"ABC", "ABxC", false},
        {"", "", true},  // an empty name passes any image
        {"ABCDEFGHIJ", "xABCDEFGHIJx", true},
        {"ABCDEFGHIJ", "xABCDEFGHIx", false},
        {"ABCDEFGHIJ", "xABCDEFGHIJx", true, "kovrin-sim"},
        {"ABCDEFGHIJ", "xABCDEFGHIx", false, "kovrin-sim"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.program) + ": " + row.project + " in " + row.text);
        std::vector<uint8_t> image(4096, 0);
        std::copy(row.text.begin(), row.text.end(), image.begin() + 0x100);
        Update update{image, {"--project", row.project}, {"/BK"}, ""};
        update.program = row.program;
        const auto o = RunUpdate(update);
        EXPECT_EQ(o.status, row.found ? 0 : 1);
        // kovrin clears the screen first.
        const size_t at = o.out.find(row.found ? kPass : "\n\rThe EC bin");
        EXPECT_LE(at, 7u) << o.out.substr(0, 80);
    }
}

// "/F" after the file name: no EC access before the update starts.
TEST(UpdateChecks, NoProjectCheckWithF)
{
    const auto o = RunUpdate(Update{updatetest::Pattern(4096, 5), {}, {"/BK", "/F"}, ""});
    EXPECT_EQ(o.status, 0);
    ASSERT_FALSE(o.trace.empty());
    EXPECT_EQ(o.trace.front(), "ec dd");
}

}  // namespace
