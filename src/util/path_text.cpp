#include "util/path_text.h"

#include "util/utf8.h"

namespace quillery {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A byte that is no part of valid UTF-8 is held as the lone low surrogate
// U+DC00 + byte, so that it turns back into the same byte.
constexpr char32_t kEscapeBase = 0xDC00;
constexpr char32_t kFirstEscape = 0xDC80;
constexpr char32_t kLastEscape = 0xDCFF;

// Decodes one UTF-8 sequence at text[i], advancing i; a byte that starts no
// valid sequence gives its escape and consumes one byte.
char32_t NextUtf8(std::string_view text, std::size_t& i)
{
    const auto [cp, length] = DecodeUtf8At(text, i);
    if (length == 0) {
        return kEscapeBase + static_cast<unsigned char>(text[i++]);
    }
    i += length;
    return cp;
}

} // namespace

std::u16string FromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        AppendUtf16(out, NextUtf8(text, i));
    }
    return out;
}

std::string ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (cp >= kFirstEscape && cp <= kLastEscape) {
            out.push_back(static_cast<char>(cp - kEscapeBase));
            continue;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = kReplacement;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::filesystem::path ToFsPath(std::u16string_view path)
{
#ifdef _WIN32
    // Unit for unit: a conversion would refuse a lone surrogate, which a
    // Windows name may hold.
    return {std::wstring(path.begin(), path.end())};
#else
    return {ToUtf8(path)};
#endif
}

std::u16string FromFsPath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return std::u16string(path.native().begin(), path.native().end());
#else
    return FromUtf8(path.native());
#endif
}

} // namespace quillery
