// Where the flash's size comes from (its id, its SFDP table, or nowhere) and
// what an image past that size gets: refused before any erase where the
// size is known, caught by the final check where it is not.
#include "expected_text.h"
#include "update_support.h"

namespace {

using updatetest::CountPrefix;
using updatetest::Image;
using updatetest::OldFlash;
using updatetest::Outcome;
using updatetest::RunUpdate;
using updatetest::Update;

enum class Source { kId, kSfdp, kNone };

struct Family {
    const char* flash;
    std::vector<size_t> sizes_kb;  // every member the board has
    Source source;
    std::vector<std::string> board = {};  // besides --flash and --flash-size
};

// The id tells the size on these, SFDP on the stand-ins that carry a table.
const Family kKnown[] = {
    {"winbond", {256, 512, 1024, 2048, 4096, 8192, 16384}, Source::kId},
    {"mxic", {128, 256, 512, 1024, 2048, 4096, 8192, 16384}, Source::kId},
    {"mxic-pp32", {64}, Source::kId},
    {"st", {64, 128, 256, 512, 1024, 2048, 4096, 8192}, Source::kId},
    {"gigadevice", {256, 512, 1024, 2048, 4096, 8192, 16384}, Source::kId},
    {"sst", {256, 512, 1024, 2048, 4096}, Source::kId},
    {"sst-old", {64, 128}, Source::kId},
    {"spansion", {128, 256, 512, 1024, 2048, 4096, 8192, 16384}, Source::kSfdp},
    {"amic", {128, 16384}, Source::kSfdp},
    {"eon", {256}, Source::kSfdp},
    {"esmt", {512}, Source::kSfdp},
    {"pmc", {1024}, Source::kSfdp},
};

// Nothing tells the size: the image that wraps onto itself is caught by
// reading it all back.
const Family kUnknown[] = {
    {"ite", {64, 128, 256}, Source::kNone},
    {"ite-a", {64, 128}, Source::kNone},
    {"atmel", {128}, Source::kNone},
    {"unknown", {256}, Source::kNone},
    {"spansion", {128}, Source::kNone, {"--no-sfdp"}},
    {"pmc", {256}, Source::kNone, {"--no-sfdp"}},
};

const std::string kFinalCheck = " Final check...   : ";

std::string Hex(size_t value)
{
    char text[16];
    snprintf(text, sizeof text, "%zx", value);
    return text;
}

std::vector<std::string> BoardOf(const Family& f, size_t size_kb)
{
    std::vector<std::string> board = {"--flash", f.flash, "--flash-size", std::to_string(size_kb)};
    board.insert(board.end(), f.board.begin(), f.board.end());
    return board;
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

size_t Writes(const Outcome& o)
{
    size_t n = 0;
    for (const char* op : {"spi 01", "spi 02", "spi 20", "spi 52", "spi d7", "spi d8", "spi ad", "spi af"})
        n += CountPrefix(o.trace, op);
    return n;
}

void ExpectRefused(const Outcome& o, size_t size_kb, const std::vector<uint8_t>& before)
{
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(EndsWith(o.out, "\n\rImage does not fit this flash (" + std::to_string(size_kb) + "K)!\n")) << o.out;
    EXPECT_EQ(Writes(o), 0u) << "written before the refusal";
    EXPECT_FLASH(o.flash, before);
    updatetest::ExpectClosedOnce(o, "ec fe");
}

void ExpectWritten(const Outcome& o, uint32_t at, const std::vector<uint8_t>& data, std::vector<uint8_t> before)
{
    EXPECT_EQ(o.status, 0) << o.out.substr(o.out.size() > 300 ? o.out.size() - 300 : 0);
    std::copy(data.begin(), data.end(), before.begin() + at);
    EXPECT_FLASH(o.flash, before);
    updatetest::ExpectClosedOnce(o, "ec fe");
}

// The top block of every member takes an image; one more block is refused,
// and SFDP is asked only where the id does not tell the size.
TEST(SizeSources, KnownSizeAtEveryMember)
{
    for (const Family& f : kKnown) {
        for (const size_t size_kb : f.sizes_kb) {
            SCOPED_TRACE(std::string(f.flash) + " " + std::to_string(size_kb) + "K");
            const size_t bytes = size_kb * 1024;
            const std::string top = Hex(bytes - 0x10000);
            const std::vector<uint8_t> block = Image(0x10000, 7);
            // Old firmware in the lowest 64 KB; the board leaves the rest erased.
            const std::vector<uint8_t> old = OldFlash(0x10000);
            std::vector<uint8_t> before = old;
            before.resize(bytes, 0xFF);
            const Outcome fits = RunUpdate(Update{block, BoardOf(f, size_kb), {"/O", top}, "", "kovrinux-sim", old});
            ExpectWritten(fits, static_cast<uint32_t>(bytes - 0x10000), block, before);
            EXPECT_EQ(fits.out.find(kFinalCheck), std::string::npos);
            EXPECT_EQ(CountPrefix(fits.trace, "spi 5a") != 0, f.source == Source::kSfdp);

            // On a 16 MB part the address space ends first.
            if (bytes < 16 * 1024 * 1024) {
                ExpectRefused(
                    RunUpdate(Update{Image(0x20000, 7), BoardOf(f, size_kb), {"/O", top}, "", "kovrinux-sim", old}),
                    size_kb, before);
            }
        }
    }
}

// An image twice the part's size at base 0: every block verifies through
// the wrapped address, and the read-back finds the first block overwritten.
// The first 0x5234 bytes of both halves are equal, so that is where.
TEST(SizeSources, UnknownSizeReadsTheWholeAreaBack)
{
    for (const Family& f : kUnknown) {
        for (const size_t size_kb : f.sizes_kb) {
            SCOPED_TRACE(std::string(f.flash) + " " + std::to_string(size_kb) + "K");
            const size_t bytes = size_kb * 1024;
            const std::vector<uint8_t> block = Image(0x10000, 7);
            const Outcome fits = RunUpdate(Update{block, BoardOf(f, size_kb),
                                                  {"/O", Hex(bytes - 0x10000)}, ""});
            ExpectWritten(fits, static_cast<uint32_t>(bytes - 0x10000), block, OldFlash(bytes));
            EXPECT_TRUE(EndsWith(fits.out, kFinalCheck + std::string(16, '#') + " -- Final check OK. \n")) << fits.out;

            std::vector<uint8_t> image = Image(2 * bytes, 8);
            std::copy(image.begin(), image.begin() + 0x5234, image.begin() + static_cast<long>(bytes));
            image[bytes + 0x5234] = static_cast<uint8_t>(image[0x5234] ^ 0x5A);
            const Outcome past = RunUpdate(Update{image, BoardOf(f, size_kb), {}, ""});
            EXPECT_EQ(past.status, 1);
            const size_t check = past.out.rfind(kFinalCheck);
            ASSERT_NE(check, std::string::npos) << past.out;
            const std::string marks = past.out.substr(check + kFinalCheck.size());
            EXPECT_EQ(marks.find_first_not_of('#'), marks.find(" -- Final check Fail. \n"));
            EXPECT_TRUE(EndsWith(past.out, " -- Final check Fail. \n"
                                           "\n\rThe flash does not hold the image at 0x005234: "
                                           "the part may be smaller than the image.\n" + expected::kPartialImage))
                << past.out.substr(check);
            updatetest::ExpectClosedOnce(past, "ec fe");
        }
    }
    // kovrin's label has two leading blanks; its mark is U+2588.
    const Outcome o = RunUpdate(Update{Image(0x20000, 8), {"--flash", "ite", "--flash-size", "64"}, {}, "",
                                       "kovrin-sim"});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.out.find("\n  Final check...   : "), std::string::npos);
    EXPECT_TRUE(EndsWith(o.out, " -- Final check Fail. \n\n\rThe flash does not hold the image at 0x000000: "
                                "the part may be smaller than the image.\n" + expected::kPartialImage));
    updatetest::ExpectClosedOnce(o, "ec fe");
}

// Region updates, and the chips that take one half of a 256 KB image, on a
// part of 128 KB (fits) and of 64 KB (one half is still too large).
TEST(SizeSources, RegionsAndHalvedImages)
{
    struct Row {
        std::vector<std::string> board;
        size_t image_kb;
        std::vector<std::string> options;
        uint32_t at;        // where the data lands
        size_t from = 0;    // the image bytes it lands from
        size_t length = 0;  // 0: refused, or (with final) caught by the final check
        const char* final = nullptr;  // the final check's ending, where the size is unknown
    } const rows[] = {
        {{"--flash", "winbond"}, 60, {"/Bp", "/O", "20000"}, 0x31000, 0, 0xF000},
        {{"--flash", "winbond"}, 4, {"/BK", "/O", "40000"}, 0},
        {{"--flash", "spansion", "--flash-size", "128"}, 60, {"/Mn", "/O", "10000"}, 0x11000, 0, 0xF000},
        {{"--flash", "spansion", "--flash-size", "128"}, 60, {"/Bp", "/O", "10000"}, 0},
        {{"--flash", "ite", "--flash-size", "128"}, 60, {"/Mn", "/O", "10000"}, 0x11000, 0, 0xF000,
         "############### -- Final check OK. \n"},
        // 0x8987 takes the upper half, 0x8928 the lower one.
        {{"--flash", "mxic", "--flash-size", "128", "--chip-id", "8987"}, 256, {}, 0, 0x20000, 0x20000},
        {{"--flash", "mxic", "--flash-size", "128", "--chip-id", "8928"}, 256, {}, 0, 0, 0x20000},
        {{"--flash", "spansion", "--flash-size", "128", "--chip-id", "8987"}, 256, {}, 0, 0x20000, 0x20000},
        {{"--flash", "ite", "--flash-size", "128", "--chip-id", "8928"}, 256, {}, 0, 0, 0x20000,
         "################################ -- Final check OK. \n"},
        {{"--flash", "st", "--flash-size", "64", "--chip-id", "8987"}, 256, {}, 0},
        {{"--flash", "st", "--flash-size", "64", "--chip-id", "8928"}, 256, {}, 0},
        {{"--flash", "ite", "--flash-size", "64", "--chip-id", "8987"}, 256, {}, 0, 0, 0,
         "The flash may hold a partial image; run the update again before resetting the board.\n"},
    };
    for (const Row& row : rows) {
        std::string name;
        for (const std::string& word : row.board)
            name += word + " ";
        for (const std::string& word : row.options)
            name += word + " ";
        SCOPED_TRACE(name + std::to_string(row.image_kb) + "K");
        const std::vector<uint8_t> image = Image(row.image_kb * 1024, 9);
        const Outcome o = RunUpdate(Update{image, row.board, row.options, ""});
        const size_t bytes = updatetest::FlashBytesOf(row.board);
        if (row.length != 0) {
            ExpectWritten(o, row.at, std::vector<uint8_t>(image.begin() + static_cast<long>(row.from),
                                                          image.begin() + static_cast<long>(row.from + row.length)),
                          OldFlash(bytes));
        } else if (row.final == nullptr) {
            ExpectRefused(o, bytes / 1024, OldFlash(bytes));
        } else {
            EXPECT_EQ(o.status, 1);
            updatetest::ExpectClosedOnce(o, "ec fe");
        }
        if (row.final != nullptr)
            EXPECT_TRUE(EndsWith(o.out, row.final)) << o.out.substr(o.out.size() > 400 ? o.out.size() - 400 : 0);
        else
            EXPECT_EQ(o.out.find(kFinalCheck), std::string::npos);
    }
}

// A region, or a single block, past the end of a part whose size is unknown
// wraps onto the part's start without overlapping itself, so its read-back
// through the same wrapped addresses finds it whole: the places it landed
// on, below its start, must tell.
TEST(SizeSources, WrapThatDoesNotOverlapItselfIsCaught)
{
    struct Row {
        const char* flash;
        const char* size_kb;
        size_t image_kb;
        std::vector<std::string> options;
    } const rows[] = {
        {"ite-a", "64", 60, {"/Bp"}},        // 0x11000 lands on 0x01000
        {"ite", "128", 64, {"/O", "20000"}},  // 0x20000 lands on 0x00000
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.flash) + " " + row.size_kb + "K " + row.options[0]);
        const Outcome o = RunUpdate(
            Update{Image(row.image_kb * 1024, 9), {"--flash", row.flash, "--flash-size", row.size_kb}, row.options, ""});
        EXPECT_EQ(o.status, 1);
        EXPECT_TRUE(EndsWith(o.out, expected::kPartialImage)) << o.out.substr(o.out.size() - 200);
        updatetest::ExpectClosedOnce(o, "ec fe");
    }
}

}  // namespace
