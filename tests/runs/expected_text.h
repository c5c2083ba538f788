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

}  // namespace expected
