#include "output/html_text.h"

#include "util/byte_scan.h"

namespace quillery {

void AppendHtmlEscaped(std::string& out, std::string_view bytes)
{
    out.reserve(out.size() + bytes.size());
    std::size_t runStart = 0;
    for (std::size_t i = FindHtmlSpecial(bytes, 0); i < bytes.size(); i = FindHtmlSpecial(bytes, i + 1)) {
        out.append(bytes.substr(runStart, i - runStart));
        switch (bytes[i]) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        default:
            out += "&gt;";
            break;
        }
        runStart = i + 1;
    }
    out.append(bytes.substr(runStart));
}

} // namespace quillery
