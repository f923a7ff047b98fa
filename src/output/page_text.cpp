#include "output/page_text.h"

#include <cstdint>

namespace quillery {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the UTF-8 sequence at `at` and its code point; a length of 0
// for a byte that starts no valid sequence.
std::size_t ReadSequence(std::string_view text, std::size_t at, std::uint32_t& code)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1Fu, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0Fu, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07u, min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < min || surrogate || code > 0x10FFFF ? 0 : length;
}

bool Forbidden(std::uint32_t code)
{
    const bool c1 = code >= 0x7F && code <= 0x9F;
    const bool nonCharacter = (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFEu) == 0xFFFEu;
    return c1 || nonCharacter;
}

void AppendAscii(std::string& out, char c)
{
    switch (c) {
    case '&':
        out += "&amp;";
        return;
    case '<':
        out += "&lt;";
        return;
    case '>':
        out += "&gt;";
        return;
    case '"':
        out += "&quot;";
        return;
    case '\'':
        out += "&#39;";
        return;
    default:
        break;
    }
    const bool control = (c >= 0 && c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F;
    if (control) {
        out += kReplacement;
    } else {
        out += c;
    }
}

} // namespace

void AppendPageText(std::string& out, std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            AppendAscii(out, text[at++]);
            continue;
        }
        std::uint32_t code = 0;
        const std::size_t length = ReadSequence(text, at, code);
        if (length == 0 || Forbidden(code)) {
            out += kReplacement;
            at += length == 0 ? 1 : length;
        } else {
            out += text.substr(at, length);
            at += length;
        }
    }
}

void AppendPageLines(std::string& out, std::string_view text)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            AppendPageText(out, text.substr(start, i - start));
            out += "<br>";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    AppendPageText(out, text.substr(start));
}

} // namespace quillery
