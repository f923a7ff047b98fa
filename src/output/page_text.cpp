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
    struct Form {
        unsigned char firstLead, lastLead;
        std::size_t length;
        std::uint32_t leadBits, min;
    };
    constexpr Form kForms[] = {
        {0xC2, 0xDF, 2, 0x1F, 0x80}, {0xE0, 0xEF, 3, 0x0F, 0x800}, {0xF0, 0xF4, 4, 0x07, 0x10000}};
    const Form* form = nullptr;
    for (const Form& candidate : kForms) {
        if (lead >= candidate.firstLead && lead <= candidate.lastLead) {
            form = &candidate;
        }
    }
    if (form == nullptr) {
        return 0;
    }
    const std::size_t length = form->length;
    code = lead & form->leadBits;
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
    return code < form->min || surrogate || code > 0x10FFFF ? 0 : length;
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
