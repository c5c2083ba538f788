// Identification on every kind of part, the vendor table and the status
// screen's id lines.
#include <gtest/gtest.h>

#include "flash/ident.h"
#include "flash_fixture.h"
#include "hostio/mailbox.h"

namespace flash_test {
namespace {

using Lines = std::vector<std::string>;

class IdentTest : public FlashTest {
protected:
    void BootInFlashMode(sim::Part part)
    {
        config.flash = part;
        config.instant_flash = true;
        Boot();
        hostio::SendEcCommand(0xDC);
        hostio::ReadEcData();
        TakeTrace();
    }
};

std::string Repeat(const std::string& text, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += text;
    return s;
}

struct IdentRow {
    sim::Part part;
    std::vector<uint8_t> id;  // all 16 bytes
    bool by_read_id;
    flash::Programming programming;
    std::string console;
    Lines spi;
};

// Where the id does not tell the size, SFDP is asked; a part without it
// answers the signature with 0xFF and nothing more is read.
TEST_F(IdentTest, JedecReadAndReadIdFallback)
{
    const std::string kNoSfdp = "spi 5a addr=000000 w=1 r=4 ignored unsupported";
    const std::string jedec_zero = "\nvEnterFollowMode\nSPIDeviceID= 0 0 0 0";
    const IdentRow rows[] = {
        {sim::Part::kWinbond,
         {0xEF, 0x40, 0x12, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         false, flash::Programming::kPages,
         "\nvEnterFollowMode\nSPIDeviceID= ef 40 12 0\nvExitFollowMode",
         {"spi 05 r=1", "spi 9f r=4"}},
        {sim::Part::kIteA,
         {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         false, flash::Programming::kAaiWords,
         "\nvEnterFollowMode\nSPIDeviceID= ff ff ff ff\nvExitFollowMode",
         {"spi 05 r=1", "spi 9f r=4", kNoSfdp}},
        {sim::Part::kSstOld,
         {0xBF, 0x49, 0xBF, 0x49, 0xBF, 0x49, 0xBF, 0x49, 0xBF, 0x49, 0xBF, 0x49, 0xBF, 0x49, 0xBF, 0x49},
         true, flash::Programming::kAaiBytes,
         jedec_zero + "\n\n" + Repeat(" bf 49", 8) + "\n\n" + "\nvExitFollowMode",
         {"spi 05 r=1", "spi 9f r=4", "spi 05 r=1", "spi ab w=3 r=16"}},
        {sim::Part::kIte,
         {0xFF, 0x01, 0xFF, 0x01, 0xFF, 0x01, 0xFF, 0x01, 0xFF, 0x01, 0xFF, 0x01, 0xFF, 0x01, 0xFF, 0x01},
         true, flash::Programming::kAaiWords,
         jedec_zero + "\n\n" + Repeat(" ff 1", 8) + "\n\n" + "\nvExitFollowMode",
         {"spi 05 r=1", "spi 9f r=4", "spi 05 r=1", "spi ab w=3 r=16", kNoSfdp}},
    };
    for (const IdentRow& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.part));
        BootInFlashMode(row.part);
        const flash::FlashPart found = flash::IdentifyFlash();
        EXPECT_EQ(std::vector<uint8_t>(found.id.bytes, found.id.bytes + 16), row.id);
        EXPECT_EQ(found.id.by_read_id, row.by_read_id);
        EXPECT_EQ(found.HowToProgram(), row.programming);
        EXPECT_EQ(TakeConsole(), row.console);
        EXPECT_EQ(Join(Spi()), Join(row.spi));
    }
}

struct VendorRow {
    uint8_t id;
    uint8_t byte15;
    const char* line;
};

TEST_F(IdentTest, VendorLineForEachId)
{
    const VendorRow rows[] = {
        {0xBF, 0, " SPI Vendor       : SST \n"},
        {0xEF, 0, " SPI Vendor       : Winbond \n"},
        {0x1F, 0, " SPI Vendor       : Atmel \n"},
        {0x20, 0, " SPI Vendor       : ST \n"},
        {0x01, 0, " SPI Vendor       : Spansion \n"},
        {0xC2, 0, " SPI Vendor       : MXIC \n"},
        {0x37, 0, " SPI Vendor       : AMIC \n"},
        {0x1C, 0, " SPI Vendor       : EON \n"},
        {0x8C, 0, " SPI Vendor       : ESMT \n"},
        {0xFF, 0x00, " SPI Vendor       : ITE A type\n"},
        {0xFF, 0x01, " SPI Vendor       : ITE \n"},
        {0xFF, 0x80, " SPI Vendor       : ITE \n"},
        {0xC8, 0, " SPI Vendor       : GigaDevice \n"},
        {0x7F, 0, " SPI Vendor       : PMCDevice \n"},
        {0x9D, 0, ""},
        {0x00, 0, ""},
        {0x02, 0, ""},
    };
    for (const VendorRow& row : rows) {
        SCOPED_TRACE(row.id);
        flash::FlashId id{{row.id}, false};
        id.bytes[15] = row.byte15;
        const flash::FlashPart shown = flash::PartFromId(id);
        TakeConsole();
        flash::ShowVendor(shown);
        EXPECT_EQ(TakeConsole(), row.line);
    }
}

TEST_F(IdentTest, DeviceIdAndBlockNumberLines)
{
    BootPart(sim::Part::kWinbond);
    flash::ShowDeviceId(part);
    EXPECT_EQ(TakeConsole(), " Device ID        : ef 40 12 0 ");
    flash::ShowBlockNumber(12);
    EXPECT_EQ(TakeConsole(), " Block Number     : 12 \n\n");
    // The Linux console has no screen: the vendor line follows on the same
    // output line as the device id.
    flash::ShowDeviceId(part);
    flash::ShowVendor(part);
    EXPECT_EQ(TakeConsole(), " Device ID        : ef 40 12 0  SPI Vendor       : Winbond \n");
    EXPECT_EQ(Spi(), Lines{});
}

}  // namespace
}  // namespace flash_test
