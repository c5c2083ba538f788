// The argument scan and the choice of run mode on any command line: any
// count of arguments (argv[0] included) holding any bytes. Besides the
// sanitizers' findings, a scan that writes into its arguments, keeps a
// pointer that is not one of them, or chooses a mode its flags do not
// support is a finding.
#include <cstddef>
#include <cstdint>

#include "driver/options.h"
#include "driver/regions.h"
#include "fuzz_input.h"

namespace {

using driver::RunMode;
using driver::RunOptions;
using driver::ScanResult;

bool NullOrArgument(const fuzz::Argv& args, const char* p)
{
    return p == nullptr || args.Holds(p);
}

void CheckScan(const fuzz::Argv& args, const RunOptions& o, ScanResult scan, RunMode mode)
{
    using fuzz::Require;
    Require(scan == ScanResult::kOk || scan == ScanResult::kSizeLost || scan == ScanResult::kWrongParameter,
            "scan result out of range");
    for (int i = 0; i < args.argc(); ++i)
        Require(args.Unchanged(i), "the scan changed an argument");
    Require(NullOrArgument(args, o.image) && NullOrArgument(args, o.version_file_name) &&
                NullOrArgument(args, o.expected_version) && NullOrArgument(args, o.version_offset) &&
                NullOrArgument(args, o.read_file) && NullOrArgument(args, o.read_size) &&
                NullOrArgument(args, o.log_file),
            "an option pointer that is no argument");
    Require(o.read_out == (o.read_file != nullptr && o.read_size != nullptr), "a read-out without its file and size");
    Require(!o.version_file || o.version, "a version file without the version option");
    Require(o.image == nullptr || o.version_file_name == nullptr, "an image and a version file at once");

    if (scan != ScanResult::kOk)
        return;
    const bool image = o.image != nullptr;
    const bool read_out = o.read_out;
    switch (mode) {
    case RunMode::kReadOut:
        // A mode of its own: nothing of another mode may come with it.
        Require(!image && !o.test && !o.protect && !o.version && !o.compare && !o.differential && !o.information &&
                    driver::ChosenRegion(o) == nullptr,
                "a read-out mixed with another mode");
        break;
    case RunMode::kUpdate:
        Require(image && !read_out, "update mode without a file");
        // A compare writes nothing, so it cannot rewrite what differs.
        Require(!(o.compare && o.differential), "a compare that rewrites");
        break;
    case RunMode::kTest:
        Require(!image && !read_out && o.test, "test mode not asked for");
        break;
    case RunMode::kProtect:
        Require(!image && !read_out && !o.test && o.protect, "protection mode not asked for");
        break;
    case RunMode::kInformation:
        Require(o.information && !image && !read_out && !o.test && !o.protect && !o.version && !o.compare &&
                    !o.differential && !o.offset_given && driver::ChosenRegion(o) == nullptr,
                "the information mode mixed with another mode");
        break;
    case RunMode::kVersion:
        Require(!image && !read_out && !o.test && !o.protect && !o.information && o.version,
                "version query not asked for");
        break;
    case RunMode::kNone:
        Require(!image && !read_out && !o.test && !o.protect && !o.information && !o.version,
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
    RunOptions options;
    const ScanResult scan = driver::ScanArguments(args.argc(), args.argv(), &options);
    CheckScan(args, options, scan, driver::ChooseMode(options));
    return 0;
}
