#include "output/markdown_text.h"

#include "support/commonmark_tree.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

using test::ParseCommonMark;
using test::ShownText;

struct EscapeCase {
    std::string_view line;
    std::string_view expected;
};

TEST(MarkdownLine, EscapesWhatWouldChangeTheStructure)
{
    const EscapeCase cases[] = {
        {"plain words, kept. (as is)!", "plain words, kept. (as is)!"},
        {"# heading", "\\# heading"},
        {"> quote", "\\> quote"},
        {"- item", "\\- item"},
        {"+ item", "\\+ item"},
        {"* item", "\\* item"},
        {"1. first", "1\\. first"},
        {"12) twelfth", "12\\) twelfth"},
        {"1984 was a year.", "1984 was a year."},
        {"a - b + c 1. d", "a - b + c 1. d"},
        {"```", "\\`\\`\\`"},
        {"~~~", "\\~\\~\\~"},
        {"<div>", "\\<div\\>"},
        {"===", "\\=\\=\\="},
        {"---", "\\---"},
        {"| a | b |", "\\| a \\| b \\|"},
        {"*em* _em_ `code` [link](x) \\", "\\*em\\* \\_em\\_ \\`code\\` \\[link\\](x) \\\\"},
        {"&amp; #tag $x$ %%c%% ^id ==hl==", "\\&amp; \\#tag \\$x\\$ \\%\\%c\\%\\% \\^id \\=\\=hl\\=\\="},
        {"    code?", "&#32;&#32;&#32;&#32;code?"},
        {"\t- tabbed", "&#9;\\- tabbed"},
        {"two  ", "two&#32;&#32;"},
        {"  ", "&#32;&#32;"},
    };
    for (const EscapeCase& c : cases) {
        SCOPED_TRACE(c.line);
        std::string out;
        AppendMarkdownLine(out, c.line);
        EXPECT_EQ(out, c.expected);
    }
}

struct ShownCase {
    std::string_view text;
    std::string_view shown; // as a reader shows it
};

// Texts that would change the document's structure come back, as read by a
// CommonMark reader, as the text written, in a paragraph and in a quote.
const ShownCase kShownCases[] = {
    {"# heading", "# heading"},
    {"> quote", "> quote"},
    {"- item\n+ item\n* item", "- item\n+ item\n* item"},
    {"1. first\r\n2) second", "1. first\n2) second"},
    {"```\ncode\n```", "```\ncode\n```"},
    {"~~~ fence", "~~~ fence"},
    {"<div>html</div>", "<div>html</div>"},
    {"<!-- comment -->", "<!-- comment -->"},
    {"title\n===", "title\n==="},
    {"title\n---", "title\n---"},
    {"***", "***"},
    {"| a | b |\n|---|---|", "| a | b |\n|---|---|"},
    {"*em* **strong** _em_ `code` [link](http://x) ![img](y) <http://z> \\",
     "*em* **strong** _em_ `code` [link](http://x) ![img](y) <http://z> \\"},
    {"[ref]: http://x", "[ref]: http://x"},
    {"&amp; &#32; &copy;", "&amp; &#32; &copy;"},
    {"    four blanks", "    four blanks"},
    {"\tindented\n\tagain", "\tindented\n\tagain"},
    {"ends with blanks   \nnext", "ends with blanks   \nnext"},
    {"ends with backslash\\\nnext", "ends with backslash\\\nnext"},
    {"one\r\ntwo\nthree\rfour", "one\ntwo\nthree\nfour"},
    {"para one\r\n\r\npara two", "para one\n\npara two"},
    {"\r\n\r\nedges trimmed\r\n\r\n", "edges trimmed"},
    {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xC3\xA9", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xC3\xA9"},
};

TEST(MarkdownText, ReadsBackAsWrittenInAParagraph)
{
    for (const ShownCase& c : kShownCases) {
        SCOPED_TRACE(c.text);
        std::string markdown;
        AppendMarkdownText(markdown, c.text, "");
        const test::CmarkDocument document = ParseCommonMark(markdown);
        for (cmark_node* block = cmark_node_first_child(document.get()); block != nullptr;
             block = cmark_node_next(block)) {
            EXPECT_EQ(cmark_node_get_type(block), CMARK_NODE_PARAGRAPH) << markdown;
        }
        EXPECT_EQ(ShownText(document.get()), c.shown) << markdown;
    }
}

TEST(MarkdownText, ReadsBackAsWrittenInOneBlockQuote)
{
    for (const ShownCase& c : kShownCases) {
        SCOPED_TRACE(c.text);
        std::string markdown;
        AppendMarkdownText(markdown, c.text, "> ");
        const test::CmarkDocument document = ParseCommonMark(markdown);
        cmark_node* quote = cmark_node_first_child(document.get());
        ASSERT_NE(quote, nullptr);
        EXPECT_EQ(cmark_node_get_type(quote), CMARK_NODE_BLOCK_QUOTE) << markdown;
        EXPECT_EQ(cmark_node_next(quote), nullptr) << markdown;
        EXPECT_EQ(ShownText(quote), c.shown) << markdown;
    }
}

TEST(MarkdownText, AnEmptyTextIsAnEmptyQuote)
{
    for (const std::string_view text : {"", "\r\n", "\n\n\r"}) {
        std::string markdown;
        AppendMarkdownText(markdown, text, "> ");
        EXPECT_EQ(markdown, ">\n");
    }
}

} // namespace
} // namespace quillery
