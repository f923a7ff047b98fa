#pragma once

#include <string>
#include <string_view>

namespace quillery {

// Appends one line of text (UTF-8, no line break in it) so that a CommonMark
// reader, and the notes apps that extend it, show it as written: nothing in
// it starts a heading, list, quote, fence, table, tag, link, emphasis, tag
// word or math, and blanks at its ends are kept.
void AppendMarkdownLine(std::string& out, std::string_view line);

// Appends a text of one or more lines (CR LF, LF or CR between them), each
// line starting with `prefix` ("> " inside a block quote): lines in a row
// are joined by hard line breaks, empty lines between them part paragraphs,
// and empty lines at either end go. Ends with a line break.
void AppendMarkdownText(std::string& out, std::string_view text, std::string_view prefix);

} // namespace quillery
