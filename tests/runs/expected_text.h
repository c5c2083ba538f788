// Texts the programs must print, written out by hand.
#pragma once

#include <string>

namespace expected {

inline const std::string kBanner = " Zelkora EC flash OS tool version : 1.0\n";

inline std::string Usage(const std::string& banner = kBanner, const std::string& name = "kovrinux")
{
    return banner +
           "\n\r Usage : "
           "\n\r        " + name + " <ec filename> [filesize][/V][/F]"
           "\n\r        "
           "\n\r Example :"
           "\n\r        " + name + " ec.bin 128"
           "\n\r                Flash ec.bin filesize 128K"
           "\n\r        " + name + " ec.bin 128 /F"
           "\n\r                Flash ec.bin filesize 128K and check the project name"
           "\n\r        " + name + " /V"
           "\n\r                Show the EC version and project name\n";
}

inline const std::string kWrongParameter = "\n\nWrong Parameter! Please try again!\n\n";
inline const std::string kSizeLost = "\n\rFile Size Paramter Lost, Please try again!\n\n";
inline const std::string kFileOpenFail = "\n\rFile Open Fail!";
// An update that fails once its first erase has begun says this last.
inline const std::string kPartialImage =
    "\n\rThe flash may hold a partial image; run the update again before resetting the board.\n";

// kovrin (the UEFI program) as kovrin-sim draws its console on a terminal:
// a cleared screen is "\x1b[2J\x1b[H", a cursor at column x, row y (both
// from 0) is "\x1b[<y+1>;<x+1>H", and the progress mark is U+2588 in UTF-8.
namespace kovrin {

inline const std::string kClear = "\x1b[2J\x1b[H";
inline const std::string kBanner = "Zelkora EC flash tool version : 0.0.2\n";
// The status screen's fixed places, all in column 1.
inline const std::string kAtBanner = "\x1b[2;2H";       // row 1
inline const std::string kAtDeviceId = "\x1b[4;2H";     // row 3
inline const std::string kAtVendor = "\x1b[5;2H";       // row 4
inline const std::string kAtBlockNumber = "\x1b[6;2H";  // row 5
inline const std::string kAtPhases = "\x1b[11;2H";      // row 10

inline const std::string kMark = "\xE2\x96\x88";

inline std::string Marks(int count)
{
    std::string marks;
    for (int i = 0; i < count; ++i)
        marks += kMark;
    return marks;
}

// The screen cleared at start, then the usage with the banner at row 1.
inline std::string Usage()
{
    return kClear + kAtBanner + expected::Usage(kBanner, "kovrin");
}

// Keyboard off and flash mode on: no EC command 0xDD before it.
inline const std::string kOpening =
    "Send KB Cmd 0xAD \n\n"
    "Send EC Cmd 0xDC \n\n"
    "Read EC Data \n\n"
    "EC ACK OK. \n\n";

// Phase labels: two leading blanks where kovrinux has one, except the
// 64 KB block erase's.
inline const std::string kSectorErase = "  Eraseing...      : ";
inline const std::string kBlockErase = " Eraseing...      : ";
inline const std::string kEraseVerify = "  Erase Verify...  : ";
inline const std::string kVerify = "  Verify...        : ";
inline const std::string kPrograming = "  Programing...    : ";

inline const std::string kTimeout = "\n\rTimeout: EC input buffer on port 0x66\n";

}  // namespace kovrin

}  // namespace expected
