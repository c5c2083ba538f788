// The compare ("/C") on a page part, an AAI part and an ITE part, against
// the flash an update of the same image left: it only reads, and the first
// difference ends it with the verify's own failure.
#include "update_support.h"

namespace {

using updatetest::Image;
using updatetest::Outcome;
using updatetest::RunUpdate;
using updatetest::Update;

const std::vector<std::string> kAllParts = {"winbond", "sst", "ite"};
const std::vector<std::string> kDefaultPart = {"winbond"};

struct Row {
    const std::vector<std::string>& parts;
    size_t length;                   // of the image
    std::vector<std::string> board;  // of the compare, besides --flash
    std::vector<std::string> tool;   // of both runs, after the size
    std::string ending;              // what the output ends with
    bool refused = false;            // before any block: no update needed first
};

// Image offset 0x1a234 is read back stuck at the image's byte plus one.
const std::string kEquals = "\n\rFlash equals the image.\n";
const Row kRows[] = {
    {kAllParts, 0x20000, {}, {}, kEquals},
    {kAllParts, 0x20000, {"--stuck", "1a234=STUCK"}, {}, "###########[1a234]=IMAGE -- Verify Fail. \n"},
    {kAllParts, 0xF000, {}, {"/Mn", "/O", "20000", "/j"}, kEquals},
    {kAllParts, 0x1000, {"--stuck", "234=STUCK"}, {"/BK"}, "[234]=IMAGE -- Verify Fail. \n"},
    {kDefaultPart, 0x20000, {"--flash-size", "1024"}, {"/O", "F0000"}, "\n\rImage does not fit this flash (1024K)!\n",
     true},
    // A stop in block 0 of two.
    {kDefaultPart, 0x20000, {"--signal", "INT@200000"}, {}, "\n\rInterrupted.\n"},
};

std::string Hex(unsigned value)
{
    char text[16];
    snprintf(text, sizeof text, "%x", value);
    return text;
}

std::string Filled(std::string text, const std::string& key, unsigned value)
{
    const size_t at = text.find(key);
    return at == std::string::npos ? text : text.replace(at, key.size(), Hex(value));
}

bool OnlyReads(const Outcome& o)
{
    for (const char* writes : {"spi 01", "spi 02", "spi 20", "spi ad", "spi af", "spi d7", "spi d8"}) {
        if (updatetest::CountPrefix(o.trace, writes) != 0)
            return false;
    }
    return true;
}

TEST(Compare, Table)
{
    for (const Row& row : kRows) {
        for (const std::string& part : row.parts) {
            SCOPED_TRACE(part + " " + row.ending);
            const std::vector<uint8_t> image = Image(row.length, 3);
            const Outcome updated = row.refused ? Outcome{0, "", updatetest::OldFlash(), {}}
                                                : RunUpdate(Update{image, {"--flash", part}, row.tool, ""});
            ASSERT_EQ(updated.status, 0);

            const uint32_t stuck_at = row.length > 0x1a234 ? 0x1a234 : 0x234;
            const uint8_t wrong = static_cast<uint8_t>(image[stuck_at] + 1);
            std::vector<std::string> board = {"--flash", part};
            for (const std::string& option : row.board)
                board.push_back(Filled(option, "STUCK", wrong));
            std::vector<std::string> tool = row.tool;
            tool.push_back("/C");
            const Outcome o = RunUpdate(Update{image, board, tool, "", "kovrinux-sim", updated.flash});

            const std::string ending = Filled(row.ending, "IMAGE", image[stuck_at]);
            EXPECT_EQ(o.status, ending == kEquals ? 0 : 1);
            ASSERT_GE(o.out.size(), ending.size());
            EXPECT_EQ(o.out.substr(o.out.size() - ending.size()), ending);
            EXPECT_TRUE(OnlyReads(o));
            const bool reset = std::count(row.tool.begin(), row.tool.end(), "/j") != 0;
            updatetest::ExpectClosedOnce(o, reset ? "ec fc" : "ec fe");
        }
    }
}

}  // namespace
