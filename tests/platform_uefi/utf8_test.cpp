// kovrin's console and file names: UTF-8 to UCS-2, with bytes that are no
// UTF-8 shown as themselves (Latin-1), never swallowing the next byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/uefi/utf8.h"

namespace {

void Append(uint16_t unit, void* context)
{
    static_cast<std::vector<uint16_t>*>(context)->push_back(unit);
}

// Each piece fed as one console write; the decoder flushed at the end.
std::vector<uint16_t> Decode(const std::vector<std::string>& pieces)
{
    UTF8_DECODER decoder{};
    std::vector<uint16_t> units;
    for (const std::string& piece : pieces) {
        for (char c : piece)
            Utf8Feed(&decoder, static_cast<uint8_t>(c), Append, &units);
    }
    Utf8Flush(&decoder, Append, &units);
    return units;
}

TEST(Utf8, ValidCharactersAndStrayBytes)
{
    struct Row {
        const char* name;
        std::vector<std::string> pieces;
        std::vector<uint16_t> units;
    } const rows[] = {
        {"ASCII", {"A\n"}, {0x41, 0x0A}},
        {"two bytes", {"\xC3\xA9"}, {0xE9}},
        {"the progress mark", {"\xE2\x96\x88"}, {0x2588}},
        {"four bytes", {"\xF0\x9F\x98\x80"}, {0xD83D, 0xDE00}},
        {"split across writes", {"x\xE2", "\x96", "\x88y"}, {0x78, 0x2588, 0x79}},
        {"a lone Latin-1 byte", {"\xE9t\xE9"}, {0xE9, 0x74, 0xE9}},
        {"broken sequence keeps the next byte", {"\xE2\x96" "A"}, {0xE2, 0x96, 0x41}},
        {"two leads", {"\xC3\xC3\xA9"}, {0xC3, 0xE9}},
        {"continuation bytes alone", {"\x80\xBF"}, {0x80, 0xBF}},
        {"overlong", {"\xC0\x80"}, {0xC0, 0x80}},
        {"surrogate", {"\xED\xA0\x80"}, {0xED, 0xA0, 0x80}},
        {"past U+10FFFF", {"\xF4\x90\x80\x80"}, {0xF4, 0x90, 0x80, 0x80}},
        {"0xFF and 0x80", {"\xFF\x80" "ab"}, {0xFF, 0x80, 0x61, 0x62}},
        {"unfinished at the end", {"ab\xC3"}, {0x61, 0x62, 0xC3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Decode(row.pieces), row.units);
    }
}

}  // namespace
