#include "output/book_file_name.h"

#include "util/path_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace quillery {
namespace {

struct NameCase {
    std::string_view pattern;
    std::string_view titleLine;
    std::string_view title;
    std::vector<std::string_view> authors;
    TextEncoding encoding;
    std::string expected; // UTF-8, with its extension
};

TEST(BookFileName, FillsThePatternAndMakesItSafe)
{
    const NameCase cases[] = {
        // The classic default: the title line as read.
        {kClassicNamePattern,
         "Emma (Austen, Jane)",
         "Emma",
         {"Austen, Jane"},
         TextEncoding::utf8,
         "Emma (Austen, Jane).txt"},
        {kClassicNamePattern, "a/b:c*d?", "", {}, TextEncoding::utf8, "a_b_c_d_.txt"},
        {kClassicNamePattern, "Caf\xE9", "", {}, TextEncoding::windows1252, "Caf_.txt"},
        {kClassicNamePattern, "Caf\xC3\xA9", "", {}, TextEncoding::utf8, "Caf\xC3\xA9.txt"},
        // Nothing that would hide the file or name a folder.
        {kClassicNamePattern, "...Emma", "", {}, TextEncoding::utf8, "Emma.txt"},
        {kClassicNamePattern, " . .Emma", "", {}, TextEncoding::utf8, "Emma.txt"},
        {kClassicNamePattern, "..", "", {}, TextEncoding::utf8, "Untitled.txt"},
        {kClassicNamePattern, ".", "", {}, TextEncoding::windows1252, "Untitled.txt"},
        {kClassicNamePattern, "..", "", {}, TextEncoding::windows1252, "Untitled.txt"},
        {kClassicNamePattern, "   ", "", {}, TextEncoding::utf8, "Untitled.txt"},
        {kClassicNamePattern, "", "", {}, TextEncoding::utf8, "Untitled.txt"},
        // Patterns.
        {kMarkdownNamePattern, "Emma (Austen, Jane)", "Emma", {"Austen, Jane"}, TextEncoding::utf8, "Emma.txt"},
        {"{authors} - {title}",
         "x",
         "Emma",
         {"Austen, Jane", "Smith"},
         TextEncoding::utf8,
         "Austen, Jane, Smith - Emma.txt"},
        {"{title} by {authors}", "x", "Emma", {}, TextEncoding::utf8, "Emma by.txt"},
        {"{year} {title}", "x", "Emma", {}, TextEncoding::utf8, "{year} Emma.txt"},
        {"{{title}}", "x", "Emma", {}, TextEncoding::utf8, "{Emma}.txt"},
        {"notes/{title}", "x", "Emma", {}, TextEncoding::utf8, "notes_Emma.txt"},
        {"{title", "x", "Emma", {}, TextEncoding::utf8, "{title.txt"},
        {"{title}", "x", "../../etc", {}, TextEncoding::utf8, "_.._etc.txt"},
    };
    for (const NameCase& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + std::string(c.titleLine) + " / " + std::string(c.title));
        const BookNameParts parts{c.titleLine, c.title, c.authors};
        EXPECT_EQ(ToUtf8(BookFileName(c.pattern, parts, c.encoding, u".txt")), c.expected);
    }
}

TEST(ClassicBookFileName, SplitsTheTitleLineForThePattern)
{
    const struct {
        std::string_view titleLine;
        std::string_view pattern;
        TextEncoding encoding;
        std::string expected;
    } cases[] = {
        {"Emma (Austen, Jane)", "", TextEncoding::utf8, "Emma (Austen, Jane).txt"},
        {"Emma (Austen, Jane)", "{title}", TextEncoding::utf8, "Emma.txt"},
        {"Emma (Austen, Jane; Smith, Ann)", "{authors} - {title}", TextEncoding::utf8,
         "Austen, Jane, Smith, Ann - Emma.txt"},
        {"Caf\xE9 (Zo\xEB)", "{authors}", TextEncoding::windows1252, "Zo_.txt"},
        {"No authors", "{title} ({authors})", TextEncoding::utf8, "No authors ().txt"},
        {"..", "", TextEncoding::utf8, "Untitled.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.titleLine) + " / " + std::string(c.pattern));
        EXPECT_EQ(ToUtf8(ClassicBookFileName(c.titleLine, c.pattern, c.encoding)), c.expected);
    }
}

TEST(NamePatternProblem, NamesTheUnknownField)
{
    const struct {
        std::string_view pattern;
        std::string expected;
    } cases[] = {
        {"{title}", ""},
        {"{authors} - {title} ({title_line})", ""},
        {"plain", ""},
        {"{title", ""},
        {"{{title}}", ""},
        {"{year} {title}", "unknown field \"{year}\" in the name pattern: use {title}, {authors} or {title_line}"},
        {"{Title}", "unknown field \"{Title}\" in the name pattern: use {title}, {authors} or {title_line}"},
        {"{}", "unknown field \"{}\" in the name pattern: use {title}, {authors} or {title_line}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        EXPECT_EQ(NamePatternProblem(c.pattern), c.expected);
    }
}

} // namespace
} // namespace quillery
