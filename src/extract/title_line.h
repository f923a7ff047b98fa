#pragma once

#include <string_view>
#include <vector>

namespace quillery {

// A book's title line split into the title and its authors.
struct TitleParts {
    std::string_view title;
    std::vector<std::string_view> authors;
};

// Splits a title line (no byte-order mark): the parenthesised group that ends
// the line holds the authors, separated by ";" ("Effective Notetaking (Study
// Skills Book 1) (McPherson, Fiona)" is by "McPherson, Fiona"). A line with no
// such group, or nothing before it, is all title and names no author.
TitleParts SplitTitleLine(std::string_view titleLine);

} // namespace quillery
