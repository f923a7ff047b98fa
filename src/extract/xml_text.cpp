#include "extract/xml_text.h"

#include "util/code_page.h"
#include "util/path_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace quillery {

namespace {

constexpr std::u16string_view kCdataOpen = u"<![CDATA[";
constexpr std::u16string_view kCdataClose = u"]]>";
constexpr char32_t kMaxCodePoint = 0x10FFFF;

struct NamedEntity {
    std::u16string_view name; // with its ";"
    char16_t character;
};

constexpr std::array<NamedEntity, 5> kNamedEntities{{
    {u"amp;", u'&'},
    {u"lt;", u'<'},
    {u"gt;", u'>'},
    {u"quot;", u'"'},
    {u"apos;", u'\''},
}};

struct Reference {
    char32_t codePoint;
    std::size_t length; // characters after the "&", the ";" included
};

int DigitValue(char16_t c, bool hex)
{
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (hex && c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (hex && c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

bool IsValidCodePoint(char32_t c)
{
    return c != 0 && c <= kMaxCodePoint && !(c >= 0xD800 && c <= 0xDFFF);
}

// `rest` follows "&#": decimal digits or "x" and hex digits, then ";".
std::optional<Reference> ReadCharacterReference(std::u16string_view rest)
{
    const bool hex = !rest.empty() && rest[0] == u'x';
    const std::uint32_t base = hex ? 16 : 10;
    std::size_t pos = hex ? 1 : 0;
    const std::size_t firstDigit = pos;
    std::uint32_t value = 0;
    while (pos < rest.size()) {
        const int digit = DigitValue(rest[pos], hex);
        if (digit < 0) {
            break;
        }
        // Held just above the largest code point, so long digit runs cannot overflow.
        value = std::min<std::uint32_t>(value * base + static_cast<std::uint32_t>(digit), kMaxCodePoint + 1);
        ++pos;
    }
    if (pos == firstDigit || pos >= rest.size() || rest[pos] != u';' || !IsValidCodePoint(value)) {
        return std::nullopt;
    }
    return Reference{value, pos + 2};
}

// `rest` follows an "&".
std::optional<Reference> ReadReference(std::u16string_view rest)
{
    if (!rest.empty() && rest[0] == u'#') {
        return ReadCharacterReference(rest.substr(1));
    }
    for (const NamedEntity& entity : kNamedEntities) {
        if (rest.starts_with(entity.name)) {
            return Reference{entity.character, entity.name.size()};
        }
    }
    return std::nullopt;
}

// The character as it would have read had it stood in the file: itself in
// UTF-8, its UTF-8 bytes each read as a character in Windows-1252.
void AppendReferenced(std::u16string& out, char32_t c, TextEncoding encoding)
{
    std::u16string utf16;
    if (c < 0x10000) {
        utf16.push_back(static_cast<char16_t>(c));
    } else {
        utf16.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        utf16.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
    if (encoding == TextEncoding::utf8) {
        out += utf16;
    } else {
        AppendDecodedWindows1252(out, ToUtf8(utf16));
    }
}

} // namespace

std::u16string DecodeXmlText(std::u16string_view raw, TextEncoding encoding)
{
    std::u16string out;
    out.reserve(raw.size());
    std::size_t i = 0;
    while (i < raw.size()) {
        const std::u16string_view rest = raw.substr(i);
        if (rest.starts_with(kCdataOpen)) {
            const std::size_t end = rest.find(kCdataClose, kCdataOpen.size());
            if (end == std::u16string_view::npos) {
                out.append(rest);
                break;
            }
            out.append(rest.substr(kCdataOpen.size(), end - kCdataOpen.size()));
            i += end + kCdataClose.size();
            continue;
        }
        if (rest[0] == u'&') {
            if (const auto reference = ReadReference(rest.substr(1))) {
                AppendReferenced(out, reference->codePoint, encoding);
                i += 1 + reference->length;
                continue;
            }
        }
        out.push_back(rest[0]);
        ++i;
    }
    return out;
}

} // namespace quillery
