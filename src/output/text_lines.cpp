#include "output/text_lines.h"

#include "util/byte_scan.h"

namespace quillery {

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end = FindLineEnd(text, 0); end < text.size(); end = FindLineEnd(text, start)) {
        lines.push_back(text.substr(start, end - start));
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        start = end + (crLf ? 2 : 1);
    }
    lines.push_back(text.substr(start));
    return lines;
}

} // namespace quillery
