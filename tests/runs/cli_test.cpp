// Whole runs of kovrinux-sim for the command line's own answers.
#include <gtest/gtest.h>

#include "expected_text.h"
#include "support/run_tool.h"

namespace {

using testsupport::BinPath;
using testsupport::Run;

testsupport::RunResult Tool(std::vector<std::string> args)
{
    args.insert(args.begin(), "--");
    return Run(BinPath("kovrinux-sim"), args);
}

TEST(CommandLine, NoArgumentsShowsTheUsage)
{
    const auto r = Tool({});
    EXPECT_EQ(r.out, expected::Usage());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(CommandLine, WrongParameterShowsUsageAndFails)
{
    for (const char* bad : {"/X", "/B", "/o"}) {
        SCOPED_TRACE(bad);
        const auto r = Tool({bad});
        EXPECT_EQ(r.out, expected::Usage() + expected::kWrongParameter);
        EXPECT_EQ(r.status, 1);
    }
    // Refused before the image is even looked at.
    auto r = Tool({"no-such.bin", "128", "/X"});
    EXPECT_EQ(r.out, expected::Usage() + expected::kWrongParameter);
    EXPECT_EQ(r.status, 1);
    // "/O" without its value.
    r = Tool({"no-such.bin", "128", "/O"});
    EXPECT_EQ(r.out, expected::Usage() + expected::kWrongParameter);
    EXPECT_EQ(r.status, 1);
}

TEST(CommandLine, MissingSize)
{
    for (auto args : {std::vector<std::string>{"ec.bin"}, std::vector<std::string>{"ec.bin", "/F"}}) {
        const auto r = Tool(args);
        EXPECT_EQ(r.out, expected::kSizeLost);
        EXPECT_EQ(r.status, 1);
    }
}

TEST(CommandLine, NothingToRunIsAFailure)
{
    for (auto args : {std::vector<std::string>{"/BK"}, std::vector<std::string>{"/BK", "/O", "1000", "/j"}}) {
        const auto r = Tool(args);
        EXPECT_EQ(r.out, expected::kFileOpenFail);
        EXPECT_EQ(r.status, 1);
    }
}

TEST(CommandLine, VersionOptionIgnoresWhatFollows)
{
    const auto r = Tool({"/V", "1.0", "/anything"});
    EXPECT_EQ(r.out.find("Wrong Parameter"), std::string::npos);
}

}  // namespace
