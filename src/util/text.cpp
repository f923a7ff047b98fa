#include "util/text.h"

namespace quillery {

std::u16string_view TrimBlanks(std::u16string_view text)
{
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(u' ');
    return text.substr(first, last - first + 1);
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::u16string ToDecimal(std::int64_t value)
{
    std::u16string digits;
    AppendDecimal(digits, value);
    return digits;
}

char16_t FoldCase(char16_t c)
{
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 0x20);
    }
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<char16_t>(c - 0x20);
    }
    switch (c) {
    case 0x0152:
        return 0x0153;
    case 0x0153:
        return 0x0152;
    case 0x0160:
        return 0x0161;
    case 0x0161:
        return 0x0160;
    case 0x017D:
        return 0x017E;
    case 0x017E:
        return 0x017D;
    case 0x0178:
        return 0x00FF;
    case 0x00FF:
        return 0x0178;
    default:
        return c;
    }
}

std::string EscapeControls(std::string_view utf8)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const bool c1 = byte == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else if (c1) {
            const auto code = static_cast<unsigned char>(utf8[++i]);
            out += "\\u00";
            out += kHex[code >> 4];
            out += kHex[code & 0xF];
        } else {
            out += utf8[i];
        }
    }
    return out;
}

} // namespace quillery
