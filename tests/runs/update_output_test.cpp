// The whole console output of an update, byte for byte, written out by hand.
#include "update_support.h"

namespace {

using updatetest::Image;
using updatetest::OldFlashWith;
using updatetest::RunUpdate;
using updatetest::Update;

const std::string kMarks16 = "################";

const std::string kOpening =
    "Send EC Cmd 0xDD \n\n"
    "Send KB Cmd 0xAD \n\n"
    "Send EC Cmd 0xDC \n\n"
    "Read EC Data \n\n"
    "EC ACK OK. \n\n"
    "vReadSPIDeviceID start\n\n";

const std::string kBanner = " Zelkora EC flash OS tool version : 1.0\n";

std::string WinbondBlock(const std::string& number)
{
    return kBanner +
           " Device ID        : ef 40 12 0 "
           " SPI Vendor       : Winbond \n"
           " Block Number     : " + number + " \n\n"
           " Eraseing...      : " + kMarks16 + " -- Erase OK. \n\n"
           " Erase Verify...  : " + kMarks16 + " -- Verify OK. \n\n"
           " Programing...    : " + kMarks16 + " -- Programing OK. \n\n"
           " Verify...        : " + kMarks16 + " -- Verify OK. \n";
}

TEST(UpdateOutput, WholeUpdateOnWinbond)
{
    const std::vector<uint8_t> image = Image(128 * 1024);
    const auto o = RunUpdate(Update{image, {"--flash", "winbond"}, {}, "128"});
    const std::string expected =
        "\n\rPassssssssssssssssssssssssss"
        "\n\rFile Size: 128K\n"
        "\n\rBlockNum: 0,  MaxBlock: 2,   PageCount: 128\n" +
        kOpening +
        "\nvEnterFollowMode"
        "\nSPIDeviceID= ef 40 12 0"
        "\nvExitFollowMode"
        "vReadSPIDeviceID end\n\n"
        "\nBlockNum=0,MaxBlockNum=2" +
        WinbondBlock("0") + WinbondBlock("1");
    EXPECT_EQ(o.out, expected);
    EXPECT_EQ(o.status, 0);
    EXPECT_FLASH(o.flash, OldFlashWith(0, image));
}

// The legacy id read, AAI byte programming and the boot-block marks.
TEST(UpdateOutput, BootBlockOnOldSst)
{
    const std::vector<uint8_t> image = Image(4096);
    const auto o = RunUpdate(Update{image, {"--flash", "sst-old"}, {"/BK"}, "4"});
    const std::string expected =
        "\n\rPassssssssssssssssssssssssss"
        "\n\rFile Size: 4K\n"
        "\n\rBlockNum: 0,  MaxBlock: 1,   PageCount: 4\n" +
        kOpening +
        "\nvEnterFollowMode"
        "\nSPIDeviceID= 0 0 0 0"
        "\n\n"
        " bf 49 bf 49 bf 49 bf 49 bf 49 bf 49 bf 49 bf 49"
        "\n\n"
        "\nvExitFollowMode"
        "vReadSPIDeviceID end\n\n"
        "\nBlockNum=0,MaxBlockNum=1" +
        kBanner +
        " Device ID        : bf 49 bf 49 "
        " SPI Vendor       : SST \n"
        " Block Number     : 0 \n\n"
        " Base Offset : 0x000000\n\r"
        " Eraseing...      : " + kMarks16 + " -- Erase OK. \n\n"
        " Erase Verify...  : " + kMarks16 + " -- Verify OK. \n\n"
        "  Programing...    : # -- Programing OK. \n\n"
        " Verify...        : " + kMarks16 + " -- Verify OK. \n";
    EXPECT_EQ(o.out, expected);
    EXPECT_EQ(o.status, 0);
    EXPECT_FLASH(o.flash, OldFlashWith(0, image, 128 * 1024));  // SST25VF010A
}

}  // namespace
