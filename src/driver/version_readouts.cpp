#include "version_readouts.h"

#include "common/flavour.h"
#include "common/image_state.h"
#include "common/print.h"
#include "common/runstate.h"
#include "common/text.h"
#include "hostio/ec_map.h"
#include "hostio/mailbox.h"
#include "hostio/sio.h"
#include "platform/platform.h"

namespace {

constexpr uint8_t kBramDevice = 0x10;
constexpr uint8_t kRegBaseHigh = 0x60;
constexpr uint8_t kRegBaseLow = 0x61;
constexpr uint8_t kBramIndexHigh = 0x10;
constexpr uint8_t kBramIndexLow = 0x11;

constexpr uint32_t kImageVersionHigh = 0xFFF8;
constexpr uint32_t kImageVersionLow = 0xFFF9;


constexpr uint8_t kLightRed = 0x0C;
constexpr uint8_t kLightGreen = 0x0A;

constexpr size_t kTextSize = 25;

// Both sides of a comparison are written alike, so equal bytes give equal
// text and the byte-wise order decides.
constexpr const char* kVersionText = "%02d%c";

struct Verdict {
    const char* newer;
    const char* not_newer;
};

constexpr Verdict kAgainstInput = {
    " \n\r=> Input version is newer then current FW!!",
    " \n\r=> Input version is NOT newer then current FW!!",
};
constexpr Verdict kAgainstFile = {
    " \n\r=> The Update File is newer then current FW!!",
    " \n\r=> The Update File Version Error!!",
};

// The other side is newer only when the EC's text sorts strictly before it.
int Judge(const char* ec_text, const char* other, const Verdict& verdict)
{
    const bool newer = StrCmp(ec_text, other) < 0;
    if (kFlavour.verdict_colours)
        platform::ConsoleAttribute(newer ? kLightGreen : kLightRed);
    kputs(newer ? verdict.newer : verdict.not_newer);
    return newer ? 0 : 1;
}

}  // namespace

int BramReadout(const VersionFile& file)
{
    change_ldn(kBramDevice);
    const uint8_t base_high = LPC_Read_Byte(kRegBaseHigh);
    const uint8_t base_low = LPC_Read_Byte(kRegBaseLow);
    const uint16_t base = static_cast<uint16_t>((base_high << 8) | base_low);
    // Only the low byte reaches the 256-port window.
    const uint8_t index_port = static_cast<uint8_t>(base);
    const uint8_t data_port = static_cast<uint8_t>(index_port + 1);

    IoWrite8(index_port, kBramIndexHigh);
    const uint8_t fw_h = IoRead8(data_port);
    IoWrite8(index_port, kBramIndexLow);
    const uint8_t fw_l = IoRead8(data_port);
    exit_sio();

    kprint(kFlavour.fw_regs_line, fw_h, fw_l);
    char str[kTextSize];
    ksprintf(str, sizeof str, kVersionText, fw_h, fw_l);
    kprint(kFlavour.sio_version_line, str);

    if (FileVer_flag) {
        if (!file.loaded || file.length <= kImageVersionLow) {
            kline("\n\rBIN file too small for a version!");
            return 1;
        }
        char str1[kTextSize];
        ksprintf(str1, sizeof str1, kVersionText, gUSBReadBuffer[kImageVersionHigh],
                 gUSBReadBuffer[kImageVersionLow]);
        kprint("\n\rBIN FW version :%s ", str1);
        return Judge(str, str1, kAgainstFile);
    }
    if (FW_CP == nullptr)
        return 0;
    return Judge(str, FW_CP, kAgainstInput);
}

int VarnelReadout()
{
    uint8_t b[kEcVarnelLength];
    for (size_t i = 0; i < kEcVarnelLength; ++i)
        b[i] = PMC2_RD_EC(static_cast<uint8_t>(kEcVarnelVersion + i), kAcpiEcCommandPort, kAcpiEcDataPort);

    char str[kTextSize];
    ksprintf(str, sizeof str, "%c%c%c%c%c%c%c%c", b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
    kprint("\n\rSIO FW version : %s", str);
    kputs("\n\r\n\r");

    if (FW_CP == nullptr)
        return 0;
    return StrCmp(str, FW_CP) == 0 ? 0 : 1;
}

int PlainReadout()
{
    const uint8_t fw_h = PMC2_RD_EC(kEcVersionHigh, kFlavour.ec_cmd_port, kFlavour.ec_data_port);
    const uint8_t fw_l = PMC2_RD_EC(kEcVersionLow, kFlavour.ec_cmd_port, kFlavour.ec_data_port);
    uint8_t p[kEcProjectNameMax];
    for (size_t i = 0; i < kEcProjectNameMax; ++i)
        p[i] = ReadEcExternalRam(static_cast<uint16_t>(kEcProjectName + i));

    kprint("\n\rThe current EC version is: %02d.%02d\n", fw_h, fw_l);
    kprint("\n\rThe current project is: %c%c%c%c%c%c%c%c%c%c\n", p[0], p[1], p[2], p[3], p[4], p[5],
           p[6], p[7], p[8], p[9]);
    return 0;
}
