// Strict readers for the values of the board options: the whole text must
// be the number, with no sign, blank or trailing character.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace sim::host {

// Decimal digits, at most max.
std::optional<uint64_t> ParseDecimal(std::string_view text, uint64_t max);
// Hex digits (an optional 0x in front), at most max.
std::optional<uint64_t> ParseHex(std::string_view text, uint64_t max);
// A byte: decimal, or hex with 0x in front.
std::optional<uint8_t> ParseByte(std::string_view text);

// Splits "A<separator>B"; nothing when the separator is missing.
std::optional<std::pair<std::string_view, std::string_view>> Split(std::string_view text, char separator);

}  // namespace sim::host
