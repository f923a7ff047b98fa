#include "util/text_encoding.h"

#include "util/byte_scan.h"
#include "util/code_page.h"
#include "util/path_text.h"
#include "util/utf8.h"

#include <cstdint>
#include <utility>

namespace quillery {

namespace {

constexpr std::string_view kUtf8Name = "utf-8";
constexpr std::string_view kWindows1252Name = "windows-1252";

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
        const auto [cp, length] = DecodeUtf8At(bytes, i);
        if (length == 0) {
            out.push_back(Windows1252ToChar(byte));
            ++i;
        } else {
            AppendUtf16(out, cp);
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

bool IsValidUtf8(std::string_view bytes)
{
    return FindInvalidUtf8(bytes, 0) == bytes.size();
}

void AppendValidUtf8(std::string& out, std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t bad = FindInvalidUtf8(bytes, i);
        out.append(bytes.substr(i, bad - i));
        if (bad == bytes.size()) {
            break;
        }
        AppendUtf8(out, Windows1252ToChar(static_cast<unsigned char>(bytes[bad])));
        i = bad + 1;
    }
}

std::string_view KeptText(std::string_view bytes, TextEncoding encoding, std::string& scratch)
{
    if (encoding == TextEncoding::windows1252 || IsValidUtf8(bytes)) {
        return bytes;
    }
    scratch.clear();
    AppendValidUtf8(scratch, bytes);
    return scratch;
}

} // namespace quillery
