#pragma once

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillery {

// Removes the space character (only) at both ends.
std::u16string_view TrimBlanks(std::u16string_view text);
std::string_view TrimBlanks(std::string_view text);

// Appends a number in plain decimal ("-" when negative, no padding) to a
// byte or UTF-16 text.
template <typename Text> void AppendDecimal(Text& out, std::int64_t value)
{
    char digits[24] = {};
    char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (const char* digit = digits; digit != end; ++digit) {
        out.push_back(static_cast<typename Text::value_type>(*digit));
    }
}

// A number in plain decimal, as AppendDecimal writes it.
std::u16string ToDecimal(std::int64_t value);

// The other-case form of a letter of the Windows-1252 repertoire, else c.
char16_t FoldCase(char16_t c);

// The text with every control character (U+0000-U+001F, DEL, U+0080-U+009F)
// replaced by a visible escape ("\x1b", "\u0085"), so that bytes from a file
// shown in a message cannot move the cursor, retitle the terminal or forge lines.
std::string EscapeControls(std::string_view utf8);

} // namespace quillery
