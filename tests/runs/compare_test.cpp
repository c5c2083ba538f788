// The compare ("/C") on a page part, an AAI part and an ITE part, against
// the flash an update of the same image left: it only reads, every block to
// its end, and ends with where and how much the flash differs.
#include "update_support.h"

namespace {

using updatetest::Outcome;
using updatetest::RunUpdate;
using updatetest::Update;

const std::vector<std::string> kAllParts = {"winbond", "sst", "ite"};
const std::vector<std::string> kDefaultPart = {"winbond"};
const std::vector<std::string> kSfdpPart = {"amic"};
const std::string kEquals = "\n\rFlash equals the image.\n";

struct Row {
    const std::vector<std::string>& parts;
    size_t length;                   // of the image; 0x5a at 0x234 and 0x1a234
    std::vector<std::string> board;  // of the compare, besides --flash
    std::vector<std::string> tool;   // of both runs, after the size
    std::string ending;              // what the output ends with
    bool refused = false;            // before any block: no update needed first
};

const Row kRows[] = {
    {kAllParts, 0x20000, {}, {}, kEquals},
    {kAllParts, 0x20000, {"--stuck", "1a234=a5"}, {}, "###########[1a234]=5a##### -- Verify Fail. \n"
     "\n\rDiffers: 1 bytes, first at 0x01A234 (flash 0xA5, image 0x5A), last at 0x01A234.\n"},
    // Block 0 differs, block 1 is still read to its end.
    {kDefaultPart, 0x20000, {"--stuck", "234=a5", "--stuck", "1a234=00", "--stuck", "1ffff=00"}, {},
     "###########[1a234]=5a##### -- Verify Fail. \n"
     "\n\rDiffers: 3 bytes, first at 0x000234 (flash 0xA5, image 0x5A), last at 0x01FFFF.\n"},
    {kAllParts, 0xF000, {}, {"/Mn", "/O", "20000", "/j"}, kEquals},
    {kAllParts, 0x1000, {"--stuck", "234=a5"}, {"/BK"}, "###[234]=5a############# -- Verify Fail. \n"
     "\n\rDiffers: 1 bytes, first at 0x000234 (flash 0xA5, image 0x5A), last at 0x000234.\n"},
    {kDefaultPart, 0x20000, {"--flash-size", "1024"}, {"/O", "F0000"}, "\n\rImage does not fit this flash (1024K)!\n",
     true},
    {kSfdpPart, 0x20000, {}, {"/O", "30000"}, "\n\rImage does not fit this flash (256K)!\n", true},
    {kDefaultPart, 0x20000, {"--signal", "INT@200000"}, {}, "\n\rInterrupted.\n"},  // in block 0 of two
};

TEST(Compare, Table)
{
    for (const Row& row : kRows) {
        for (const std::string& part : row.parts) {
            SCOPED_TRACE(part + " " + row.ending);
            std::vector<uint8_t> image = updatetest::Image(row.length, 3);
            for (size_t at : {0x234, 0x1a234})
                if (at < image.size())
                    image[at] = 0x5a;
            const Outcome updated = row.refused ? Outcome{0, "", updatetest::OldFlash(), {}}
                                                : RunUpdate(Update{image, {"--flash", part}, row.tool, ""});
            ASSERT_EQ(updated.status, 0);

            std::vector<std::string> board = {"--flash", part};
            board.insert(board.end(), row.board.begin(), row.board.end());
            std::vector<std::string> tool = row.tool;
            tool.push_back("/C");
            const Outcome o = RunUpdate(Update{image, board, tool, "", "kovrinux-sim", updated.flash});

            EXPECT_EQ(o.status, row.ending == kEquals ? 0 : 1);
            ASSERT_GE(o.out.size(), row.ending.size());
            EXPECT_EQ(o.out.substr(o.out.size() - row.ending.size()), row.ending);
            for (const char* write : {"spi 01", "spi 02", "spi 20", "spi ad", "spi af", "spi d7", "spi d8"})
                EXPECT_EQ(updatetest::CountPrefix(o.trace, write), 0u) << write;
            const bool reset = std::count(row.tool.begin(), row.tool.end(), "/j") != 0;
            updatetest::ExpectClosedOnce(o, reset ? "ec fc" : "ec fe");
        }
    }
}

}  // namespace
