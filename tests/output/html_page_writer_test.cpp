#include "output/html_page_writer.h"

#include "support/sample_books.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace quillery {
namespace {

using test::ReadBytes;
using test::TempDir;

std::size_t Occurrences(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

std::string SamplePage()
{
    TempDir dir;
    FreshFolder folder(dir.u16() + u"/out");
    HtmlPageWriter writer(folder);
    test::WriteSample(writer);
    return ReadBytes(dir.path() / "out" / "index.html");
}

TEST(HtmlPageWriter, HoldsEachPartOfTheReadingPage)
{
    const std::string page = SamplePage();
    const std::string_view parts[] = {
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n",
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">",
        "<title>Highlights from My Clippings.txt</title>",
        "3 books \u00B7 4 highlights \u00B7 2 notes \u00B7 1 bookmark \u00B7 from My Clippings.txt",
        // The list of books, linked to their sections.
        "<li><a href=\"#book-1\">Walden</a> <span class=\"counts\">1 highlight \u00B7 2 notes \u00B7 1 "
        "bookmark</span></li>",
        "<li><a href=\"#book-2\">&lt;Title&gt;: &quot;Quotes&quot; &amp; &#39;Marks&#39;</a> <span "
        "class=\"counts\">2 highlights \u00B7 0 notes</span></li>",
        "<section id=\"book-1\">\n<h2>Walden</h2>\n<p class=\"authors\">Thoreau, Henry David</p>\n",
        "<section id=\"book-2\">\n<h2>&lt;Title&gt;: &quot;Quotes&quot; &amp; &#39;Marks&#39;</h2>\n"
        "<p class=\"authors\">A; B</p>\n",
        "<section id=\"book-3\">\n<h2>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</h2>\n<blockquote>",
        // A highlight, its note and its place.
        "<blockquote><p>I went to the woods because I wished to live deliberately,<br>to front only the essential "
        "facts of life.</p></blockquote>\n<p class=\"note\"><strong>Note:</strong> Compare with &quot;Civil "
        "Disobedience&quot; &amp; the &lt;pond&gt; chapter.</p>\n<p class=\"place\"><small>p. 12 \u00B7 loc. "
        "1300\u20131301 \u00B7 2024-08-22</small></p>\n",
        "<div class=\"standalone\">\n<p class=\"note\"><strong>Note:</strong> # not a heading",
        "<p class=\"bookmark\"><small>Bookmark \u00B7 loc. 241</small></p>",
        "<blockquote><p>1. Not a list<br>&gt; not a quote<br>| not | a table |</p></blockquote>",
        "Controls \xEF\xBF\xBD and \xEF\xBF\xBD go; \xE6\x97\xA5\xE6\x9C\xAC stays.",
        // Readable on any screen and in print.
        "max-width: 46rem",
        "font: 1.0625rem/1.6 system-ui",
        "nav { order: -1;",
        "@media print",
    };
    for (const std::string_view part : parts) {
        SCOPED_TRACE(part);
        EXPECT_NE(page.find(part), std::string::npos) << page;
    }
    EXPECT_EQ(Occurrences(page, "<blockquote>"), 4u);
    EXPECT_TRUE(page.ends_with("</ol>\n</nav>\n</div>\n</body>\n</html>\n"));
}

TEST(HtmlPageWriter, FetchesNothingAndHidesNothing)
{
    const std::string page = SamplePage();
    for (const std::string_view part : {"<script", "src=", "<link", "url(", "@import", "http", "overflow:"}) {
        SCOPED_TRACE(part);
        EXPECT_EQ(page.find(part), std::string::npos);
    }
}

TEST(HtmlPageWriter, ABookLargerThanABlockIsWrittenWhole)
{
    const std::string text(1000, 'x');
    ExportBook book{"Big", "Big", {}, {}, 3000, 0, 0};
    for (int i = 0; i < 3000; ++i) {
        book.entries.push_back(test::Highlight(text, "0123456789abcdef"));
    }
    TempDir dir;
    FreshFolder folder(dir.u16() + u"/out");
    HtmlPageWriter writer(folder);
    writer.Begin(test::SampleSummary());
    writer.Book(book);
    writer.Book(book);
    writer.End();
    const std::string page = ReadBytes(dir.path() / "out" / "index.html");
    EXPECT_EQ(Occurrences(page, "<blockquote><p>" + text + "</p></blockquote>"), 6000u);
    EXPECT_EQ(Occurrences(page, "<section id="), 2u);
    EXPECT_LT(page.find("<section id=\"book-2\">"), page.find("<nav"));
}

TEST(HtmlPageWriter, NeverOverwritesAPage)
{
    TempDir dir;
    FreshFolder folder(dir.u16() + u"/out");
    dir.Write("out/index.html", "mine");
    HtmlPageWriter writer(folder);
    test::WriteSample(writer);
    EXPECT_EQ(ReadBytes(dir.path() / "out" / "index.html"), "mine");
    EXPECT_TRUE(ReadBytes(dir.path() / "out" / "index (2).html").starts_with("<!DOCTYPE html>"));
}

} // namespace
} // namespace quillery
