#include "flash_fixture.h"

#include <cstdio>
#include <sstream>

#include "flash/ident.h"
#include "hostio/mailbox.h"

namespace flash_test {

void FlashTest::BootPart(sim::Part kind, bool instant, const std::vector<uint8_t>& before)
{
    config.flash = kind;
    config.instant_flash = instant;
    flash_image = before;
    Boot();
    hostio::SendEcCommand(0xDC);
    hostio::ReadEcData();
    part = flash::IdentifyFlash();
    TakeConsole();
    TakeTrace();
}

uint8_t Pattern(size_t i)
{
    return static_cast<uint8_t>((i * 131 + (i >> 8) * 7 + (i >> 16) * 29 + 0x5A) & 0xFF);
}

void FlashTest::SetImage(size_t size, size_t slack)
{
    image.resize(size);
    for (size_t i = 0; i < size; ++i)
        image[i] = Pattern(i);
    buffer_ = image;
    buffer_.resize(size + slack, 0x00);
}

flash::BlockImage FlashTest::Block(uint32_t block, uint32_t image_block) const
{
    const uint64_t left = image.size() - uint64_t{block} * flash::kBlockBytes;
    const uint32_t length = static_cast<uint32_t>(left < flash::kBlockBytes ? left : flash::kBlockBytes);
    return {buffer_.data() + image_block * flash::kBlockBytes, length, image_block * flash::kBlockBytes};
}

std::vector<std::string> FlashTest::Spi(bool counts)
{
    std::vector<std::string> lines;
    std::istringstream in(TakeTrace());
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("spi ", 0) != 0)
            continue;
        if (!counts && line.rfind("spi 05", 0) == 0)
            line = "spi 05";
        lines.push_back(line);
    }
    return lines;
}

size_t CountPrefix(const std::vector<std::string>& lines, const std::string& prefix)
{
    size_t n = 0;
    for (const std::string& line : lines)
        n += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
}

size_t CountOf(const std::string& s, const std::string& text)
{
    size_t n = 0;
    for (size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + text.size()))
        ++n;
    return n;
}

std::string Marks(size_t n)
{
    return std::string(n, '#');
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

}  // namespace flash_test
