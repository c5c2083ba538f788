// The geometry the update mode works out from an image's length, and the
// refusals of region sizes, bases and lengths.
#include <gtest/gtest.h>

#include "driver/image_checks.h"

namespace {

using driver::RunOptions;

RunOptions Regions(uint8_t bbk, uint8_t main, uint8_t backup, uint64_t offset = 0)
{
    RunOptions options;
    options.boot_block = bbk == 1;
    options.main_code = main == 1;
    options.backup_code = backup == 1;
    options.offset = offset;
    return options;
}

struct GeometryRow {
    uint64_t length;
    uint32_t blocks;
    uint32_t pages;
};

TEST(ImageGeometry, BlocksAndPagesRoundUp)
{
    const GeometryRow rows[] = {
        {131072, 2, 128}, {131073, 3, 129}, {1000, 1, 1}, {98304, 2, 96},
        {61440, 1, 60},   {4096, 1, 4},     {0, 0, 0},    {65537, 2, 65},
    };
    for (const GeometryRow& row : rows) {
        SCOPED_TRACE(row.length);
        const driver::Geometry geometry = driver::GeometryOf(row.length);
        EXPECT_EQ(geometry.blocks, row.blocks);
        EXPECT_EQ(geometry.pages, row.pages);
    }
}

struct RuleRow {
    const char* name;
    uint8_t bbk, main, backup;
    uint64_t length;
    const char* message;  // null: accepted
};

const char* const kBbk = "\n\nFile size with wrong parameter! BBK code need to 4K";
const char* const kMain = "\n\nFile size with wrong parameter! Main code need to 60K";
const char* const kBackup = "\n\nFile size with wrong parameter! Backup code need to 60K";

TEST(ImageChecks, RegionRulesInOrder)
{
    const RuleRow rows[] = {
        {"no region, any length", 0, 0, 0, 1000, nullptr},
        {"boot block 4K", 1, 0, 0, 4096, nullptr},
        {"boot block 4K + 1", 1, 0, 0, 4097, kBbk},
        {"main code 60K", 0, 1, 0, 61440, nullptr},
        {"main code 64K", 0, 1, 0, 65536, kMain},
        {"backup code 60K", 0, 0, 1, 61440, nullptr},
        {"backup code 4K", 0, 0, 1, 4096, kBackup},
        {"main and backup 60K", 0, 1, 1, 61440, nullptr},
        {"boot block and main 4K", 1, 1, 0, 4096, kMain},
        {"boot block and main 60K", 1, 1, 0, 61440, kBbk},
    };
    for (const RuleRow& row : rows) {
        SCOPED_TRACE(row.name);
        const char* got = driver::BrokenRegionRule(Regions(row.bbk, row.main, row.backup), row.length);
        if (row.message == nullptr)
            EXPECT_EQ(got, nullptr);
        else
            EXPECT_STREQ(got, row.message);
    }
}

struct PlacementRow {
    const char* name;
    uint64_t offset;
    uint8_t bbk, main, backup;
    uint64_t length;
    const char* message;  // null: accepted
};

const char* const kOffset = "\n\rOffset must be a multiple of 64K!";
const char* const kFit = "\n\rImage does not fit the flash address space!";
const char* const kEmpty = "\n\rImage is empty, nothing to write!";

TEST(ImageChecks, PlacementOfTheImage)
{
    const PlacementRow rows[] = {
        {"base 0", 0, 0, 0, 0, 0x20000, nullptr},
        {"base 0x20000", 0x20000, 0, 0, 0, 0x20000, nullptr},
        {"low byte ignored", 0x10080, 0, 0, 0, 0x20000, nullptr},
        {"middle byte set", 0x10800, 0, 0, 0, 0x20000, kOffset},
        {"middle byte set, region", 0x100, 1, 0, 0, 4096, kOffset},
        {"ends at 16M", 0xFE0000, 0, 0, 0, 0x20000, nullptr},
        {"one byte past 16M", 0xFE0000, 0, 0, 0, 0x20001, kFit},
        {"base at 16M", 0x1000000, 0, 0, 0, 4096, kFit},
        {"base above 16M, middle 0", 0x100000000, 0, 0, 0, 4096, kFit},
        {"255 blocks", 0, 0, 0, 0, 255 * 0x10000, nullptr},
        {"256 blocks", 0, 0, 0, 0, 256 * 0x10000, kFit},
        {"boot block in the last block", 0xFF0000, 1, 0, 0, 4096, nullptr},
        {"main code in the last block", 0xFF0000, 0, 1, 0, 61440, nullptr},
        {"backup code past the last block", 0xFF0000, 0, 0, 1, 61440, kFit},
        {"backup code in the last two", 0xFE0000, 0, 0, 1, 61440, nullptr},
        {"empty", 0, 0, 0, 0, 0, kEmpty},
    };
    for (const PlacementRow& row : rows) {
        SCOPED_TRACE(row.name);
        const char* got =
            driver::PlacementRefusal(Regions(row.bbk, row.main, row.backup, row.offset), row.length);
        if (row.message == nullptr)
            EXPECT_EQ(got, nullptr);
        else
            EXPECT_STREQ(got, row.message);
    }
}

}  // namespace
