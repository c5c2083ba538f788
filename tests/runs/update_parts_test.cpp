// Every flash part of the virtual board takes a whole update and region
// updates, over old content that a skipped erase would leave behind, on the
// default board and on one whose mailboxes take their time.
#include "update_support.h"

namespace {

using updatetest::ExpectClosedOnce;
using updatetest::FlashBytesOf;
using updatetest::Image;
using updatetest::OldFlash;
using updatetest::OldFlashWith;
using updatetest::RunUpdate;
using updatetest::Update;

struct PartRow {
    const char* part;
    const char* vendor_line;   // as the status screen shows it, "" for none
    const char* program_line;  // a trace line only the right routine makes
};

const PartRow kParts[] = {
    {"sst", " SPI Vendor       : SST \n", "spi ad addr=000000 w=2"},
    {"sst-old", " SPI Vendor       : SST \n", "spi af addr=000000 w=1"},
    {"winbond", " SPI Vendor       : Winbond \n", "spi 02 addr=000100 w=256"},
    {"mxic", " SPI Vendor       : MXIC \n", "spi 02 addr=000100 w=256"},
    {"mxic-pp32", " SPI Vendor       : MXIC \n", "spi 02 addr=000020 w=32"},
    {"st", " SPI Vendor       : ST \n", "spi 02 addr=000100 w=256"},
    {"ite-a", " SPI Vendor       : ITE A type\n", "spi ad addr=000000 w=2"},
    {"ite", " SPI Vendor       : ITE \n", "spi ad addr=000000 w=2"},
    {"atmel", " SPI Vendor       : Atmel \n", "spi 02 addr=000100 w=256"},
    {"spansion", " SPI Vendor       : Spansion \n", "spi 02 addr=000100 w=256"},
    {"amic", " SPI Vendor       : AMIC \n", "spi 02 addr=000100 w=256"},
    {"eon", " SPI Vendor       : EON \n", "spi 02 addr=000100 w=256"},
    {"esmt", " SPI Vendor       : ESMT \n", "spi 02 addr=000100 w=256"},
    {"gigadevice", " SPI Vendor       : GigaDevice \n", "spi 02 addr=000100 w=256"},
    {"pmc", " SPI Vendor       : PMCDevice \n", "spi 02 addr=000100 w=256"},
    {"unknown", "", "spi 02 addr=000100 w=256"},
};

// Each EC byte and reply waits 0 to 3 status reads, each keyboard-controller
// byte 0 to 2: a tool that writes before the device took its last byte, or
// reads before the reply is there, loses bytes.
const std::vector<std::string> kSlowMailboxes = {"--ec-latency", "3", "--kbc-latency", "2", "--jitter", "13"};

class UpdateParts : public ::testing::TestWithParam<std::vector<std::string>> {
protected:
    std::vector<std::string> Board(const char* part) const
    {
        std::vector<std::string> board = GetParam();
        board.insert(board.end(), {"--flash", part});
        return board;
    }
};

// Two blocks, or the whole of a smaller part.
TEST_P(UpdateParts, WholeUpdateOnEveryPart)
{
    for (const PartRow& row : kParts) {
        SCOPED_TRACE(row.part);
        const size_t size = FlashBytesOf(Board(row.part));
        const std::vector<uint8_t> image = Image(std::min<size_t>(128 * 1024, size));
        const auto o = RunUpdate(Update{image, Board(row.part), {}, ""});
        EXPECT_EQ(o.status, 0) << o.out.substr(o.out.size() > 400 ? o.out.size() - 400 : 0);
        EXPECT_FLASH(o.flash, OldFlashWith(0, image, size));
        EXPECT_GE(updatetest::CountLines(o.trace, row.program_line), 1u);
        if (*row.vendor_line != '\0') {
            EXPECT_NE(o.out.find(row.vendor_line), std::string::npos);
        }
        ExpectClosedOnce(o, "ec fe");
    }
}

struct RegionRow {
    const char* option;
    size_t length;
    uint32_t offset;  // from the base
};

const RegionRow kRegions[] = {
    {"/BK", 4096, 0x00000},
    {"/Mn", 61440, 0x01000},
    {"/Bp", 61440, 0x11000},
};

// At a base 128 KB below the flash's end the backup-code region ends
// exactly there; a 64 KB part holds the regions that fit it.
TEST_P(UpdateParts, RegionUpdatesOnEveryPartThatErases4K)
{
    for (const PartRow& part : kParts) {
        if (std::string(part.part) == "st")
            continue;  // refused: see the failure tests
        const size_t size = FlashBytesOf(Board(part.part));
        const uint32_t base = size >= 0x20000 ? static_cast<uint32_t>(size - 0x20000) : 0;
        char base_text[16];
        snprintf(base_text, sizeof base_text, "%x", base);
        for (const RegionRow& region : kRegions) {
            if (base + region.offset + region.length > size)
                continue;
            SCOPED_TRACE(std::string(part.part) + " " + region.option);
            const std::vector<uint8_t> image = Image(region.length, region.offset + 7);
            const auto o = RunUpdate(Update{image, Board(part.part), {region.option, "/O", base_text}, ""});
            EXPECT_EQ(o.status, 0);
            EXPECT_FLASH(o.flash, OldFlashWith(base + region.offset, image, size));
            ExpectClosedOnce(o, "ec fe");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Boards, UpdateParts, ::testing::Values(std::vector<std::string>{}, kSlowMailboxes),
                         [](const auto& info) { return info.param.empty() ? "Default" : "SlowMailboxes"; });

TEST(UpdateRegions, BaseOffsetLine)
{
    for (const RegionRow& region : kRegions) {
        SCOPED_TRACE(region.option);
        const std::vector<uint8_t> image = Image(region.length);
        const auto o = RunUpdate(Update{image, {}, {region.option}, ""});
        EXPECT_EQ(o.status, 0);
        EXPECT_FLASH(o.flash, OldFlashWith(region.offset, image));
        char line[64];
        snprintf(line, sizeof line, " Base Offset : 0x%06x\n\r", region.offset);
        EXPECT_NE(o.out.find(line), std::string::npos);
    }
    // A whole-block update has no such line.
    const auto o = RunUpdate(Update{Image(64 * 1024), {}, {}, ""});
    EXPECT_EQ(o.out.find("Base Offset"), std::string::npos);
}

}  // namespace
