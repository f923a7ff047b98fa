#include "util/text_encoding.h"

#include "util/code_page.h"
#include "util/path_text.h"

#include <utility>

namespace quillery {

namespace {

constexpr std::string_view kUtf8Name = "utf-8";
constexpr std::string_view kWindows1252Name = "windows-1252";

struct SequenceForm {
    int extra;              // continuation bytes
    char32_t min;           // the smallest code point the form may hold
    unsigned char leadMask; // the lead byte's code-point bits
};

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The code point of the valid UTF-8 sequence at bytes[i] and its length, or
// a length of 0 when no valid sequence starts there.
std::pair<char32_t, std::size_t> ValidSequenceAt(std::string_view bytes, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    SequenceForm form{};
    if ((lead & 0xE0) == 0xC0) {
        form = {1, 0x80, 0x1F};
    } else if ((lead & 0xF0) == 0xE0) {
        form = {2, 0x800, 0x0F};
    } else if ((lead & 0xF8) == 0xF0) {
        form = {3, 0x10000, 0x07};
    } else {
        return {0, 0};
    }
    const std::size_t length = static_cast<std::size_t>(form.extra) + 1;
    if (bytes.size() - i < length) {
        return {0, 0};
    }
    char32_t cp = lead & form.leadMask;
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(bytes[i + k]);
        if (!IsContinuation(byte)) {
            return {0, 0};
        }
        cp = (cp << 6) | (byte & 0x3F);
    }
    if (cp < form.min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
        return {0, 0};
    }
    return {cp, length};
}

void AppendCodePoint(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
}

} // namespace

std::string_view EncodingName(TextEncoding encoding)
{
    return encoding == TextEncoding::utf8 ? kUtf8Name : kWindows1252Name;
}

std::optional<TextEncoding> EncodingNamed(std::string_view name)
{
    if (name == kUtf8Name) {
        return TextEncoding::utf8;
    }
    if (name == kWindows1252Name) {
        return TextEncoding::windows1252;
    }
    return std::nullopt;
}

void AppendDecodedUtf8(std::u16string& out, std::string_view bytes)
{
    out.reserve(out.size() + bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            out.push_back(byte);
            ++i;
            continue;
        }
        const auto [cp, length] = ValidSequenceAt(bytes, i);
        if (length == 0) {
            out.push_back(Windows1252ToChar(byte));
            ++i;
        } else {
            AppendCodePoint(out, cp);
            i += length;
        }
    }
}

void AppendDecodedText(std::u16string& out, std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::utf8) {
        AppendDecodedUtf8(out, bytes);
    } else {
        AppendDecodedWindows1252(out, bytes);
    }
}

std::u16string DecodeText(std::string_view bytes, TextEncoding encoding)
{
    std::u16string out;
    AppendDecodedText(out, bytes, encoding);
    return out;
}

void AppendEncodedText(std::string& out, std::u16string_view text, TextEncoding encoding)
{
    if (encoding == TextEncoding::utf8) {
        out += ToUtf8(text);
    } else {
        AppendEncodedWindows1252(out, text);
    }
}

} // namespace quillery
