#include "extract/title_line.h"

namespace quillery {

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Where the "(" that opens the group closed by the line's last ")" stands,
// counting nested pairs; npos when it is never opened.
std::size_t GroupOpening(std::string_view line)
{
    std::size_t depth = 0;
    for (std::size_t at = line.size(); at-- > 0;) {
        if (line[at] == ')') {
            ++depth;
        } else if (line[at] == '(' && --depth == 0) {
            return at;
        }
    }
    return std::string_view::npos;
}

std::vector<std::string_view> SplitAuthors(std::string_view group)
{
    std::vector<std::string_view> authors;
    while (!group.empty()) {
        const auto semicolon = group.find(';');
        if (const std::string_view author = Trim(group.substr(0, semicolon)); !author.empty()) {
            authors.push_back(author);
        }
        group = semicolon == std::string_view::npos ? std::string_view{} : group.substr(semicolon + 1);
    }
    return authors;
}

} // namespace

TitleParts SplitTitleLine(std::string_view titleLine)
{
    const std::string_view line = Trim(titleLine);
    if (!line.ends_with(')')) {
        return {line, {}};
    }
    const std::size_t opening = GroupOpening(line);
    if (opening == std::string_view::npos) {
        return {line, {}};
    }
    const std::string_view title = Trim(line.substr(0, opening));
    // A line that is only "(X)" is a title in parentheses, not an author with no book.
    if (title.empty()) {
        return {line, {}};
    }
    return {title, SplitAuthors(line.substr(opening + 1, line.size() - opening - 2))};
}

} // namespace quillery
