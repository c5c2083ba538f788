// Whole runs of kovrinux-sim for the command line's own answers.
#include <gtest/gtest.h>

#include "expected_text.h"
#include "support/run_tool.h"
#include "update_support.h"

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

// Alone, "--help" adds the options the usage leaves out and "--version"
// is the banner; neither touches a port.
TEST(CommandLine, HelpAndVersionAlone)
{
    const std::string kovrin_banner = expected::kovrin::kClear + expected::kovrin::kAtBanner + expected::kovrin::kBanner;
    const struct {
        const char* program;
        std::string usage;
        std::string banner;
    } rows[] = {
        {"kovrinux-sim", expected::Usage(), expected::kBanner},
        {"kovrin-sim", expected::kovrin::Usage(), kovrin_banner},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.program);
        const auto version = updatetest::RunTool({"--version"}, {}, row.program);
        EXPECT_EQ(version.out, row.banner);
        EXPECT_EQ(version.status, 0);
        EXPECT_TRUE(version.trace.empty());

        const auto help = updatetest::RunTool({"--help"}, {}, row.program);
        EXPECT_EQ(help.out.substr(0, row.usage.size()), row.usage);
        for (const char* option : {"/F", "/BK", "/O <hex>", "/j", "/C", "/R <file>", "/I", "/L <file>", "/T", "/PB",
                                   "/VB", "/VBF", "/VC"})
            EXPECT_NE(help.out.find(std::string(" ") + option + " ", row.usage.size()), std::string::npos) << option;
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.trace.empty());
    }
}

}  // namespace
