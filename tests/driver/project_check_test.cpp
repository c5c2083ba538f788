// Finding the EC's project name in an image file.
#include <gtest/gtest.h>

#include <string>

#include "driver/project_check.h"
#include "platform/platform.h"
#include "support/run_tool.h"

namespace {

struct Row {
    const char* name;
    std::string content;
    bool found;
};

std::string At(size_t offset, const std::string& text)
{
    return std::string(offset, 'x') + text + "yyyy";
}

TEST(ProjectName, FoundAsASubstringAnywhere)
{
    const Row rows[] = {
        {"ABC", "xxABCxx", true},
        {"ABC", "AABC", true},  // the byte that broke a partial match starts the name
        {"ABC", "ABABC", true},
        {"AAAB", "AAAAAB", true},
        {"ABAC", "ABABAC", true},
        {"ABC", "ABC", true},
        {"ABC", "AB", false},
        {"ABC", "ABxCABD", false},
        {"ABC", "", false},
        {"DEMO", At(510, "DEMO"), true},   // across the reading chunks
        {"DEMO", At(509, "DEDEMO"), true},
        {"DEMO", At(100000, "DEMO"), true},
        {"ABCDEFGHIJ", At(3, "ABCDEFGHIJ"), true},
        {"ABCDEFGHIJ", At(3, "ABCDEFGHI"), false},
        {"", "", true},
    };
    testsupport::TempDir dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " in " + row.content.substr(0, 40));
        const std::string path = dir.Write("ec.bin", row.content);
        platform::File* file = platform::FileOpen(path.c_str());
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(driver::FileHoldsName(file, row.name), row.found);
        platform::FileClose(file);
    }
}

}  // namespace
