// Whole runs of kovrin-sim for the command line's own answers: the UEFI
// program clears the screen first, shows its own banner and name, and
// touches no device when it refuses.
#include <gtest/gtest.h>

#include "expected_text.h"
#include "support/run_tool.h"

namespace {

namespace k = expected::kovrin;

struct Row {
    std::vector<std::string> args;
    std::string out;
    int status;
};

TEST(KovrinCommandLine, AnswersBeforeAnyMode)
{
    const std::string usage = k::Usage();
    const Row rows[] = {
        {{}, usage, 0},
        {{"/X"}, usage + expected::kWrongParameter, 1},
        {{"/B"}, usage + expected::kWrongParameter, 1},
        {{"/o", "1"}, usage + expected::kWrongParameter, 1},
        {{"ec.bin", "128", "/O"}, usage + expected::kWrongParameter, 1},
        {{"ec.bin"}, k::kClear + expected::kSizeLost, 1},
        {{"ec.bin", "/F"}, k::kClear + expected::kSizeLost, 1},
        {{"/BK"}, k::kClear + expected::kFileOpenFail, 1},
        {{"/BK", "/O", "1000", "/j"}, k::kClear + expected::kFileOpenFail, 1},
    };
    for (const Row& row : rows) {
        std::string line;
        for (const std::string& a : row.args)
            line += " " + a;
        SCOPED_TRACE("kovrin-sim --" + line);
        testsupport::TempDir dir;
        std::vector<std::string> args{"--trace", dir.File("trace.txt"), "--"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto r = testsupport::Run(testsupport::BinPath("kovrin-sim"), args);
        EXPECT_EQ(r.out, row.out);
        EXPECT_EQ(r.status, row.status);
        EXPECT_EQ(r.err, "");
        EXPECT_TRUE(dir.Read("trace.txt").empty()) << "a refused command line reached a device";
    }
}

}  // namespace
