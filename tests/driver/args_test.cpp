// The argument scan: each row a command line and the run state and mode it
// must leave behind.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/options.h"

namespace {

using driver::Readout;
using driver::RunMode;
using driver::RunOptions;
using driver::ScanResult;

struct Expected {
    ScanResult result = ScanResult::kOk;
    RunMode mode = RunMode::kNone;
    const char* file = nullptr;
    int32_t size = 0;
    uint64_t project_check = 0;
    uint8_t bbk = 0, main = 0, backup = 0, protect = 0, test = 0;
    uint8_t fw = 0, bram = 0, varnel = 0, file_ver = 0;
    const char* fw_cp = nullptr;
    const char* bin_ver_offset = nullptr;
    uint64_t offset = 0;
    uint64_t reset = 0;
    uint8_t compare = 0;
    const char* read_size = nullptr;  // the read-out's; its file is `file`
};

struct Row {
    std::vector<std::string> args;  // after the program name
    Expected want;
};

std::string Str(const char* s)
{
    return s == nullptr ? "(null)" : s;
}

void Check(const std::vector<std::string>& args, const Expected& want, const char* program = "kovrinux")
{
    std::vector<std::string> storage{program};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    std::string line;
    for (const std::string& a : args)
        line += a + " ";
    SCOPED_TRACE("command line: " + line);

    RunOptions options;
    const ScanResult result = driver::ScanArguments(static_cast<int>(storage.size()), argv.data(), &options);
    EXPECT_EQ(result, want.result);
    if (result != ScanResult::kOk)
        return;
    EXPECT_EQ(driver::ChooseMode(options), want.mode);
    const char* file = options.read_out ? options.read_file : options.version_file_name;
    EXPECT_EQ(Str(options.image != nullptr ? options.image : file), Str(want.file));
    EXPECT_EQ(Str(options.read_size), Str(want.read_size));
    EXPECT_EQ(options.compare, want.compare == 1);
    EXPECT_EQ(options.size_kb, want.size);
    EXPECT_EQ(options.check_project, want.project_check == 1);
    EXPECT_EQ(options.boot_block, want.bbk == 1);
    EXPECT_EQ(options.main_code, want.main == 1);
    EXPECT_EQ(options.backup_code, want.backup == 1);
    EXPECT_EQ(options.protect, want.protect == 1);
    EXPECT_EQ(options.test, want.test == 1);
    EXPECT_EQ(options.version, want.fw == 1);
    EXPECT_EQ(options.readout == Readout::kBram, want.bram == 1);
    EXPECT_EQ(options.readout == Readout::kVarnel, want.varnel == 1);
    EXPECT_EQ(options.version_file, want.file_ver == 1);
    EXPECT_EQ(Str(options.expected_version), Str(want.fw_cp));
    EXPECT_EQ(Str(options.version_offset), Str(want.bin_ver_offset));
    EXPECT_EQ(options.offset, want.offset);
    EXPECT_EQ(options.reset, want.reset == 1);
    EXPECT_EQ(options.image != nullptr, want.mode == RunMode::kUpdate);
}

Expected Update(const char* file, int32_t size, uint64_t check = 1)
{
    Expected e;
    e.mode = RunMode::kUpdate;
    e.file = file;
    e.size = size;
    e.project_check = check;
    return e;
}

Expected Version()
{
    Expected e;
    e.mode = RunMode::kVersion;
    e.fw = 1;
    return e;
}

TEST(ArgumentScan, ImageFileSizeAndProjectCheckOrder)
{
    std::vector<Row> rows = {
        {{"ec.bin", "128"}, Update("ec.bin", 128)},
        // "/F" turns the check off only after the file name.
        {{"ec.bin", "128", "/F"}, Update("ec.bin", 128, 0)},
        {{"ec.bin", "128", "/f"}, Update("ec.bin", 128, 0)},
        {{"/F", "ec.bin", "128"}, Update("ec.bin", 128, 1)},
        // Size read as strtol does: no digits give 0 (not given).
        {{"ec.bin", "abc"}, Update("ec.bin", 0)},
        {{"ec.bin", " +64k"}, Update("ec.bin", 64)},
        {{"ec.bin", "-5"}, Update("ec.bin", -5)},
        // A second file name replaces the first, with its own size.
        {{"a.bin", "4", "b.bin", "60"}, Update("b.bin", 60)},
        // An image before "/V" is flashed; the version option is ignored.
        {{"ec.bin", "128", "/V"}, [] { Expected e = Update("ec.bin", 128); e.fw = 1; return e; }()},
        {{"ec.bin", "128", "/PB", "/T"}, [] { Expected e = Update("ec.bin", 128); e.protect = 1; e.test = 1; return e; }()},
    };
    for (const Row& row : rows)
        Check(row.args, row.want);
}

TEST(ArgumentScan, SizeMissing)
{
    Expected lost;
    lost.result = ScanResult::kSizeLost;
    Check({"ec.bin"}, lost);
    Check({"ec.bin", "/F"}, lost);
    Check({"/BK", "ec.bin"}, lost);
}

TEST(ArgumentScan, RegionAndTuningOptions)
{
    Expected e = Update("ec.bin", 4);
    e.bbk = 1;
    Check({"/BKX", "ec.bin", "4"}, e);  // anything after the option's letters is ignored

    e = Update("main.bin", 60);
    e.main = 1;
    e.backup = 1;
    Check({"main.bin", "60", "/Mn", "/Bp"}, e);

    e = Update("ec.bin", 128);
    e.offset = 0x10000;
    e.reset = 1;
    // The value after "/O" is hexadecimal and is not taken for a file name.
    Check({"/O", "10000", "ec.bin", "128", "/j"}, e);

    e = Update("ec.bin", 128);
    e.offset = 0x20000;
    Check({"ec.bin", "128", "/O", "0x20000"}, e);

    // Region and tuning options alone select no mode.
    Expected none;
    none.bbk = 1;
    none.offset = 0x1000;
    none.reset = 1;
    Check({"/BK", "/O", "1000", "/j"}, none);
}

TEST(ArgumentScan, StandAloneModes)
{
    Expected test;
    test.mode = RunMode::kTest;
    test.test = 1;
    test.protect = 1;
    Check({"/T", "/PB"}, test);  // the test mode wins over protection

    Expected protect;
    protect.mode = RunMode::kProtect;
    protect.protect = 1;
    Check({"/PB"}, protect);
}

TEST(ArgumentScan, VersionOptionEndsTheScan)
{
    Expected e = Version();
    Check({"/V"}, e);
    Check({"/v"}, e);

    e.fw_cp = "1.0";
    // Nothing after the option's arguments is looked at.
    Check({"/V", "1.0", "/anything", "more"}, e);

    e = Version();
    e.fw_cp = "ec.bin";
    Check({"/V", "ec.bin", "128"}, e);

    e = Version();
    e.bram = 1;
    e.fw_cp = "01B";
    Check({"/VB", "01B"}, e);

    e = Version();
    e.fw_cp = "01B";
    Check({"/vb", "01B"}, e);  // a lower-case b does not select the BRAM read-out

    e = Version();
    e.varnel = 1;
    e.fw_cp = "ABCDEFGH";
    Check({"/VC", "ABCDEFGH"}, e);

    e = Version();
    e.bram = 1;
    e.file_ver = 1;
    e.file = "ec.bin";
    e.bin_ver_offset = "FFF8";
    Check({"/VBF", "ec.bin", "FFF8", "/X"}, e);

    e = Version();
    e.file_ver = 1;
    e.file = "ec.bin";
    Check({"/VxF", "ec.bin"}, e);  // any third character before the F

    e = Version();
    e.bram = 1;
    e.file_ver = 1;
    Check({"/VBF"}, e);  // no file name: the query reports it

    // "/VF" has no fourth character: no file comparison.
    e = Version();
    e.fw_cp = "x.bin";
    Check({"/VF", "x.bin"}, e);

    // After an image the version option must not swap the file to flash.
    e = Update("a.bin", 4, 0);
    e.fw = 1;
    e.bram = 1;
    e.file_ver = 1;
    Check({"a.bin", "4", "/F", "/VBF", "b.bin", "x"}, e);
    Check({"a.bin", "4", "/F", "/VBF"}, e);

    // "/V" after other options still ends the scan there.
    e = Version();
    e.bbk = 1;
    e.fw_cp = "/BK";
    Check({"/BK", "/V", "/BK"}, e);
}

TEST(ArgumentScan, WrongParameters)
{
    Expected wrong;
    wrong.result = ScanResult::kWrongParameter;
    for (const char* bad : {"/X", "/B", "/o", "/", "/bk", "/M", "/p", "/t", "/J"})
        Check({bad}, wrong);
    // A wrong parameter after a complete file name and size.
    Check({"ec.bin", "128", "/X"}, wrong);
    // "/O" without a value would flash at base 0.
    Check({"ec.bin", "128", "/O"}, wrong);
    Check({"/O", "/BK", "ec.bin", "4"}, wrong);
    // After "/O 1000" comes a name again; after a size ending in R it cannot.
    Check({"ec.bin", "1R", "x"}, wrong);
}

TEST(ArgumentScan, ReadOutAndCompare)
{
    Expected read;
    read.mode = RunMode::kReadOut;
    read.file = "out.bin";
    read.read_size = "256";
    Expected tuned = read;
    tuned.offset = 0x20000;
    tuned.reset = 1;
    Expected compare = Update("ec.bin", 128);
    compare.compare = 1;
    Expected compare_alone;  // selects nothing, as "/BK" alone
    compare_alone.compare = 1;
    Expected lost;
    lost.result = ScanResult::kSizeLost;
    Expected wrong;
    wrong.result = ScanResult::kWrongParameter;

    const std::vector<Row> rows = {
        {{"/R", "out.bin", "256"}, read},
        // "/O" and "/j" shape it, "/F" is ignored; the scan goes on after its two arguments.
        {{"/RX", "out.bin", "256", "/O", "20000", "/j", "/F"}, tuned},
        {{"/j", "/O", "20000", "/R", "out.bin", "256"}, tuned},
        {{"/R", "out.bin"}, lost},
        {{"/R", "out.bin", "/j"}, lost},
        {{"/R", "/O", "256"}, lost},
        // A mode of its own: with an image or what another mode needs, a wrong parameter.
        {{"ec.bin", "128", "/R", "out.bin", "256"}, wrong},
        {{"/R", "out.bin", "256", "ec.bin", "128"}, wrong},
        {{"/R", "out.bin", "256", "/T"}, wrong},
        {{"/PB", "/R", "out.bin", "256"}, wrong},
        {{"/R", "out.bin", "256", "/V"}, wrong},
        {{"/R", "out.bin", "256", "/C"}, wrong},
        {{"/R", "out.bin", "256", "/BK"}, wrong},
        {{"/Mn", "/R", "out.bin", "256"}, wrong},
        {{"/R", "out.bin", "256", "/Bp"}, wrong},
        {{"/r", "out.bin", "256"}, wrong},
        {{"ec.bin", "128", "/C"}, compare},
        {{"/CX", "ec.bin", "128"}, compare},
        {{"/C"}, compare_alone},
        {{"/c"}, wrong},
    };
    for (const Row& row : rows)
        Check(row.args, row.want);
}

TEST(ArgumentScan, ProgramNameTakesPartInTheFirstArgument)
{
    // The rule for file names looks at the second character of the argument
    // before; for the first argument that is the program name.
    // "ec.bin" is passed over as an offset value; "128" becomes the name.
    Expected lost;
    lost.result = ScanResult::kSizeLost;
    Check({"ec.bin", "128"}, lost, "xOy");
    Expected none;
    Check({"skipped"}, none, "xVy");
    Check({"ec.bin", "128"}, Update("ec.bin", 128), "k");  // shorter than two characters
    Check({"ec.bin", "128"}, Update("ec.bin", 128), "");
}

TEST(ArgumentScan, EveryArgumentIsScannedHoweverMany)
{
    std::vector<std::string> args;
    for (int i = 0; i < 300; ++i)
        args.push_back("/j");
    args.push_back("/T");
    Expected e;
    e.mode = RunMode::kTest;
    e.test = 1;
    e.reset = 1;
    Check(args, e);

    args.back() = "/X";
    Expected wrong;
    wrong.result = ScanResult::kWrongParameter;
    Check(args, wrong);
}

}  // namespace
