#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/hexdump.h"

namespace {

std::string Dump(const std::vector<uint8_t>& data, unsigned long page)
{
    testing::internal::CaptureStdout();
    platform::HexDump(data.data(), static_cast<int>(data.size()), page);
    return testing::internal::GetCapturedStdout();
}

TEST(Hexdump, EmptyPrintsOnlyTheCount)
{
    EXPECT_EQ(Dump({}, 0), "\n\r0 bytes");
}

TEST(Hexdump, PartialLastRowIsPaddedWithBlankCells)
{
    std::vector<uint8_t> data(20);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(0xF0 + i);
    const std::string want =
        "\n\r20 bytes"
        "\n\r00100: f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 fa fb fc fd fe ff    "
        "\n\r00110: 00 01 02 03 " + std::string(12 * 3, ' ') + "   ";
    EXPECT_EQ(Dump(data, 1), want);
}

TEST(Hexdump, WholeRows)
{
    std::vector<uint8_t> data(32, 0x0A);
    const std::string row = "0a 0a 0a 0a 0a 0a 0a 0a 0a 0a 0a 0a 0a 0a 0a 0a    ";
    EXPECT_EQ(Dump(data, 0x123), "\n\r32 bytes\n\r12300: " + row + "\n\r12310: " + row);
}

}  // namespace
