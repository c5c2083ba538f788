// An update whose last byte would land past the part's capacity is refused
// after identification, before anything is erased, on every part whose id
// tells its size (parts of other sizes: size_sources_test.cpp).
#include "update_support.h"

namespace {

using updatetest::Image;
using updatetest::OldFlash;
using updatetest::OldFlashWith;
using updatetest::RunUpdate;
using updatetest::Update;

TEST(Capacity, AreaPastThePartIsRefused)
{
    struct Row {
        std::vector<std::string> board;
        size_t image;
        std::vector<std::string> options;
        const char* refusal;  // null: the update goes ahead
        uint32_t at;          // where an accepted image lands
    } const rows[] = {
        {{"--flash", "winbond", "--flash-size", "512"}, 1024 * 1024, {}, "(512K)", 0},
        {{"--flash", "mxic-pp32"}, 128 * 1024, {}, "(64K)", 0},
        {{"--flash", "st", "--flash-size", "128"}, 64 * 1024, {"/O", "20000"}, "(128K)", 0},
        {{"--flash", "st", "--flash-size", "128"}, 64 * 1024, {"/O", "10000"}, nullptr, 0x10000},
        {{"--flash", "sst"}, 61440, {"/Bp", "/O", "30000"}, "(256K)", 0},
        {{"--flash", "gigadevice"}, 192 * 1024, {"/O", "20000"}, "(256K)", 0},
        {{"--flash", "gigadevice"}, 192 * 1024, {"/O", "10000"}, nullptr, 0x10000},
        {{"--flash", "mxic", "--flash-size", "128"}, 61440, {"/Mn", "/O", "10000"}, nullptr, 0x11000},
    };
    for (const Row& row : rows) {
        const std::vector<uint8_t> image = Image(row.image);
        Update u{image, row.board, row.options, ""};
        SCOPED_TRACE(row.board[1] + " " + std::to_string(row.image / 1024) + "K");
        const auto o = RunUpdate(u);
        const size_t flash = updatetest::FlashBytesOf(row.board);
        if (row.refusal != nullptr) {
            EXPECT_EQ(o.status, 1);
            const std::string line = std::string("\n\rImage does not fit this flash ") + row.refusal + "!\n";
            EXPECT_EQ(o.out.substr(o.out.size() - line.size()), line);
            EXPECT_FLASH(o.flash, OldFlash(flash));
        } else {
            EXPECT_EQ(o.status, 0);
            EXPECT_FLASH(o.flash, OldFlashWith(row.at, image, flash));
        }
        updatetest::ExpectClosedOnce(o, "ec fe");
    }
}

}  // namespace
