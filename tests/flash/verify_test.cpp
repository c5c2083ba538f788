// The verify against the image: where it reads, where it stops, its marks
// and what it prints at the first difference.
#include <gtest/gtest.h>

#include "flash/verify.h"
#include "flash_fixture.h"

namespace flash_test {
namespace {

using Lines = std::vector<std::string>;

class VerifyTest : public FlashTest {
protected:
    // Boots with the image already in the flash from flash_at on.
    void BootWithImage(size_t image_size, uint32_t flash_at, size_t image_from = 0)
    {
        SetImage(image_size);
        std::vector<uint8_t> before(0x40000, 0xFF);
        std::copy(image.begin() + static_cast<long>(image_from), image.end(), before.begin() + flash_at);
        BootPart(sim::Part::kWinbond, true, before);
        SetImage(image_size);
    }
};

TEST_F(VerifyTest, ReadsToTheBlockOrImageEnd)
{
    struct Row {
        size_t image;
        uint8_t block;
        uint8_t bbk;
        const char* read;
        size_t marks;
    } const rows[] = {
        {0x20000, 0, 0, "spi 0b addr=000000 w=1 r=65536", 16},
        {0x20000, 1, 0, "spi 0b addr=010000 w=1 r=65536", 16},
        {0x18000, 1, 0, "spi 0b addr=010000 w=1 r=32768", 8},
        {0x1000, 0, 1, "spi 0b addr=000000 w=1 r=4096", 16},
        {1000, 0, 0, "spi 0b addr=000000 w=1 r=1000", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.read);
        BootWithImage(row.image, 0);
        EXPECT_TRUE(flash::VerifyBlock(uint32_t{row.block} << 16, Block(row.block),
                                       row.bbk ? flash::Marks::kPer256 : flash::Marks::kPer4K));
        EXPECT_EQ(Join(Spi()), Join({"spi 05 r=1", "spi 04", "spi 05 r=1", "spi 05 r=1", row.read, "spi 05 r=1"}));
        EXPECT_EQ(TakeConsole(), " Verify...        : " + Marks(row.marks) + " -- Verify OK. \n");
    }
}

// A region lies elsewhere in the flash than in the image.
TEST_F(VerifyTest, RegionAtItsBase)
{
    BootWithImage(0xF000, 0x11000);
    EXPECT_TRUE(flash::VerifyBlock(0x11000, Block(), flash::Marks::kPer4K));
    EXPECT_EQ(CountPrefix(Spi(), "spi 0b addr=011000 w=1 r=61440"), 1u);
    EXPECT_EQ(TakeConsole(), " Verify...        : " + Marks(15) + " -- Verify OK. \n");
}

// Block position 0x10 of flash block 1 reads wrong where the image holds
// 0xA5: the image offset and the image's byte are printed, not the flash's.
TEST_F(VerifyTest, StuckByteFailsWithOffsetAndExpectedByte)
{
    config.stuck[0] = {0x10010, 0x5A};
    config.stuck_count = 1;
    BootWithImage(0x20000, 0);
    std::vector<uint8_t> buffer = image;
    buffer[0x10010] = 0xA5;
    const flash::BlockImage block1{buffer.data() + 0x10000, 0x10000, 0x10000};
    EXPECT_FALSE(flash::VerifyBlock(0x10000, block1, flash::Marks::kPer4K));
    EXPECT_EQ(TakeConsole(), " Verify...        : #[10010]=a5 -- Verify Fail. \n");
    const Lines spi = Spi();
    ASSERT_GE(spi.size(), 2u);
    EXPECT_EQ(spi[spi.size() - 2], "spi 0b addr=010000 w=1 r=17");
    EXPECT_EQ(spi.back(), "spi 05 r=1");
}

// Under the chip rule the stop follows the flash block and the bytes come
// from the image block.
TEST_F(VerifyTest, ImageBlockFeedsTheComparison)
{
    BootWithImage(0x40000, 0, 0x20000);
    EXPECT_TRUE(flash::VerifyBlock(0, Block(0, 2), flash::Marks::kPer4K));
    EXPECT_TRUE(flash::VerifyBlock(0x10000, Block(1, 3), flash::Marks::kPer4K));
    const Lines spi = Spi();
    EXPECT_EQ(CountPrefix(spi, "spi 0b addr=000000 w=1 r=65536"), 1u) << Join(spi);
    EXPECT_EQ(CountPrefix(spi, "spi 0b addr=010000 w=1 r=65536"), 1u) << Join(spi);
    // Compared with the lower half instead, it differs at once.
    EXPECT_FALSE(flash::VerifyBlock(0, Block(0, 0), flash::Marks::kPer4K));
}

}  // namespace
}  // namespace flash_test
