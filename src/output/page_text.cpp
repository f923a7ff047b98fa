#include "output/page_text.h"

#include "output/text_lines.h"
#include "util/byte_set.h"
#include "util/utf8.h"

namespace quillery {

namespace {

using namespace std::string_view_literals;

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

bool Forbidden(char32_t code)
{
    const bool c1 = code >= 0x7F && code <= 0x9F;
    const bool nonCharacter = (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE;
    return c1 || nonCharacter;
}

// The ASCII bytes that are not written as they are: the five that markup
// reads, and the controls a page may not hold (tab and line ends may stand).
constexpr ByteSet kAsciiToChange("&<>\"'\x7F\x01\x02\x03\x04\x05\x06\x07\x08\x0B\x0C\x0E\x0F"
                                 "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F\x00"sv);

std::string_view ChangedAscii(char c)
{
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return kReplacement;
    }
}

} // namespace

void AppendPageText(std::string& out, std::string_view text)
{
    // Runs of bytes that stand as they are go out as one piece.
    std::size_t run = 0;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (static_cast<unsigned char>(c) < 0x80) {
            if (!kAsciiToChange.Contains(c)) {
                ++at;
                continue;
            }
            out.append(text.substr(run, at - run));
            out += ChangedAscii(c);
            run = ++at;
            continue;
        }
        const auto [code, length] = DecodeUtf8At(text, at);
        if (length != 0 && !Forbidden(code)) {
            at += length;
            continue;
        }
        out.append(text.substr(run, at - run));
        out += kReplacement;
        at += length == 0 ? 1 : length;
        run = at;
    }
    out.append(text.substr(run));
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
