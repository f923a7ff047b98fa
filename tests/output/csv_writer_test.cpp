#include "output/csv_writer.h"

#include "extract/added_date.h"

#include "support/sample_books.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <optional>

namespace quillery {
namespace {

using Row = std::vector<std::string>;
using test::ReadBytes;
using test::TempDir;

// A strict RFC 4180 reader: every record ends with CR LF, a quoted field may
// hold anything with its quotes doubled, an unquoted one no quote, CR or LF.
// Nothing when the text breaks those rules.
std::optional<std::vector<Row>> ReadCsv(std::string_view text)
{
    std::vector<Row> rows;
    Row row;
    std::size_t at = 0;
    while (at < text.size()) {
        std::string field;
        if (text[at] == '"') {
            for (++at;; ++at) {
                if (at >= text.size()) {
                    return std::nullopt;
                }
                if (text[at] == '"') {
                    if (at + 1 < text.size() && text[at + 1] == '"') {
                        field += '"';
                        ++at;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += text[at];
            }
        } else {
            while (at < text.size() && text[at] != ',' && text[at] != '\r') {
                if (text[at] == '"' || text[at] == '\n') {
                    return std::nullopt;
                }
                field += text[at++];
            }
        }
        row.push_back(field);
        if (at < text.size() && text[at] == ',') {
            ++at;
        } else if (text.substr(at, 2) == "\r\n") {
            at += 2;
            rows.push_back(row);
            row.clear();
        } else {
            return std::nullopt;
        }
    }
    return row.empty() ? std::optional(rows) : std::nullopt;
}

TEST(CsvReader, RejectsWhatIsNotRfc4180)
{
    for (const std::string_view text : {"a,b", "a\"b\r\n", "\"open\r\n", "a\nb\r\n", "\"a\"b\r\n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ReadCsv(text).has_value());
    }
    EXPECT_EQ(ReadCsv("a,\"b,\"\"c\"\"\r\nd\"\r\n"), (std::vector<Row>{{"a", "b,\"c\"\r\nd"}}));
}

TEST(CsvField, QuotesOnlyWhatNeedsIt)
{
    const struct {
        std::string_view field;
        std::string_view written;
    } cases[] = {
        {"plain text", "plain text"}, {"", ""},
        {"a,b", "\"a,b\""},           {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},           {"one\r\ntwo", "\"one\r\ntwo\""},
        {"lf\nonly", "\"lf\nonly\""}, {"cr\ronly", "\"cr\ronly\""},
        {" blanks ", " blanks "},     {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        std::string out;
        AppendCsvField(out, c.field);
        EXPECT_EQ(out, c.written);
    }
}

Row ExpectedRow(const ExportBook& book, const ExportEntry& entry)
{
    std::string authors;
    for (const std::string_view author : book.authors) {
        authors += (authors.empty() ? "" : "; ") + std::string(author);
    }
    const bool located = entry.hasLocation;
    return {std::string(book.title),
            authors,
            std::string(entry.kind),
            std::string(entry.text),
            entry.hasNote ? std::string(entry.note) : "",
            std::string(entry.page),
            located ? std::to_string(entry.locationStart) : "",
            located ? std::to_string(entry.locationEnd) : "",
            AddedIso(entry.added),
            entry.id};
}

TEST(CsvWriter, OneRowPerEntryReadsBackAsTheEntry)
{
    TempDir dir;
    FreshFolder folder(dir.u16() + u"/out");
    CsvWriter writer(folder);
    test::WriteSample(writer);
    const std::string bytes = ReadBytes(dir.path() / "out" / "clippings.csv");
    ASSERT_TRUE(bytes.starts_with("\xEF\xBB\xBF"));
    const auto rows = ReadCsv(std::string_view(bytes).substr(3));
    ASSERT_TRUE(rows.has_value()) << bytes;
    std::vector<Row> expected{
        {"title", "authors", "kind", "text", "note", "page", "location_start", "location_end", "added", "id"}};
    for (const ExportBook& book : test::SampleBooks()) {
        for (const ExportEntry& entry : book.entries) {
            expected.push_back(ExpectedRow(book, entry));
        }
    }
    EXPECT_EQ(*rows, expected);
    EXPECT_EQ((*rows)[1][8], "2024-08-22T18:10:53");
    EXPECT_EQ((*rows)[1][4], "Compare with \"Civil Disobedience\" & the <pond> chapter.");
}

TEST(CsvWriter, TrickyTextsSurviveTheRoundTrip)
{
    const std::string_view texts[] = {
        "comma, inside",
        "\"quoted\"",
        "line one\r\nline two",
        "lf\nonly",
        "cr\ronly",
        "trailing quote\"",
        ",",
        "\r\n",
        "",
        "=SUM(A1)",
    };
    ExportBook book{"t (a; b)", "t", {"a", "b"}, {}, 0, 0, 0};
    for (const std::string_view text : texts) {
        book.entries.push_back(test::Highlight(text, "0123456789abcdef"));
        book.entries.back().hasNote = true;
        book.entries.back().note = text;
    }
    TempDir dir;
    FreshFolder folder(dir.u16() + u"/out");
    CsvWriter writer(folder);
    writer.Begin(test::SampleSummary());
    writer.Book(book);
    writer.End();
    const std::string bytes = ReadBytes(dir.path() / "out" / "clippings.csv");
    const auto rows = ReadCsv(std::string_view(bytes).substr(3));
    ASSERT_TRUE(rows.has_value()) << bytes;
    ASSERT_EQ(rows->size(), std::size(texts) + 1);
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        SCOPED_TRACE(texts[i]);
        EXPECT_EQ((*rows)[i + 1], ExpectedRow(book, book.entries[i]));
        EXPECT_EQ((*rows)[i + 1][1], "a; b");
    }
}

TEST(CsvWriter, NoBooksGiveTheHeaderAlone)
{
    TempDir dir;
    FreshFolder folder(dir.u16() + u"/out");
    dir.Write("out/clippings.csv", "mine");
    CsvWriter writer(folder);
    writer.Begin(test::SampleSummary());
    writer.End();
    EXPECT_EQ(ReadBytes(dir.path() / "out" / "clippings.csv"), "mine");
    EXPECT_EQ(ReadBytes(dir.path() / "out" / "clippings (2).csv"),
              "\xEF\xBB\xBFtitle,authors,kind,text,note,page,location_start,location_end,added,id\r\n");
}

} // namespace
} // namespace quillery
