#include "version_readouts.h"

#include "common/print.h"
#include "common/run_record.h"
#include "common/program.h"
#include "common/text.h"
#include "hostio/ec_memory.h"
#include "hostio/mailbox.h"
#include "hostio/sio.h"
#include "platform/platform.h"

namespace driver {

namespace {

constexpr uint8_t kBramDevice = 0x10;
constexpr uint8_t kRegBaseHigh = 0x60;
constexpr uint8_t kRegBaseLow = 0x61;
constexpr uint8_t kBramIndexHigh = 0x10;
constexpr uint8_t kBramIndexLow = 0x11;

constexpr uint32_t kImageVersionHigh = 0xFFF8;
constexpr uint32_t kImageVersionLow = 0xFFF9;

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
    if (kProgram.verdict_colours)
        platform::ConsoleColour(newer ? platform::Colour::kLightGreen : platform::Colour::kLightRed);
    PrintText(newer ? verdict.newer : verdict.not_newer);
    if (!newer)
        runrecord::Fail(runrecord::Result::kNotNewer);
    return newer ? 0 : 1;
}

}  // namespace

int BramReadout(const RunOptions& options, const ImageFile* version_file)
{
    hostio::SelectLogicalDevice(kBramDevice);
    // The base is (0x60 << 8) | 0x61; only its low byte reaches the
    // 256-port window.
    hostio::ReadSioRegister(kRegBaseHigh);
    const uint8_t index_port = hostio::ReadSioRegister(kRegBaseLow);
    const uint8_t data_port = static_cast<uint8_t>(index_port + 1);

    platform::IoWrite8(index_port, kBramIndexHigh);
    const uint8_t fw_h = platform::IoRead8(data_port);
    platform::IoWrite8(index_port, kBramIndexLow);
    const uint8_t fw_l = platform::IoRead8(data_port);
    hostio::ExitSio();

    Print(kProgram.fw_regs_line, fw_h, fw_l);
    char str[kTextSize];
    FormatText(str, sizeof str, kVersionText, fw_h, fw_l);
    runrecord::NoteEcVersion(str);
    Print(kProgram.sio_version_line, str);

    if (version_file != nullptr) {
        if (version_file->length() <= kImageVersionLow) {
            PrintLine("\n\rBIN file too small for a version!");
            runrecord::Fail(runrecord::Result::kFileError);
            return 1;
        }
        const uint8_t* bytes = version_file->bytes();
        char str1[kTextSize];
        FormatText(str1, sizeof str1, kVersionText, bytes[kImageVersionHigh], bytes[kImageVersionLow]);
        Print("\n\rBIN FW version :%s ", str1);
        return Judge(str, str1, kAgainstFile);
    }
    if (options.expected_version == nullptr)
        return 0;
    return Judge(str, options.expected_version, kAgainstInput);
}

int VarnelReadout(const RunOptions& options)
{
    uint8_t b[hostio::kEcVarnelLength];
    for (size_t i = 0; i < hostio::kEcVarnelLength; ++i)
        b[i] = hostio::ReadEcRam(static_cast<uint8_t>(hostio::kEcVarnelVersion + i), hostio::kAcpiEc);

    char str[kTextSize];
    FormatText(str, sizeof str, "%c%c%c%c%c%c%c%c", b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7]);
    runrecord::NoteEcVersion(str);
    Print("\n\rSIO FW version : %s", str);
    PrintText("\n\r\n\r");

    if (options.expected_version == nullptr || StrCmp(str, options.expected_version) == 0)
        return 0;
    runrecord::Fail(runrecord::Result::kNotEqual);
    return 1;
}

int PlainReadout()
{
    const hostio::EcVersion version = hostio::ReadEcVersion();
    uint8_t p[hostio::kEcProjectNameLength];
    hostio::ReadProjectName(p);

    Print("\n\rThe current EC version is: %02d.%02d\n", version.high, version.low);
    Print("\n\rThe current project is: %c%c%c%c%c%c%c%c%c%c\n", p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7],
          p[8], p[9]);
    return 0;
}

}  // namespace driver
