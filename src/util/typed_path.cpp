#include "util/typed_path.h"

#include "util/path_text.h"

#include <optional>

namespace quillery {

namespace {

constexpr std::u16string_view kFileScheme = u"file://";
constexpr std::u16string_view kLocalHost = u"localhost";

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

std::u16string_view TrimWhitespace(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<int> HexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return std::nullopt;
}

// A URI's path, each "%XX" taken as one byte of the name; a "%" not
// followed by two hex digits is itself, as in a URI written unescaped.
std::u16string DecodeEscapes(std::u16string_view uriPath)
{
    const std::string text = ToUtf8(uriPath);
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const std::optional<int> high = HexValue(text[i + 1]);
            const std::optional<int> low = HexValue(text[i + 2]);
            if (high && low) {
                bytes += static_cast<char>(*high * 16 + *low);
                i += 2;
                continue;
            }
        }
        bytes += text[i];
    }
    return FromUtf8(bytes);
}

bool StartsWithCaseBlind(std::u16string_view text, std::u16string_view prefix)
{
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? static_cast<char16_t>(text[i] | 0x20) : text[i];
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::u16string MeantPath(std::u16string_view text, std::u16string_view home)
{
    const std::u16string_view trimmed = TrimWhitespace(text);
    if (StartsWithCaseBlind(trimmed, kFileScheme)) {
        std::u16string_view rest = trimmed.substr(kFileScheme.size());
        if (StartsWithCaseBlind(rest, kLocalHost)) {
            rest.remove_prefix(kLocalHost.size());
        }
        if (rest.starts_with(u'/')) {
            return DecodeEscapes(rest);
        }
        return std::u16string(trimmed);
    }
    if (!home.empty() && (trimmed == u"~" || trimmed.starts_with(u"~/"))) {
        return std::u16string(home) + std::u16string(trimmed.substr(1));
    }
    return std::u16string(trimmed);
}

} // namespace quillery
