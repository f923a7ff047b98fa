#include "output/markdown_writer.h"

#include "extract/run_error.h"
#include "util/path_text.h"

#include "support/commonmark_tree.h"
#include "support/sample_books.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include <filesystem>
#include <set>

namespace quillery {
namespace {

namespace fs = std::filesystem;
using test::ParseCommonMark;
using test::ReadBytes;
using test::ShownText;
using test::TempDir;

std::set<std::string> Listing(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) {
        names.insert(item.path().filename().string());
    }
    return names;
}

// The front matter's YAML and the Markdown after it.
std::pair<std::string, std::string> SplitFrontMatter(const std::string& document)
{
    EXPECT_TRUE(document.starts_with("---\n")) << document;
    const std::size_t end = document.find("\n---\n", 3);
    if (end == std::string::npos) {
        ADD_FAILURE() << "no end of the front matter in " << document;
        return {};
    }
    return {document.substr(4, end - 3), document.substr(end + 5)};
}

std::string WithLfOnly(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            i += i + 1 < text.size() && text[i + 1] == '\n' ? 1 : 0;
        } else {
            out += text[i];
        }
    }
    return out;
}

TEST(MarkdownWriter, WritesOneFilePerBookNamedByThePattern)
{
    const struct {
        std::string pattern;
        std::set<std::string> names;
    } cases[] = {
        {"", {"Walden.md", "_Title__ _Quotes_ & 'Marks'.md", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.md"}},
        {"{authors} - {title}",
         {"Thoreau, Henry David - Walden.md", "A, B - _Title__ _Quotes_ & 'Marks'.md",
          "- \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.md"}},
        {"{title_line}",
         {"Walden (Thoreau, Henry David).md", "_Title__ _Quotes_ & 'Marks' (A; B).md",
          "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.md"}},
        {"notes", {"notes.md", "notes (2).md", "notes (3).md"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        TempDir dir;
        FreshFolder folder(dir.u16() + u"/out");
        MarkdownWriter writer(folder, c.pattern);
        test::WriteSample(writer);
        EXPECT_EQ(Listing(dir.path() / "out"), c.names);
    }
}

TEST(MarkdownWriter, NeverOverwritesAFile)
{
    TempDir dir;
    FreshFolder folder(dir.u16() + u"/out");
    dir.Write("out/Walden.md", "mine");
    MarkdownWriter writer(folder, "");
    test::WriteSample(writer);
    EXPECT_EQ(ReadBytes(dir.path() / "out" / "Walden.md"), "mine");
    EXPECT_TRUE(ReadBytes(dir.path() / "out" / "Walden (2).md").starts_with("---\n"));
}

TEST(MarkdownWriter, AFolderGoneFailsNamingTheFile)
{
    TempDir dir;
    FreshFolder folder(dir.u16() + u"/out");
    fs::remove(dir.path() / "out");
    MarkdownWriter writer(folder, "");
    writer.Begin(test::SampleSummary());
    try {
        writer.Book(test::SampleBooks().front());
        FAIL() << "no failure";
    } catch (const RunError& error) {
        EXPECT_EQ(ToUtf8(error.path()), dir.path().string() + "/out/Walden.md");
    }
}

TEST(MarkdownWriter, FrontMatterReadsBackAsWritten)
{
    const std::string_view titles[] = {
        "Walden",
        "Title: Subtitle",
        "\"Quoted\" and 'single'",
        "C# #hashtag",
        "- a list?",
        "[Bracketed] title",
        "{braced}",
        "1984",
        "true",
        "null",
        "~",
        "a\\b",
        "*emph* & <b>",
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
        "Tab\there",
        "  blanks  ",
        "",
    };
    for (const std::string_view title : titles) {
        SCOPED_TRACE(title);
        ExportBook book{"line", title, {title, "Second: Author"}, {}, 3, 1, 20240822181053};
        const auto [yaml, body] = SplitFrontMatter(MarkdownDocument(book, "duokan"));
        const YAML::Node node = YAML::Load(yaml);
        ASSERT_TRUE(node.IsMap()) << yaml;
        EXPECT_EQ(node.size(), 6u);
        EXPECT_EQ(node["title"].as<std::string>(), title);
        ASSERT_TRUE(node["authors"].IsSequence()) << yaml;
        ASSERT_EQ(node["authors"].size(), 2u);
        EXPECT_EQ(node["authors"][0].as<std::string>(), title);
        EXPECT_EQ(node["authors"][1].as<std::string>(), "Second: Author");
        EXPECT_EQ(node["source"].as<std::string>(), "duokan");
        EXPECT_EQ(node["highlights"].as<int>(), 3);
        EXPECT_EQ(node["notes"].as<int>(), 1);
        EXPECT_EQ(node["last_annotated"].as<std::string>(), "2024-08-22");

        const test::CmarkDocument document = ParseCommonMark(body);
        cmark_node* heading = cmark_node_first_child(document.get());
        ASSERT_NE(heading, nullptr);
        EXPECT_EQ(cmark_node_get_type(heading), CMARK_NODE_HEADING);
        EXPECT_EQ(cmark_node_get_heading_level(heading), 1);
        EXPECT_EQ(ShownText(heading), title);
    }
}

TEST(MarkdownWriter, FrontMatterLeavesOutAnUnknownDateAndListsNoAuthors)
{
    const ExportBook book{"x", "x", {}, {}, 0, 0, 0};
    const auto [yaml, body] = SplitFrontMatter(MarkdownDocument(book, "kindle"));
    const YAML::Node node = YAML::Load(yaml);
    EXPECT_FALSE(node["last_annotated"].IsDefined());
    EXPECT_TRUE(node["authors"].IsSequence());
    EXPECT_EQ(node["authors"].size(), 0u);
    EXPECT_NE(yaml.find("\nauthors: []\n"), std::string::npos) << yaml;
}

TEST(MarkdownWriter, EachHighlightIsOneBlockQuoteOfItsText)
{
    for (const ExportBook& book : test::SampleBooks()) {
        SCOPED_TRACE(book.title);
        const std::string markdown = SplitFrontMatter(MarkdownDocument(book, "kindle")).second;
        const test::CmarkDocument document = ParseCommonMark(markdown);
        std::vector<std::string> quotes;
        for (cmark_node* block = cmark_node_first_child(document.get()); block != nullptr;
             block = cmark_node_next(block)) {
            if (cmark_node_get_type(block) == CMARK_NODE_BLOCK_QUOTE) {
                quotes.push_back(ShownText(block));
            }
        }
        std::vector<std::string> highlights;
        for (const ExportEntry& entry : book.entries) {
            if (entry.kind == "highlight") {
                highlights.push_back(WithLfOnly(entry.text));
            }
        }
        EXPECT_EQ(quotes, highlights) << markdown;
    }
}

TEST(MarkdownWriter, WritesEachKindOfEntryWithItsPlaceAndBlockId)
{
    const std::string expected = "---\n"
                                 "title: \"Walden\"\n"
                                 "authors:\n"
                                 "  - \"Thoreau, Henry David\"\n"
                                 "source: kindle\n"
                                 "highlights: 1\n"
                                 "notes: 2\n"
                                 "last_annotated: 2024-08-22\n"
                                 "---\n"
                                 "\n"
                                 "# Walden\n"
                                 "\n"
                                 "> I went to the woods because I wished to live deliberately,\\\n"
                                 "> to front only the essential facts of life.\n"
                                 "\n"
                                 "p. 12 \u00B7 loc. 1300\u20131301 \u00B7 2024-08-22 ^0f1e2d3c4b5a6978\n"
                                 "\n"
                                 "**Note:** Compare with \"Civil Disobedience\" \\& the \\<pond\\> chapter.\n"
                                 "\n"
                                 "**Note:** \\# not a heading, - not a list, \\*not emphasis\\*\n"
                                 "\n"
                                 "loc. 1402 \u00B7 2024-08-23 ^1111222233334444\n"
                                 "\n"
                                 "- Bookmark \u00B7 loc. 241 ^5555666677778888\n";
    EXPECT_EQ(MarkdownDocument(test::SampleBooks().front(), "kindle"), expected);
}

} // namespace
} // namespace quillery
