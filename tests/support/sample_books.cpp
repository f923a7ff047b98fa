#include "support/sample_books.h"

namespace quillery::test {

ExportSummary SampleSummary()
{
    ExportSummary summary;
    summary.sourceKind = "kindle";
    summary.sourcePath = "/home/reader/documents/My Clippings.txt";
    summary.books = 3;
    summary.highlights = 4;
    summary.notes = 1;
    summary.bookmarks = 1;
    summary.attachedNotes = 1;
    return summary;
}

ExportEntry Highlight(std::string_view text, std::string id)
{
    ExportEntry entry;
    entry.kind = "highlight";
    entry.text = text;
    entry.id = std::move(id);
    return entry;
}

std::vector<ExportBook> SampleBooks()
{
    ExportBook walden{"Walden (Thoreau, Henry David)", "Walden", {"Thoreau, Henry David"}, {}, 1, 2, 20240822181053};
    ExportEntry first = Highlight("I went to the woods because I wished to live deliberately,\r\nto front only the "
                                  "essential facts of life.",
                                  "0f1e2d3c4b5a6978");
    first.page = "12";
    first.hasLocation = true;
    first.locationStart = 1300;
    first.locationEnd = 1301;
    first.added = 20240822181053;
    first.hasNote = true;
    first.note = "Compare with \"Civil Disobedience\" & the <pond> chapter.";
    walden.entries.push_back(first);
    ExportEntry note;
    note.kind = "note";
    note.text = "# not a heading, - not a list, *not emphasis*";
    note.hasLocation = true;
    note.locationStart = 1402;
    note.locationEnd = 1402;
    note.added = 20240823090000;
    note.id = "1111222233334444";
    walden.entries.push_back(note);
    ExportEntry bookmark;
    bookmark.kind = "bookmark";
    bookmark.hasLocation = true;
    bookmark.locationStart = 241;
    bookmark.locationEnd = 241;
    bookmark.id = "5555666677778888";
    walden.entries.push_back(bookmark);

    ExportBook tricky{"<Title>: \"Quotes\" & 'Marks' (A; B)", "<Title>: \"Quotes\" & 'Marks'", {"A", "B"}, {}, 2, 0, 0};
    tricky.entries.push_back(Highlight("1. Not a list\n> not a quote\r| not | a table |", "9999aaaabbbbcccc"));
    tricky.entries.push_back(
        Highlight("Controls \x01 and \xEF\xBF\xBE go; \xE6\x97\xA5\xE6\x9C\xAC stays.", "ddddeeeeffff0000"));

    ExportBook plain{"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", {}, {}, 1, 0, 0};
    plain.entries.push_back(Highlight("One line, nothing known.", "0000111122223333"));
    return {walden, tricky, plain};
}

void WriteSample(ExportWriter& writer)
{
    writer.Begin(SampleSummary());
    for (const ExportBook& book : SampleBooks()) {
        writer.Book(book);
    }
    writer.End();
}

} // namespace quillery::test
