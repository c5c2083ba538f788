#include "values.h"

namespace sim::host {

namespace {

std::optional<uint64_t> ParseDigits(std::string_view text, unsigned base, uint64_t max)
{
    if (text.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        if (value > (max - digit) / base)
            return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

bool HasHexPrefix(std::string_view text)
{
    return text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

std::optional<uint64_t> ParseDecimal(std::string_view text, uint64_t max)
{
    return ParseDigits(text, 10, max);
}

std::optional<uint64_t> ParseHex(std::string_view text, uint64_t max)
{
    if (HasHexPrefix(text))
        text.remove_prefix(2);
    return ParseDigits(text, 16, max);
}

std::optional<uint8_t> ParseByte(std::string_view text)
{
    const std::optional<uint64_t> value =
        HasHexPrefix(text) ? ParseDigits(text.substr(2), 16, 0xFF) : ParseDigits(text, 10, 0xFF);
    if (!value)
        return std::nullopt;
    return static_cast<uint8_t>(*value);
}

std::optional<std::pair<std::string_view, std::string_view>> Split(std::string_view text, char separator)
{
    const size_t at = text.find(separator);
    if (at == std::string_view::npos)
        return std::nullopt;
    return std::pair{text.substr(0, at), text.substr(at + 1)};
}

}  // namespace sim::host
