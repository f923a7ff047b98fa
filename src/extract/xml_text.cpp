#include "extract/xml_text.h"

#include "util/byte_scan.h"
#include "util/utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace quillery {

namespace {

constexpr std::string_view kCdataOpen = "<![CDATA[";
constexpr std::string_view kCdataClose = "]]>";
constexpr char32_t kMaxCodePoint = 0x10FFFF;

struct NamedEntity {
    std::string_view name; // with its ";"
    char character;
};

constexpr std::array<NamedEntity, 5> kNamedEntities{{
    {"amp;", '&'},
    {"lt;", '<'},
    {"gt;", '>'},
    {"quot;", '"'},
    {"apos;", '\''},
}};

struct Reference {
    char32_t codePoint;
    std::size_t length; // characters after the "&", the ";" included
};

int DigitValue(char c, bool hex)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (hex && c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (hex && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsValidCodePoint(char32_t c)
{
    return c != 0 && c <= kMaxCodePoint && !(c >= 0xD800 && c <= 0xDFFF);
}

// `rest` follows "&#": decimal digits or "x" and hex digits, then ";".
std::optional<Reference> ReadCharacterReference(std::string_view rest)
{
    const bool hex = !rest.empty() && rest[0] == 'x';
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
    if (pos == firstDigit || pos >= rest.size() || rest[pos] != ';' || !IsValidCodePoint(value)) {
        return std::nullopt;
    }
    return Reference{value, pos + 2};
}

// `rest` follows an "&".
std::optional<Reference> ReadReference(std::string_view rest)
{
    if (!rest.empty() && rest[0] == '#') {
        return ReadCharacterReference(rest.substr(1));
    }
    for (const NamedEntity& entity : kNamedEntities) {
        if (rest.starts_with(entity.name)) {
            return Reference{static_cast<char32_t>(entity.character), entity.name.size()};
        }
    }
    return std::nullopt;
}

} // namespace

void AppendDecodedXmlText(std::string& out, std::string_view raw)
{
    std::size_t i = 0;
    while (i < raw.size()) {
        // Plain text up to the next "&" or "<" goes over in one piece.
        const std::size_t mark = FindXmlMarkup(raw, i);
        out.append(raw.substr(i, mark - i));
        i = mark;
        if (i == raw.size()) {
            break;
        }
        const std::string_view rest = raw.substr(i);
        if (rest.starts_with(kCdataOpen)) {
            const std::size_t end = rest.find(kCdataClose, kCdataOpen.size());
            if (end == std::string_view::npos) {
                out.append(rest);
                break;
            }
            out.append(rest.substr(kCdataOpen.size(), end - kCdataOpen.size()));
            i += end + kCdataClose.size();
            continue;
        }
        if (rest[0] == '&') {
            if (const auto reference = ReadReference(rest.substr(1))) {
                AppendUtf8(out, reference->codePoint);
                i += 1 + reference->length;
                continue;
            }
        }
        out.push_back(rest[0]);
        ++i;
    }
}

std::string DecodeXmlText(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    AppendDecodedXmlText(out, raw);
    return out;
}

} // namespace quillery
