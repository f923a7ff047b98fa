#include "output/html_page_writer.h"

#include "output/entry_place.h"
#include "output/page_text.h"

namespace quillery {

namespace {

// The sections go to the file in blocks of about this size.
constexpr std::size_t kPageBlock = std::size_t{1} << 20;

// Books arrive one at a time and the file is written once from start to
// end, so the list of books, known only at the end, is written after the
// sections; the page is a flex column in which the list takes its place
// first (order: -1), on screen and in print alike. Only the list's lines
// are held until then.
constexpr std::string_view kStyle = R"(:root { color-scheme: light dark; --muted: #6b6b6b; --rule: #d9a441; }
* { box-sizing: border-box; }
body { margin: 0; font: 1.0625rem/1.6 system-ui, -apple-system, "Segoe UI", Roboto, "Noto Sans", sans-serif; }
.page { display: flex; flex-direction: column; max-width: 46rem; margin: 0 auto; padding: 1rem 1.25rem 3rem; }
header { order: -2; }
nav { order: -1; border-bottom: 1px solid #8886; padding-bottom: 1rem; }
nav ol { padding-left: 1.75rem; margin: 0; }
nav li { margin: .3rem 0; }
h1 { font-size: 1.7rem; line-height: 1.25; margin: 1rem 0 .25rem; }
h2 { font-size: 1.35rem; line-height: 1.3; margin: 0 0 .2rem; }
section { margin-top: 2.5rem; }
h1, h2, p, li, blockquote { overflow-wrap: anywhere; }
.counts, .place, .authors { color: var(--muted); }
.counts { font-size: .9em; }
.authors { margin: 0 0 1rem; font-style: italic; }
blockquote { margin: 1.5rem 0 .3rem; padding: .05rem 0 .05rem 1rem; border-left: 4px solid var(--rule); }
blockquote p { margin: .4rem 0; }
.note, .place { margin: .3rem 0 0 1.25rem; }
.bookmark { margin: 1rem 0 0; color: var(--muted); }
.standalone { margin: 1.5rem 0 0; }
.standalone .note, .standalone .place { margin-left: 0; }
a { color: inherit; }
@media (prefers-color-scheme: dark) { :root { --muted: #a8a8a8; } }
@media print {
  body { font-size: 11pt; }
  .page { max-width: none; padding: 0; }
  nav a { text-decoration: none; }
  blockquote, .note, .place { break-inside: avoid; }
  h2 { break-after: avoid; }
}
)";

std::string_view FileName(std::string_view path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string Count(std::int64_t count, std::string_view one, std::string_view many)
{
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

std::string PageHead(const ExportSummary& summary)
{
    const std::string_view file = FileName(summary.sourcePath);
    std::string head = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>Highlights";
    if (!file.empty()) {
        head += " from ";
        AppendPageText(head, file);
    }
    head += "</title>\n<style>\n";
    head += kStyle;
    head += "</style>\n</head>\n<body>\n<div class=\"page\">\n<header>\n<h1>Highlights</h1>\n<p class=\"counts\">";
    head += Count(summary.books, "book", "books") + " \u00B7 " + Count(summary.highlights, "highlight", "highlights") +
            " \u00B7 " + Count(summary.notes + summary.attachedNotes, "note", "notes") + " \u00B7 " +
            Count(summary.bookmarks, "bookmark", "bookmarks");
    if (!file.empty()) {
        head += " \u00B7 from ";
        AppendPageText(head, file);
    }
    head += "</p>\n</header>\n<main>\n";
    return head;
}

void AppendPlace(std::string& out, const ExportEntry& entry)
{
    const std::string place = EntryPlace(entry);
    if (!place.empty()) {
        out += "<p class=\"place\"><small>";
        AppendPageText(out, place);
        out += "</small></p>\n";
    }
}

void AppendNote(std::string& out, std::string_view note)
{
    out += "<p class=\"note\"><strong>Note:</strong> ";
    AppendPageLines(out, note);
    out += "</p>\n";
}

void AppendEntry(std::string& out, const ExportEntry& entry)
{
    if (entry.kind == "bookmark") {
        std::string line = "Bookmark";
        if (const std::string place = EntryPlace(entry); !place.empty()) {
            line += " \u00B7 " + place;
        }
        out += "<p class=\"bookmark\"><small>";
        AppendPageText(out, line);
        out += "</small></p>\n";
        return;
    }
    if (entry.kind == "note") {
        out += "<div class=\"standalone\">\n";
        AppendNote(out, entry.text);
        AppendPlace(out, entry);
        out += "</div>\n";
        return;
    }
    out += "<blockquote><p>";
    AppendPageLines(out, entry.text);
    out += "</p></blockquote>\n";
    if (entry.hasNote) {
        AppendNote(out, entry.note);
    }
    AppendPlace(out, entry);
}

std::int64_t Bookmarks(const ExportBook& book)
{
    std::int64_t count = 0;
    for (const ExportEntry& entry : book.entries) {
        count += entry.kind == "bookmark" ? 1 : 0;
    }
    return count;
}

std::string BookCounts(const ExportBook& book)
{
    std::string counts =
        Count(book.highlights, "highlight", "highlights") + " \u00B7 " + Count(book.notes, "note", "notes");
    if (const std::int64_t bookmarks = Bookmarks(book); bookmarks > 0) {
        counts += " \u00B7 " + Count(bookmarks, "bookmark", "bookmarks");
    }
    return counts;
}

void AppendAuthors(std::string& out, const ExportBook& book)
{
    if (book.authors.empty()) {
        return;
    }
    out += "<p class=\"authors\">";
    AppendPageText(out, JoinedAuthors(book));
    out += "</p>\n";
}

} // namespace

HtmlPageWriter::HtmlPageWriter(FreshFolder& folder) : page_(folder, u"index.html") {}

void HtmlPageWriter::Begin(const ExportSummary& summary)
{
    page_.Write(PageHead(summary));
    books_ = "<nav aria-label=\"Books\">\n<h2>Books</h2>\n<ol>\n";
}

void HtmlPageWriter::Book(const ExportBook& book)
{
    const std::string id = "book-" + std::to_string(++bookNumber_);
    pending_ += "<section id=\"" + id + "\">\n<h2>";
    AppendPageText(pending_, book.title);
    pending_ += "</h2>\n";
    AppendAuthors(pending_, book);
    for (const ExportEntry& entry : book.entries) {
        AppendEntry(pending_, entry);
    }
    pending_ += "</section>\n";
    books_ += "<li><a href=\"#" + id + "\">";
    AppendPageText(books_, book.title);
    books_ += "</a> <span class=\"counts\">" + BookCounts(book) + "</span></li>\n";
    if (pending_.size() >= kPageBlock) {
        page_.Write(pending_);
        pending_.clear();
    }
}

void HtmlPageWriter::End()
{
    pending_ += "</main>\n";
    pending_ += books_;
    pending_ += "</ol>\n</nav>\n</div>\n</body>\n</html>\n";
    page_.Write(pending_);
    pending_.clear();
    page_.Close();
}

} // namespace quillery
