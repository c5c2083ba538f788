// The one formatter both programs print numbers with.
#include <gtest/gtest.h>

#include <string>

#include "common/print.h"
#include "common/text.h"

namespace {

std::string Fmt(const char* fmt, auto... args)
{
    char buf[128];
    FormatText(buf, sizeof buf, fmt, args...);
    return buf;
}

TEST(Format, ConversionsTheToolUses)
{
    EXPECT_EQ(Fmt("%02d.%02d", 1, 0), "01.00");
    EXPECT_EQ(Fmt("%02d%c", 18, 'A'), "18A");
    EXPECT_EQ(Fmt("%02d", 123), "123");
    EXPECT_EQ(Fmt("%x %x %x %x ", 0xEF, 0x40, 0x14, 0), "ef 40 14 0 ");
    EXPECT_EQ(Fmt("%02x%02x%02x", 1, 0, 0), "010000");
    EXPECT_EQ(Fmt("%05lx", 0x100UL), "00100");
    EXPECT_EQ(Fmt("[%x]=%x", 0x10010, 0xA5), "[10010]=a5");
    EXPECT_EQ(Fmt("%d %d", -7, 2147483647), "-7 2147483647");
    EXPECT_EQ(Fmt("%u %X %%", 4000000000u, 0xABu), "4000000000 AB %");
    EXPECT_EQ(Fmt("%-4d|%4s|", 5, "ab"), "5   |  ab|");
    EXPECT_EQ(Fmt("%03d", -5), "-05");
}

TEST(Format, ZeroCharacterIsWrittenAndEndsTheString)
{
    char buf[16];
    const int n = FormatText(buf, sizeof buf, "%c%c%c", 'A', 0, 'B');
    EXPECT_EQ(n, 3);
    EXPECT_EQ(buf[0], 'A');
    EXPECT_EQ(buf[1], '\0');
    EXPECT_EQ(buf[2], 'B');
}

TEST(Format, TruncatesSafely)
{
    char buf[4];
    EXPECT_EQ(FormatText(buf, sizeof buf, "%s", "abcdef"), 6);
    EXPECT_STREQ(buf, "abc");
}

TEST(StrToL, ReadsAsTheStandardConversion)
{
    EXPECT_EQ(StrToL("128", 10), 128);
    EXPECT_EQ(StrToL("  -12x", 10), -12);
    EXPECT_EQ(StrToL("abc", 10), 0);
    EXPECT_EQ(StrToL("", 10), 0);
    EXPECT_EQ(StrToL("10000", 16), 0x10000);
    EXPECT_EQ(StrToL("0x20000", 16), 0x20000);
    EXPECT_EQ(StrToL("0xg", 16), 0);
    EXPECT_EQ(StrToL("+ff", 16), 0xFF);
    EXPECT_EQ(StrToL("99999999999999999999", 10), INT64_MAX);
    EXPECT_EQ(StrToL("-99999999999999999999", 10), INT64_MIN);
    EXPECT_EQ(StrToL("-9223372036854775808", 10), INT64_MIN);
    EXPECT_EQ(StrToL("9223372036854775807", 10), INT64_MAX);
}

TEST(Text, CompareAndPrefix)
{
    EXPECT_LT(StrCmp("01A", "01B"), 0);
    EXPECT_LT(StrCmp("01A", "1"), 0);
    EXPECT_EQ(StrCmp("01A", "01A"), 0);
    EXPECT_LT(StrCmp("01", "01A"), 0);
    EXPECT_GT(StrCmp("\xC3", "A"), 0);  // bytes compare unsigned
    EXPECT_TRUE(StartsWith("/BKX", "/BK"));
    EXPECT_FALSE(StartsWith("/B", "/BK"));
    EXPECT_EQ(CharAt("ab", 1), 'b');
    EXPECT_EQ(CharAt("a", 5), 0);
    EXPECT_EQ(CharAt(nullptr, 0), 0);
}

}  // namespace
