#pragma once

#include "util/text_encoding.h"

#include <span>
#include <string>
#include <string_view>

namespace quillery {

// What a book's file name can be made of, as read (in the run's encoding).
struct BookNameParts {
    std::string_view titleLine;
    std::string_view title;
    std::span<const std::string_view> authors;
};

inline constexpr std::string_view kClassicNamePattern = "{title_line}";
inline constexpr std::string_view kMarkdownNamePattern = "{title}";

// The file name of a book: `pattern` (UTF-8) with {title}, {title_line} and
// {authors} (joined by ", ") filled in, made safe for the file system in
// `encoding`, then `extension`. Leading dots and blanks go, so the file is
// not hidden; a name with nothing left is "Untitled". Any other text in
// braces stays as written.
std::u16string BookFileName(std::string_view pattern, const BookNameParts& parts, TextEncoding encoding,
                            std::u16string_view extension);

// The name of a classic book file, from its title line (as read) and the
// user's pattern ("" for kClassicNamePattern), ending in ".txt".
std::u16string ClassicBookFileName(std::string_view titleLine, std::string_view pattern, TextEncoding encoding);

// What is wrong with a name pattern, worded for the user ("unknown field
// "{year}" in the name pattern ..."); "" when it is fine.
std::string NamePatternProblem(std::string_view pattern);

} // namespace quillery
