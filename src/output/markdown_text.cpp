#include "output/markdown_text.h"

#include "output/text_lines.h"
#include "util/byte_set.h"

namespace quillery {

namespace {

// Characters that mean something inline anywhere in a line: CommonMark's
// own, plus what notes apps add (== highlight, ~~ strike, $ math, %% comment,
// # tag, ^ block id, | table cell).
constexpr ByteSet kInlineMarks("\\`*_[]<>&#|~=$%^");

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Blanks at a line's ends would be dropped, and four at its start can make
// code: they are written as character references, which read back as the
// blanks themselves.
void AppendBlank(std::string& out, char c)
{
    out += c == '\t' ? "&#9;" : "&#32;";
}

// The end of a run of digits that starts the line and is followed by "." or
// ")", which would make an ordered list item; 0 when there is none.
std::size_t ListNumberEnd(std::string_view line, std::size_t start)
{
    std::size_t end = start;
    while (end < line.size() && IsDigit(line[end])) {
        ++end;
    }
    const bool marker = end > start && end < line.size() && (line[end] == '.' || line[end] == ')');
    return marker ? end : 0;
}

} // namespace

void AppendMarkdownLine(std::string& out, std::string_view line)
{
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first])) {
        AppendBlank(out, line[first++]);
    }
    std::size_t last = line.size();
    while (last > first && IsBlank(line[last - 1])) {
        --last;
    }
    const std::size_t listNumberEnd = ListNumberEnd(line, first);
    for (std::size_t i = first; i < last; ++i) {
        const char c = line[i];
        const bool startMark = i == first && (c == '-' || c == '+');
        if (startMark || (listNumberEnd != 0 && i == listNumberEnd) || kInlineMarks.Contains(c)) {
            out += '\\';
        }
        out += c;
    }
    for (std::size_t i = last; i < line.size(); ++i) {
        AppendBlank(out, line[i]);
    }
}

void AppendMarkdownText(std::string& out, std::string_view text, std::string_view prefix)
{
    const std::vector<std::string_view> lines = SplitLines(text);
    std::size_t first = 0;
    std::size_t last = lines.size();
    while (first < last && lines[first].empty()) {
        ++first;
    }
    while (last > first && lines[last - 1].empty()) {
        --last;
    }
    // An empty line of a quote is its marker alone, with no blank after it.
    const std::string_view emptyLine = prefix.substr(0, prefix.find_last_not_of(' ') + 1);
    if (first == last) {
        out += emptyLine;
        out += '\n';
        return;
    }
    for (std::size_t i = first; i < last; ++i) {
        if (lines[i].empty()) {
            if (!lines[i - 1].empty()) {
                out += emptyLine;
                out += '\n';
            }
            continue;
        }
        out += prefix;
        AppendMarkdownLine(out, lines[i]);
        // A backslash before the line end is a hard break, unless the
        // paragraph ends there.
        if (i + 1 < last && !lines[i + 1].empty()) {
            out += '\\';
        }
        out += '\n';
    }
}

} // namespace quillery
