#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillery {

// Removes the space character (only) at both ends.
std::u16string_view TrimBlanks(std::u16string_view text);
std::string_view TrimBlanks(std::string_view text);

// A signed 32-bit number in plain decimal: "-" when negative, no padding.
std::u16string ToDecimal(std::int64_t value);

// The other-case form of a letter of the Windows-1252 repertoire, else c.
char16_t FoldCase(char16_t c);

} // namespace quillery
