// "/O" takes an optional "0x" and hexadecimal digits, nothing else: any
// other text is a wrong parameter before the EC is touched, never base 0.
// (The low byte of a base is ignored.)
#include "expected_text.h"
#include "update_support.h"

namespace {

TEST(BaseOption, OnlyHexadecimalTextIsABase)
{
    const std::vector<uint8_t> image = updatetest::Image(64 * 1024);
    for (const char* text : {"20000", "0x20000", "0X20000", "0x00020000", "200aB"}) {
        SCOPED_TRACE(text);
        const auto o = updatetest::RunUpdate(updatetest::Update{image, {}, {"/O", text}, ""});
        EXPECT_EQ(o.status, 0);
        EXPECT_FLASH(o.flash, updatetest::OldFlashWith(0x20000, image));
    }
    for (const char* text : {"2OOOO", "1_0000", "zz", "", "0x", "0X", "x20000", "-1", " 1", "+1", "1 ", "0x-1",
                             "20000h", "0x0x20000", "１"}) {
        SCOPED_TRACE(std::string("[") + text + "]");
        const auto o = updatetest::RunUpdate(updatetest::Update{image, {}, {"/O", text}, ""});
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, expected::Usage() + expected::kWrongParameter);
        EXPECT_TRUE(o.trace.empty());
        EXPECT_FLASH(o.flash, updatetest::OldFlash());
    }
}

}  // namespace
