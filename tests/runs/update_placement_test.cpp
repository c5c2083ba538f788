// Where an update lands: the base offset, an image that ends inside a
// block, the two chips that take half a 256 KB image, and the closing
// command.
#include "update_support.h"

namespace {

using updatetest::CountLines;
using updatetest::CountPrefix;
using updatetest::ExpectClosedOnce;
using updatetest::Image;
using updatetest::OldFlash;
using updatetest::OldFlashWith;
using updatetest::RunUpdate;
using updatetest::Update;

TEST(UpdatePlacement, BaseOffsets)
{
    const std::vector<uint8_t> image = Image(128 * 1024);
    struct Row {
        const char* offset;
        uint32_t lands_at;
    } rows[] = {{"20000", 0x20000}, {"10080", 0x10000}};  // the low byte is ignored
    for (const Row& row : rows) {
        SCOPED_TRACE(row.offset);
        const auto o = RunUpdate(Update{image, {}, {"/O", row.offset}, ""});
        EXPECT_EQ(o.status, 0);
        EXPECT_FLASH(o.flash, OldFlashWith(row.lands_at, image));
    }
}

// A 96 KB image (48 KB on the 64 KB part): the last block is erased,
// written and checked only as far as the image goes.
TEST(UpdatePlacement, ImageEndingInsideABlockLeavesTheRestAlone)
{
    for (const char* part : {"winbond", "sst", "ite", "mxic-pp32"}) {
        SCOPED_TRACE(part);
        const size_t size = updatetest::FlashBytesOf({"--flash", part});
        const std::vector<uint8_t> image = Image(size < 0x20000 ? 48 * 1024 : 96 * 1024);
        const auto o = RunUpdate(Update{image, {"--flash", part}, {}, ""});
        EXPECT_EQ(o.status, 0);
        EXPECT_FLASH(o.flash, OldFlashWith(0, image, size));
    }
}

struct ChipRow {
    const char* chip;
    size_t image_offset;  // where the 128 KB written come from
};

TEST(UpdatePlacement, ChipsThatTakeHalfOfA256KImage)
{
    const std::vector<uint8_t> image = Image(256 * 1024);
    const ChipRow rows[] = {{"8987", 0x20000}, {"8928", 0}};
    for (const ChipRow& row : rows) {
        SCOPED_TRACE(row.chip);
        const auto o = RunUpdate(Update{image, {"--chip-id", row.chip}, {}, ""});
        EXPECT_EQ(o.status, 0);
        const std::vector<uint8_t> half(image.begin() + static_cast<long>(row.image_offset),
                                        image.begin() + static_cast<long>(row.image_offset) + 0x20000);
        EXPECT_FLASH(o.flash, OldFlashWith(0, half));
        // The block count is shown before it is halved.
        EXPECT_NE(o.out.find("\nBlockNum=0,MaxBlockNum=4"), std::string::npos);
        EXPECT_NE(o.out.find(" Block Number     : 1 \n\n"), std::string::npos);
        EXPECT_EQ(o.out.find(" Block Number     : 2 \n\n"), std::string::npos);
    }
    // Any other chip takes the whole image.
    const auto o = RunUpdate(Update{image, {"--chip-id", "8988"}, {}, ""});
    EXPECT_EQ(o.status, 0);
    EXPECT_FLASH(o.flash, image);
}

TEST(UpdatePlacement, HalvingChipRefusesAnImageShortOf256K)
{
    // 256 pages, one byte short: there is no whole upper half to read.
    std::vector<uint8_t> image = Image(256 * 1024 - 1);
    for (const char* chip : {"8987", "8928"}) {
        SCOPED_TRACE(chip);
        const auto o = RunUpdate(Update{image, {"--chip-id", chip}, {}, ""});
        EXPECT_EQ(o.status, 1);
        EXPECT_FLASH(o.flash, OldFlash());
        EXPECT_NE(o.out.find("\nBlockNum=0,MaxBlockNum=4\n\rImage for this chip must be 256K!\n"),
                  std::string::npos);
        EXPECT_EQ(CountPrefix(o.trace, "spi 20"), 0u);
        ExpectClosedOnce(o, "ec fe");
    }
}

TEST(UpdatePlacement, ResetOptionChoosesTheClosingCommand)
{
    const std::vector<uint8_t> image = Image(64 * 1024);
    auto o = RunUpdate(Update{image, {}, {"/j"}, ""});
    EXPECT_EQ(o.status, 0);
    ExpectClosedOnce(o, "ec fc");
    o = RunUpdate(Update{image, {}, {}, ""});
    EXPECT_EQ(o.status, 0);
    ExpectClosedOnce(o, "ec fe");
    EXPECT_EQ(CountLines(o.trace, "ec dd"), 1u);
}

}  // namespace
