// The argument scan and the choice of run mode.
#pragma once

enum class ScanResult {
    kOk,
    kSizeLost,        // an image file name without its size
    kWrongParameter,  // an argument no rule accepts (or "/O" without a value)
};

enum class RunMode {
    kUpdate,
    kTest,
    kProtect,
    kVersion,
    kNone,
};

// Scans argv[1..argc-1] into the run-state globals. argv[0] takes part: the
// rule for file names looks at the argument before, the program name for the
// first one.
ScanResult ScanArguments(int argc, char* argv[]);
RunMode ChooseMode();
