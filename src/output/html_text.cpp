#include "output/html_text.h"

namespace quillery {

namespace {

bool NeedsEscape(char c)
{
    return c == '&' || c == '<' || c == '>';
}

} // namespace

void AppendHtmlEscaped(std::string& out, std::string_view bytes)
{
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (!NeedsEscape(bytes[i])) {
            continue;
        }
        out.append(bytes.substr(runStart, i - runStart));
        switch (bytes[i]) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        default: out += "&gt;"; break;
        }
        runStart = i + 1;
    }
    out.append(bytes.substr(runStart));
}

} // namespace quillery
