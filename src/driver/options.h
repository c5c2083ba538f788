// What the command line asks for: one value, filled by the argument scan
// and passed down to the mode that runs.
#pragma once

#include <cstdint>

namespace driver {

enum class Readout : uint8_t {
    kPlain,   // "/V": EC RAM 0x00/0x01 and the project name
    kBram,    // "/VB": the Super I/O bank of logical device 0x10
    kVarnel,  // "/VC": EC RAM 0xD8-0xDF
};

struct RunOptions {
    // An image: update mode.
    const char* image = nullptr;
    int32_t size_kb = 0;          // 0: not given, not compared
    bool check_project = false;   // the image must hold the EC's project name
    // Region images; the first set places the update, each has its length.
    bool boot_block = false;      // "/BK": 4 KB at base + 0x00000
    bool main_code = false;       // "/Mn": 60 KB at base + 0x01000
    bool backup_code = false;     // "/Bp": 60 KB at base + 0x11000
    uint64_t offset = 0;          // "/O": flash base (hex)
    bool offset_given = false;
    bool reset = false;           // "/j": close flash mode with 0xFC

    bool compare = false;         // "/C": the update only verifies
    bool differential = false;    // "/D": the update rewrites only the erase units that differ

    const char* log_file = nullptr;  // "/L <file>": the run's record goes there

    bool test = false;            // "/T"; also the marks of a region erase
    bool protect = false;         // "/PB"
    bool information = false;     // "/I"

    // "/R <file> <size>": the read-out into a new file (base "/O", "/j").
    bool read_out = false;
    const char* read_file = nullptr;
    const char* read_size = nullptr;  // KB, checked by the read-out

    // "/V?": the version query.
    bool version = false;
    Readout readout = Readout::kPlain;
    bool version_file = false;    // "/V?F": compare with an image's version
    const char* version_file_name = nullptr;
    const char* version_offset = nullptr;  // the argument after it; unused
    const char* expected_version = nullptr;
};

enum class ScanResult {
    kOk,
    kSizeLost,        // an image file name (or "/R") without its size
    kWrongParameter,  // an argument no rule accepts (or "/O" without a value)
};

enum class RunMode { kReadOut, kUpdate, kTest, kProtect, kInformation, kVersion, kNone };

// Scans argv[1..argc-1]. argv[0] takes part: the rule for file names looks
// at the argument before, the program name for the first one.
ScanResult ScanArguments(int argc, char* argv[], RunOptions* options);
// The first that applies: read-out, update, test, protection, information,
// version query.
RunMode ChooseMode(const RunOptions& options);

}  // namespace driver
