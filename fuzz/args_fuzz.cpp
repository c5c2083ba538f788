// The argument scan and the choice of run mode on any command line: any
// count of arguments (argv[0] included) holding any bytes. Besides the
// sanitizers' findings, a scan that writes into its arguments, keeps a
// pointer that is not one of them, or chooses a mode its flags do not
// support is a finding.
#include <cstddef>
#include <cstdint>

#include "common/runstate.h"
#include "driver/args.h"
#include "fuzz_input.h"

namespace {

bool NullOrArgument(const fuzz::Argv& args, const char* p)
{
    return p == nullptr || args.Holds(p);
}

void CheckScan(const fuzz::Argv& args, ScanResult scan, RunMode mode)
{
    using fuzz::Require;
    Require(scan == ScanResult::kOk || scan == ScanResult::kSizeLost || scan == ScanResult::kWrongParameter,
            "scan result out of range");
    for (int i = 0; i < args.argc(); ++i)
        Require(args.Unchanged(i), "the scan changed an argument");
    Require(NullOrArgument(args, gFileName) && NullOrArgument(args, FW_CP) && NullOrArgument(args, BIN_Ver_offset),
            "a run-state pointer that is no argument");
    Require(gProjectCheck <= 1 && gReset <= 1, "a flag beyond 0/1");
    // A version file option after the image takes gFileName, even when no
    // name follows it; the update then finds no file to open.
    Require(hasFile == 0 || gFileName != nullptr || FileVer_flag == 1, "update mode without a file name");
    Require(FileVer_flag == 0 || FW_flag == 1, "a version file without the version option");
    Require(BRAM_flag == 0 || Varnel_flag == 0, "two read-outs at once");

    if (scan != ScanResult::kOk)
        return;
    switch (mode) {
    case RunMode::kUpdate:
        Require(hasFile == 1, "update mode without a file");
        break;
    case RunMode::kTest:
        Require(hasFile == 0 && Test_flag == 1, "test mode not asked for");
        break;
    case RunMode::kProtect:
        Require(hasFile == 0 && Test_flag == 0 && Protect_BBK_flag == 1, "protection mode not asked for");
        break;
    case RunMode::kVersion:
        Require(hasFile == 0 && Test_flag == 0 && Protect_BBK_flag == 0 && FW_flag == 1,
                "version query not asked for");
        break;
    case RunMode::kNone:
        Require(hasFile == 0 && Test_flag == 0 && Protect_BBK_flag == 0 && FW_flag == 0,
                "no mode although one was asked for");
        break;
    default:
        fuzz::Fail("mode out of range");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Argv args(std::vector<uint8_t>(data, data + size));
    ResetRunState();
    const ScanResult scan = ScanArguments(args.argc(), args.argv());
    const RunMode mode = ChooseMode();
    CheckScan(args, scan, mode);
    return 0;
}
