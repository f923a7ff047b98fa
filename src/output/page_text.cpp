#include "output/page_text.h"

#include "output/text_lines.h"
#include "util/utf8.h"

namespace quillery {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool Forbidden(char32_t code)
{
    const bool c1 = code >= 0x7F && code <= 0x9F;
    const bool nonCharacter = (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE;
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
        const auto [code, length] = DecodeUtf8At(text, at);
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
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            out += "<br>";
        }
        AppendPageText(out, lines[i]);
    }
}

} // namespace quillery
