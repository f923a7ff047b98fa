#include "extract/kindle_reader.h"

#include "extract/clip_store.h"
#include "extract/run_error.h"
#include "support/fake_front_end.h"
#include "support/store_entries.h"
#include "support/temp_dir.h"
#include "util/code_page.h"
#include "util/path_text.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

// One entry as the device writes it: title, meta, blank line, text, separator.
std::string Entry(const std::string& title, const std::string& meta, const std::string& text,
                  const std::string& eol = "\r\n")
{
    return title + eol + meta + eol + eol + text + eol + "==========" + eol;
}

struct Expected {
    std::int32_t book;
    std::int32_t location;
    std::u16string kind;
    std::u16string text;
};

bool operator==(const Expected& a, const TextEntry& b)
{
    return a.book == b.book && a.location == b.location && a.kind == b.kind && a.text == b.text;
}

std::ostream& operator<<(std::ostream& out, const Expected& e)
{
    return out << "{" << e.book << ", " << e.location << ", " << ToUtf8(e.kind) << ", \"" << ToUtf8(e.text) << "\"}";
}

struct Result {
    std::u16string path;
    std::vector<std::u16string> titles;
    std::vector<TextEntry> entries;
    std::vector<std::u16string> captions;
    int yields = 0;
    std::string error; // empty when the reading succeeded
};

Result ReadFile(const std::u16string& path, FakeFrontEnd& frontEnd)
{
    Result result;
    result.path = path;
    ClipStore store;
    try {
        ReadKindleClippings(frontEnd.requestFor(path), store, frontEnd);
    } catch (const RunError& error) {
        result.error = error.what();
    }
    for (std::int32_t book = 1; book <= store.bookCount(); ++book) {
        result.titles.push_back(TitleOf(store, book));
    }
    for (std::int32_t slot = 1; slot <= store.entryCount(); ++slot) {
        result.entries.push_back(EntryAt(store, slot));
    }
    result.captions = frontEnd.captions;
    result.yields = frontEnd.yields;
    return result;
}

Result ReadBytes(const std::string& bytes, FakeFrontEnd& frontEnd)
{
    TempDir dir;
    return ReadFile(FromFsPath(dir.Write("My Clippings.txt", bytes)), frontEnd);
}

Result ReadBytes(const std::string& bytes, const ExtractOptions& options = {})
{
    FakeFrontEnd frontEnd;
    frontEnd.options = options;
    return ReadBytes(bytes, frontEnd);
}

void ExpectEntries(const Result& result, const std::vector<Expected>& expected)
{
    ASSERT_EQ(result.entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_TRUE(expected[i] == result.entries[i]) << "entry " << i + 1 << ": expected " << expected[i] << ", got "
                                                      << Expected{result.entries[i].book, result.entries[i].location,
                                                                  result.entries[i].kind, result.entries[i].text};
    }
}

// The failure message for `path`: the file and line prefix, then `rest`.
std::string Failure(const Result& result, const std::string& rest)
{
    return "\"" + ToUtf8(result.path) + "\", " + rest;
}

ExtractOptions WithBookmarks()
{
    ExtractOptions options;
    options.bookmarks = true;
    return options;
}

ExtractOptions Without(bool ExtractOptions::*option)
{
    ExtractOptions options;
    options.*option = false;
    return options;
}

struct ReaderCase {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> titles;
    std::vector<Expected> entries;
    std::string error = {}; // after the file name: "line N: ..."
    ExtractOptions options = {};
};

void RunCases(const std::vector<ReaderCase>& cases)
{
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Result result = ReadBytes(c.bytes, c.options);
        EXPECT_EQ(result.error, c.error.empty() ? "" : Failure(result, c.error));
        EXPECT_EQ(result.titles, c.titles);
        ExpectEntries(result, c.entries);
    }
}

const std::string kHighlightMeta = "- Highlight Loc. 5 | Added on Monday";
const std::string kNoteMeta = "- Note Loc. 6 | Added on Monday";

// ---- the entry layout, the kind markers and their options

TEST(KindleReaderTest, layoutMarkersAndOptions)
{
    RunCases({
        {"highlight",
         kBom + Entry("Book (Author)", "- Highlight Loc. 1234-38 | Added on Monday", "Some text"),
         {u"Book (Author)"},
         {{1, 1234, u"h", u"Some text"}}},
        {"note", Entry("B", "- Note Loc. 180 | Added on Monday", "my note"), {u"B"}, {{1, 180, u"n", u"my note"}}},
        {"bookmark with bookmarks on",
         Entry("B", "- Bookmark Loc. 512 | Added on Monday", ""),
         {u"B"},
         {{1, 512, u"b", u""}},
         {},
         WithBookmarks()},
        {"bookmark with bookmarks off: dropped, title kept",
         Entry("B", "- Bookmark Loc. 512 | Added on Monday", ""),
         {u"B"},
         {}},
        {"highlights off",
         Entry("A", kHighlightMeta, "h") + Entry("B", kNoteMeta, "n"),
         {u"A", u"B"},
         {{2, 6, u"n", u"n"}},
         {},
         Without(&ExtractOptions::highlights)},
        {"notes off",
         Entry("A", kHighlightMeta, "h") + Entry("B", kNoteMeta, "n"),
         {u"A", u"B"},
         {{1, 5, u"h", u"h"}},
         {},
         Without(&ExtractOptions::notes)},
        {"a newer line's kind option applies too",
         Entry("A", "- Your Highlight on Location 12-14 | Added on Monday", "x") + Entry("A", "- Your Note | x", "n"),
         {u"A"},
         {{1, 0, u"n", u"n"}},
         {},
         Without(&ExtractOptions::highlights)},
        {"a newer line whose phrase is unknown is dropped",
         Entry("A", "- Din markering | Added on Monday", "x") + Entry("A", kNoteMeta, "n"),
         {u"A"},
         {{1, 6, u"n", u"n"}}},
        {"markers are case-sensitive",
         Entry("A", "- highlight Loc. 5 | x", "x") + Entry("A", "- NOTE Loc. 5 | x", "y"),
         {u"A"},
         {}},
        {"marker compared on its leading characters only",
         Entry("A", "- Notes Loc. 7 | x", "y"),
         {u"A"},
         {{1, 7, u"n", u"y"}}},
        {"a line shorter than the marker does not match",
         Entry("A", "- Not", "y") + Entry("A", kNoteMeta, "z"),
         {u"A"},
         {{1, 6, u"n", u"z"}}},
        {"text is taken as it is",
         Entry("A", kHighlightMeta, "  spaced \xE2\x80\x99  "),
         {u"A"},
         {{1, 5, u"h", DecodeWindows1252("  spaced \xE2\x80\x99  ")}}},
    });
}

TEST(KindleReaderTest, booksAreFoundByExactTitle)
{
    RunCases({
        {"same title again, other titles differ in case or by a trailing blank",
         Entry("A", kHighlightMeta, "1") + Entry("B", kHighlightMeta, "2") + Entry("A", kHighlightMeta, "3") +
             Entry("a", kHighlightMeta, "4") + Entry("A ", kHighlightMeta, "5"),
         {u"A", u"B", u"a", u"A "},
         {{1, 5, u"h", u"1"}, {2, 5, u"h", u"2"}, {1, 5, u"h", u"3"}, {3, 5, u"h", u"4"}, {4, 5, u"h", u"5"}}},
        {"an empty title line keeps the current book",
         Entry("A", kHighlightMeta, "1") + Entry("B", kNoteMeta, "2") + Entry("", kHighlightMeta, "3"),
         {u"A", u"B"},
         {{1, 5, u"h", u"1"}, {2, 6, u"n", u"2"}, {2, 5, u"h", u"3"}}},
        {"an empty first title gives book 1 before any title exists",
         Entry("", kHighlightMeta, "1") + Entry("A", kNoteMeta, "2"),
         {u"A"},
         {{1, 5, u"h", u"1"}, {1, 6, u"n", u"2"}}},
        {"a book whose entries are all dropped is stored",
         Entry("A", "- Bookmark Loc. 1 | x", "") + Entry("B", kNoteMeta, "n"),
         {u"A", u"B"},
         {{2, 6, u"n", u"n"}}},
    });
}

// Read as UTF-8, the store keeps valid UTF-8: a byte that starts no valid
// sequence becomes its Windows-1252 character, and titles that read as the
// same characters are one book.
TEST(KindleReaderTest, utf8_storesValidUtf8AndFindsBooksByTheirCharacters)
{
    TempDir dir;
    const auto path =
        FromFsPath(dir.Write("My Clippings.txt", Entry("Caf\xC3\xA9", kHighlightMeta, "na\xEFve \xE2\x80\xA6") +
                                                     Entry("Caf\xE9", kNoteMeta, "x\x85")));
    FakeFrontEnd frontEnd;
    frontEnd.encoding = TextEncoding::utf8;
    ClipStore store;
    ReadKindleClippings(frontEnd.requestFor(path), store, frontEnd);
    ASSERT_EQ(store.bookCount(), 1);
    EXPECT_EQ(store.bookTitle(1), "Caf\xC3\xA9");
    ASSERT_EQ(store.entryCount(), 2);
    EXPECT_EQ(store.Text(store.entry(1)), "na\xC3\xAFve \xE2\x80\xA6");
    EXPECT_EQ(store.Text(store.entry(2)), "x\xE2\x80\xA6");
    EXPECT_EQ(store.entry(2).book, 1);
}

// ---- byte-order marks (before any title, and only when whole)

TEST(KindleReaderTest, byteOrderMarksAreRemovedFromEveryTitle)
{
    RunCases({
        {"mark removed, later entries find the title",
         kBom + Entry("Book", kHighlightMeta, "1") + Entry("Book", kNoteMeta, "2"),
         {u"Book"},
         {{1, 5, u"h", u"1"}, {1, 6, u"n", u"2"}}},
        {"no mark: the title stays whole and is found again",
         Entry("Book", kHighlightMeta, "1") + Entry("Book", kNoteMeta, "2"),
         {u"Book"},
         {{1, 5, u"h", u"1"}, {1, 6, u"n", u"2"}}},
        {"a mark on a later title, and two in a row",
         kBom + Entry("Book", kHighlightMeta, "1") + kBom + Entry("Book", kNoteMeta, "2") + kBom + kBom +
             Entry("Book", kNoteMeta, "3"),
         {u"Book"},
         {{1, 5, u"h", u"1"}, {1, 6, u"n", u"2"}, {1, 6, u"n", u"3"}}},
        {"a mark after an empty first title",
         "\r\n" + kHighlightMeta + "\r\n\r\nx\r\n==========\r\n" + kBom + Entry("Book", kNoteMeta, "2"),
         {u"Book"},
         {{1, 5, u"h", u"x"}, {1, 6, u"n", u"2"}}},
        {"two bytes of a mark are no mark",
         "\xEF\xBB" + Entry("Book", kHighlightMeta, "1"),
         {u"\u00EF\u00BBBook"},
         {{1, 5, u"h", u"1"}}},
        {"a mark alone is an empty title",
         kBom + "\r\n" + kHighlightMeta + "\r\n\r\nx\r\n==========\r\n",
         {},
         {{1, 5, u"h", u"x"}}},
    });
}

// ---- the location: between " Loc. " and the next "|", first number of a range

TEST(KindleReaderTest, locationIsTheFirstNumberAfterLoc)
{
    struct LocationCase {
        std::string meta;
        std::int32_t location;
    };
    const LocationCase cases[] = {
        {"- Highlight Loc. 1234-38 | Added on Monday", 1234},
        {"- Bookmark Loc. 512 | Added on Monday", 512},
        {"- Highlight on Page 12 | Loc. 180-82 | Added on Monday", 180},
        {"- Highlight Loc. 1,234-36 | Added on Monday", 1},
        {"- Highlight Loc. 123| Added on Monday", 123},
        {"- Highlight Loc. 242-43  | Added on Monday", 242},
        {"- Highlight Loc.    9   | Added on Monday", 9},
        {"- Highlight Loc. 77", 77},
        {"- Highlight Loc. 3-| x", 3},
        {"- Highlight Loc. | x", 0},
        {"- Note Loc. 5697  | Added on Monday | Loc. 8", 5697},
        // PDF documents give a page and no location: the page's first number stands in.
        {"- Highlight on Page 5 | Added on Monday", 5},
        {"- Highlight on Page 12-13 | Added on Monday", 12},
        {"- Highlight Loc.5 | no blank after the dot", 0},
        {"- Note", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.meta);
        const Result result = ReadBytes(Entry("A", c.meta, "t"), WithBookmarks());
        EXPECT_EQ(result.error, "");
        ASSERT_EQ(result.entries.size(), 1u);
        EXPECT_EQ(result.entries[0].location, c.location);
    }
}

TEST(KindleReaderTest, pageOnlyHighlight_isStoredWhenOnAndDroppedWhenOff)
{
    const std::string bytes = Entry("A", "- Highlight on Page 5 | Added on Monday", "p") + Entry("A", kNoteMeta, "n");
    RunCases({
        {"highlights on", bytes, {u"A"}, {{1, 5, u"h", u"p"}, {1, 6, u"n", u"n"}}},
        {"highlights off", bytes, {u"A"}, {{1, 6, u"n", u"n"}}, {}, Without(&ExtractOptions::highlights)},
    });
}

TEST(KindleReaderTest, locationOutOfRange_failsNamingTheMetaLine)
{
    const Result result =
        ReadBytes(Entry("A", kNoteMeta, "ok") + Entry("A", "- Highlight Loc. 99999999999 | Added on Monday", "x"));
    EXPECT_EQ(result.error,
              Failure(result, "line 7: the location \"99999999999\" is outside the range -2147483648 to 2147483647"));
    EXPECT_EQ(result.entries.size(), 1u);
}

// ---- texts of several lines are kept whole

TEST(KindleReaderTest, textRunsUpToTheSeparator)
{
    RunCases({
        {"three lines joined by CR LF",
         Entry("A", kHighlightMeta, "one\r\ntwo\r\nthree"),
         {u"A"},
         {{1, 5, u"h", u"one\r\ntwo\r\nthree"}}},
        {"LF-only lines are joined by CR LF too",
         Entry("A", kHighlightMeta, "one\ntwo", "\n"),
         {u"A"},
         {{1, 5, u"h", u"one\r\ntwo"}}},
        {"trailing empty lines dropped, inner ones kept",
         Entry("A", kNoteMeta, "a\r\n\r\nb\r\n\r\n\r\n"),
         {u"A"},
         {{1, 6, u"n", u"a\r\n\r\nb"}}},
        {"an empty text line before more text stays", Entry("A", kNoteMeta, "\r\nb"), {u"A"}, {{1, 6, u"n", u"\r\nb"}}},
        {"a bookmark's empty text",
         Entry("A", "- Bookmark Loc. 9 | x", "\r\n"),
         {u"A"},
         {{1, 9, u"b", u""}},
         {},
         WithBookmarks()},
        {"blanks-only lines are no empty lines", Entry("A", kNoteMeta, "a\r\n  "), {u"A"}, {{1, 6, u"n", u"a\r\n  "}}},
    });
}

// ---- a separator where a line of the entry should be ends the entry

TEST(KindleReaderTest, earlySeparatorEndsTheEntry)
{
    const std::string next = Entry("B", kNoteMeta, "note");
    RunCases({
        {"in place of the blank line",
         "A\r\n" + kHighlightMeta + "\r\n==========\r\n" + next,
         {u"A", u"B"},
         {{1, 5, u"h", u""}, {2, 6, u"n", u"note"}}},
        {"in place of the text line",
         "A\r\n" + kHighlightMeta + "\r\n\r\n==========\r\n" + next,
         {u"A", u"B"},
         {{1, 5, u"h", u""}, {2, 6, u"n", u"note"}}},
        {"in place of the meta line", "A\r\n==========\r\n" + next, {u"A", u"B"}, {{2, 6, u"n", u"note"}}},
        {"in place of the meta line, between whole entries of the same book",
         Entry("B", kHighlightMeta, "before") + "B\r\n==========   \r\n" + next,
         {u"B"},
         {{1, 5, u"h", u"before"}, {1, 6, u"n", u"note"}}},
        {"in place of the meta line, with LF line ends",
         "A\n==========\n" + Entry("B", kNoteMeta, "note", "\n"),
         {u"A", u"B"},
         {{2, 6, u"n", u"note"}}},
        {"a separator as the last line of the file",
         "A\r\n" + kHighlightMeta + "\r\n\r\n==========",
         {u"A"},
         {{1, 5, u"h", u""}}},
    });
}

TEST(KindleReaderTest, separatorMayCarryTrailingBlanksOnly)
{
    RunCases({
        {"trailing blanks",
         "A\r\n" + kHighlightMeta + "\r\n\r\nx\r\n==========   \r\n" + Entry("B", kNoteMeta, "n"),
         {u"A", u"B"},
         {{1, 5, u"h", u"x"}, {2, 6, u"n", u"n"}}},
        {"a trailing tab is no separator: the text runs on to the next one",
         "A\r\n" + kHighlightMeta + "\r\n\r\nx\r\n==========\t\r\n" + Entry("B", kNoteMeta, "n"),
         {u"A"},
         {{1, 5, u"h", u"x\r\n==========\t\r\nB\r\n" + FromUtf8(kNoteMeta) + u"\r\n\r\nn"}}},
        {"nine equals signs: the skipped entry swallows the next one",
         "A\r\n- Bookmark Loc. 1 | x\r\n\r\nx\r\n=========\r\n" + Entry("B", kNoteMeta, "n") +
             Entry("C", kNoteMeta, "m"),
         {u"A", u"C"},
         {{2, 6, u"n", u"m"}}},
    });
}

// ---- where the file may end

TEST(KindleReaderTest, endOfFile_normalEnds)
{
    const std::string one = Entry("A", kHighlightMeta, "x");
    const std::vector<Expected> oneEntry = {{1, 5, u"h", u"x"}};
    RunCases({
        {"after the separator", one, {u"A"}, oneEntry},
        {"one blank line after the last separator", one + "\r\n", {u"A"}, oneEntry},
        {"several blank lines after the last separator", one + "\r\n\n\r\r\n", {u"A"}, oneEntry},
        {"a complete last entry without separator", "A\r\n" + kHighlightMeta + "\r\n\r\nx", {u"A"}, oneEntry},
        {"a last entry of two lines without separator",
         "A\r\n" + kHighlightMeta + "\r\n\r\nx\r\ny\r\n\r\n",
         {u"A"},
         {{1, 5, u"h", u"x\r\ny"}}},
        {"while a dropped entry is skipped",
         one + "B\r\n- Bookmark Loc. 1 | x\r\n\r\nsome text\r\n",
         {u"A", u"B"},
         oneEntry},
        {"right after a dropped entry's meta line", one + "B\r\n- Bookmark Loc. 1 | x", {u"A", u"B"}, oneEntry},
        {"lines of blanks after the last separator", one + "   \r\n \r\n\r\n", {u"A"}, oneEntry},
        {"one line of blanks after the last separator", one + "  ", {u"A"}, oneEntry},
        {"a title of blanks with an entry after it is a title",
         one + "  \r\n" + kNoteMeta + "\r\n\r\nn\r\n==========\r\n" + Entry("A", kNoteMeta, "m"),
         {u"A", u"  "},
         {{1, 5, u"h", u"x"}, {2, 6, u"n", u"n"}, {1, 6, u"n", u"m"}}},
        {"a title of blanks with a blank meta line drops its entry",
         one + "  \r\n \r\n\r\nmore\r\n==========\r\n" + Entry("A", kNoteMeta, "m"),
         {u"A", u"  "},
         {{1, 5, u"h", u"x"}, {1, 6, u"n", u"m"}}},
    });
}

TEST(KindleReaderTest, titleOfBlanks_isTheBookOfTheEmptyTitlesAfterIt)
{
    const std::string one = Entry("A", kHighlightMeta, "x");
    const std::string untitled = "\r\n" + kNoteMeta + "\r\n\r\nm\r\n==========\r\n";
    RunCases({
        {"after its kept entry",
         one + "  \r\n" + kNoteMeta + "\r\n\r\nn\r\n==========\r\n" + untitled,
         {u"A", u"  "},
         {{1, 5, u"h", u"x"}, {2, 6, u"n", u"n"}, {2, 6, u"n", u"m"}}},
        {"after its blank meta line and a separator",
         one + "  \r\n\r\n==========\r\n" + untitled,
         {u"A", u"  "},
         {{1, 5, u"h", u"x"}, {2, 6, u"n", u"m"}}},
        {"after its blank meta line, more blank lines and a text line",
         one + "  \r\n\r\n \r\ntext\r\n==========\r\n" + untitled,
         {u"A", u"  "},
         {{1, 5, u"h", u"x"}, {2, 6, u"n", u"m"}}},
    });
}

// ---- line lengths

TEST(KindleReaderTest, onlyTitleAndMetaLines_haveALengthLimit)
{
    const std::size_t limit = std::size_t{1} << 20;
    const std::string longLine(limit + 1, 'x');
    const std::string tooLong = "the line is longer than 1048576 bytes, too long for a title or meta line";
    const std::string one = Entry("A", kHighlightMeta, "x");
    RunCases({
        {"a title at the limit",
         Entry(std::string(limit, 't'), kHighlightMeta, "x"),
         {std::u16string(limit, u't')},
         {{1, 5, u"h", u"x"}}},
        {"a title past it", Entry(longLine, kHighlightMeta, "x"), {}, {}, "line 1: " + tooLong},
        {"a meta line past it",
         one + Entry("B", longLine, "y"),
         {u"A", u"B"},
         {{1, 5, u"h", u"x"}},
         "line 7: " + tooLong},
        {"a text line", Entry("A", kHighlightMeta, longLine), {u"A"}, {{1, 5, u"h", std::u16string(limit + 1, u'x')}}},
        {"a line of a dropped entry",
         Entry("A", "- Bookmark Loc. 1 | x", longLine) + Entry("B", kNoteMeta, "n"),
         {u"A", u"B"},
         {{2, 6, u"n", u"n"}}},
        {"a line after the blank meta line of a title of blanks",
         "  \r\n \r\n" + longLine + "\r\n==========\r\n" + Entry("A", kNoteMeta, "m"),
         {u"  ", u"A"},
         {{2, 6, u"n", u"m"}}},
    });
}

TEST(KindleReaderTest, endOfFile_failuresNameTheFileAndLine)
{
    const std::string one = Entry("A", kHighlightMeta, "x");
    RunCases({
        {"empty file", "", {}, {}, "line 1: the file is empty (expected a title line)"},
        {"a byte-order mark alone", kBom, {}, {}, "line 1: the file is empty (expected a title line)"},
        {"a title line alone",
         "Title\r\n",
         {u"Title"},
         {},
         "line 2: the file ends inside an entry (expected the meta line)"},
        {"a title line after the last entry",
         one + "B",
         {u"A", u"B"},
         {{1, 5, u"h", u"x"}},
         "line 7: the file ends inside an entry (expected the meta line)"},
        {"a stored entry cut after its meta line",
         one + "A\r\n" + kNoteMeta + "\r\n",
         {u"A"},
         {{1, 5, u"h", u"x"}},
         "line 8: the file ends inside an entry (expected the blank line)"},
        {"a stored entry cut after its blank line",
         one + "A\r\n" + kNoteMeta + "\r\n\r\n",
         {u"A"},
         {{1, 5, u"h", u"x"}},
         "line 9: the file ends inside an entry (expected the text line)"},
        {"an empty title line, then a stored entry cut",
         one + "\r\n" + kNoteMeta + "\n",
         {u"A"},
         {{1, 5, u"h", u"x"}},
         "line 8: the file ends inside an entry (expected the blank line)"},
        {"line numbers count LF-only and CR-only lines",
         "A\n" + kHighlightMeta + "\r",
         {u"A"},
         {},
         "line 3: the file ends inside an entry (expected the blank line)"},
    });
}

// ---- line ends

TEST(KindleReaderTest, everyLineEndEndsALine)
{
    const std::vector<Expected> both = {{1, 5, u"h", u"x"}, {2, 6, u"n", u"y"}};
    RunCases({
        {"CR LF", Entry("A", kHighlightMeta, "x") + Entry("B", kNoteMeta, "y"), {u"A", u"B"}, both},
        {"LF", Entry("A", kHighlightMeta, "x", "\n") + Entry("B", kNoteMeta, "y", "\n"), {u"A", u"B"}, both},
        {"CR", Entry("A", kHighlightMeta, "x", "\r") + Entry("B", kNoteMeta, "y", "\r"), {u"A", u"B"}, both},
        {"mixed", Entry("A", kHighlightMeta, "x", "\n") + Entry("B", kNoteMeta, "y", "\r"), {u"A", u"B"}, both},
        // A file converted twice.
        {"CR CR LF",
         Entry("A", kHighlightMeta, "x", "\r\r\n") + Entry("B", kNoteMeta, "y") + Entry("C", kNoteMeta, "z"),
         {u"A", u"B", u"C"},
         {{1, 5, u"h", u"x"}, {2, 6, u"n", u"y"}, {3, 6, u"n", u"z"}}},
    });
}

// ---- progress and the live options

TEST(KindleReaderTest, progressIsShownAfterEveryStoredEntry)
{
    FakeFrontEnd frontEnd;
    const Result result = ReadBytes(Entry("A", kHighlightMeta, "1") + Entry("A", "- Bookmark Loc. 1 | x", "") +
                                        Entry("B", kNoteMeta, "2"),
                                    frontEnd);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.captions, (std::vector<std::u16string>{u"1 entries in 1 ebooks", u"2 entries in 2 ebooks"}));
    EXPECT_EQ(result.yields, 2);
}

TEST(KindleReaderTest, allEntriesDropped_noProgressCaption)
{
    const Result result = ReadBytes(Entry("A", "- Bookmark Loc. 1 | x", "") + Entry("B", "- Din notitie | x", "n"));
    EXPECT_EQ(result.titles, (std::vector<std::u16string>{u"A", u"B"}));
    EXPECT_TRUE(result.captions.empty());
    EXPECT_EQ(result.yields, 0);
}

TEST(KindleReaderTest, notesUntickedMidRun_dropsOnlyTheLaterNotes)
{
    FakeFrontEnd frontEnd;
    frontEnd.onYield = [](FakeFrontEnd& fe) { fe.options.notes = false; };
    const Result result = ReadBytes(Entry("A", kNoteMeta, "n1") + Entry("A", kNoteMeta, "n2") +
                                        Entry("A", kHighlightMeta, "h1") + Entry("A", kNoteMeta, "n3"),
                                    frontEnd);
    EXPECT_EQ(result.error, "");
    ExpectEntries(result, {{1, 6, u"n", u"n1"}, {1, 5, u"h", u"h1"}});
}

// Counts how often each option is read.
class CountingFrontEnd : public FakeFrontEnd {
  public:
    bool OptionOn(ExtractOption option) override
    {
        ++reads[option];
        return FakeFrontEnd::OptionOn(option);
    }
    std::map<ExtractOption, int> reads;
};

TEST(KindleReaderTest, kindOptionsAreReadOnceForEveryEntry)
{
    CountingFrontEnd frontEnd;
    // Four entries: stored, dropped by its marker, ended by a separator as its meta line, and a bookmark.
    const Result result = ReadBytes(Entry("A", kHighlightMeta, "1") + Entry("A", "- Your Note | x", "2") +
                                        "A\r\n==========\r\n" + Entry("A", "- Bookmark Loc. 1 | x", "") + "\r\n",
                                    frontEnd);
    EXPECT_EQ(result.error, "");
    const std::map<ExtractOption, int> expected = {
        {ExtractOption::highlights, 4}, {ExtractOption::notes, 4}, {ExtractOption::bookmarks, 4}};
    EXPECT_EQ(frontEnd.reads, expected);
}

// ---- newer lines whose phrase is unknown, and files with no meta line at all

TEST(KindleReaderTest, unknownPhrases_areSkippedAndCounted_fromTheFirstOne)
{
    TempDir dir;
    const std::string unknown = "- Din markering p\xC3\xA5 side 3 | Tilf\xC3\xB8jet";
    const std::string russian = "\xE2\x80\x93 Ваш выделенный отрывок в месте 5683\xE2\x80\x93"
                                "5685 | Добавлено";
    const auto path =
        FromFsPath(dir.Write("My Clippings.txt", Entry("A", kNoteMeta, "n") + Entry("A", unknown, "x") +
                                                     Entry("B", russian, "r") + Entry("B", "- Votre marque | x", "y")));
    ClipStore store;
    FakeFrontEnd frontEnd;
    const SkippedEntries skipped = ReadKindleClippings(frontEnd.requestFor(path), store, frontEnd);
    EXPECT_EQ(skipped.count, 2);
    EXPECT_EQ(skipped.firstLine, 7);
    EXPECT_EQ(skipped.firstMeta, unknown);
    ASSERT_EQ(store.entryCount(), 2);
    EXPECT_EQ(store.entry(2).location, 5683);
    EXPECT_EQ(SkippedWarning(skipped),
              "2 entries in a form not recognised were skipped (the first at line 7: \"" + unknown + "\")");
    EXPECT_EQ(SkippedWarning({}), "");
    // A very long line is cut, never inside a UTF-8 sequence.
    const std::string cut = SkippedWarning({1, 2, "- " + std::string(297, 'x') + "\xC3\xA5 | y"});
    EXPECT_EQ(cut, "1 entries in a form not recognised were skipped (the first at line 2: \"- " +
                       std::string(297, 'x') + "...\")");
}

TEST(KindleReaderTest, noMetaLineOfAnyForm_failsNamingTheFile)
{
    const std::string noClippings[] = {
        "\r\n\r\n\r\n",
        "Dear Ann,\r\nsee you on Monday.\r\n\r\nBob\r\n",
        "A\r\n==========\r\nB\r\n==========\r\n",
        "\x89PNG\r\n\x1A\nIHDR\r",
    };
    for (const auto& bytes : noClippings) {
        SCOPED_TRACE(bytes);
        const Result result = ReadBytes(bytes);
        EXPECT_EQ(result.error, "\"" + ToUtf8(result.path) + "\": no Kindle clippings found");
    }
    // Entries that the options drop are clippings all the same.
    EXPECT_EQ(ReadBytes(Entry("A", "- Bookmark Loc. 1 | x", "")).error, "");
}

// ---- failures from outside the entry layout

TEST(KindleReaderTest, tooManyBooks_failsNamingTheLine)
{
    std::string bytes;
    for (int book = 1; book <= ClipStore::kMaxBooks + 1; ++book) {
        bytes += Entry("Book " + std::to_string(book), "- Your Highlight | x", "t");
    }
    const Result result = ReadBytes(bytes);
    EXPECT_EQ(result.error, Failure(result, "line 50001: too many books: at most 10000 can be extracted"));
    EXPECT_EQ(result.titles.size(), 10000u);
}

TEST(KindleReaderTest, missingFileOrFolder_failsNamingThePath)
{
    TempDir dir;
    FakeFrontEnd frontEnd;
    const std::u16string missing = dir.u16() + u"/My Clippings.txt";
    const Result noFile = ReadFile(missing, frontEnd);
    EXPECT_EQ(noFile.error, "cannot open \"" + ToUtf8(missing) + "\": No such file or directory");
    const Result folder = ReadFile(dir.u16(), frontEnd);
    EXPECT_EQ(folder.error, "cannot open \"" + ToUtf8(dir.u16()) + "\": Is a directory");
}

// ---- fixture files

std::u16string DataFile(const std::string& name)
{
    return FromUtf8(std::string(TEST_DATA_DIR) + "/" + name);
}

TEST(KindleReaderTest, fixture_everyKindWithMarkAndCrLf)
{
    FakeFrontEnd frontEnd;
    frontEnd.options.bookmarks = true;
    const Result result = ReadFile(DataFile("kindle/every-kind-bom-crlf.txt"), frontEnd);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.titles,
              (std::vector<std::u16string>{u"The Quiet Harbour (Mara Lind)", u"Field Notes (Anonymous)"}));
    ExpectEntries(result, {
                              {1, 1234, u"h",
                               u"The tide came in " + DecodeWindows1252("\xE2\x80\x9C") + u"slowly" +
                                   DecodeWindows1252("\xE2\x80\x9D") + u"."},
                              {1, 180, u"n", u"First line of a note.\r\nSecond line of it."},
                              {1, 512, u"b", u""},
                              {2, 5, u"h", u"A highlight in a PDF document."},
                              {1, 1300, u"h", u"Back to the harbour."},
                          });
    ASSERT_EQ(result.captions.size(), 5u);
    EXPECT_EQ(result.captions.back(), u"5 entries in 2 ebooks");
}

TEST(KindleReaderTest, fixture_cutOffBeforeTheTextLine)
{
    FakeFrontEnd frontEnd;
    const Result result = ReadFile(DataFile("kindle/cut-off-before-text-line.txt"), frontEnd);
    EXPECT_EQ(result.error, Failure(result, "line 9: the file ends inside an entry (expected the text line)"));
    ExpectEntries(result, {{1, 10, u"h", u"Complete entry."}});
}

// ---- real device files

TEST(KindleReaderTest, corpus_everyEntryIsStored_withItsKindAndLocation)
{
    struct At {
        std::size_t entry; // 1-based, in the file's order
        char16_t kind;
        std::int32_t location;
    };
    struct CorpusCase {
        const char* file;
        std::size_t books;
        std::size_t highlights, notes, bookmarks; // counted from the files' meta lines
        std::vector<At> at;
    };
    const CorpusCase cases[] = {
        {"old_georgboe-kindleclippings_My-Clippings_2009.txt", 9, 101, 1, 1, {}},
        {"old_baniol-kindle-my-clippings_My-Clippings_K3.txt", 20, 458, 11, 5, {}},
        {"old_grassdog-klipbook_clippings-for-three-books.txt", 3, 19, 1, 1, {}},
        {"old_obilodeau-pw2kindle_t-data-simple-collection_EXCERPT.txt", 1, 1, 0, 0, {}},
        {"old-zhdate_hulufei-kindle-clippings-parser_test-clippings_EDITED.txt", 3, 1, 1, 1, {}},
        {"new-en-touch_andyinabox-klip_data-My-Clippings.txt",
         3,
         22,
         1,
         0,
         {{1, u'h', 181}, {2, u'h', 257}, {3, u'n', 262}, {23, u'h', 517}}},
        {"new-en_baniol-kindle-my-clippings_test-My-Clippings.txt",
         1,
         2,
         1,
         0,
         {{1, u'h', 1504}, {2, u'h', 1847}, {3, u'n', 1898}}},
        // The last entry gives a page and no location.
        {"new-en_eugeneware-kindle-clippings_test-fixtures-My-Clippings.txt",
         3,
         10,
         2,
         2,
         {{1, u'h', 1041}, {4, u'b', 1409}, {6, u'n', 842}, {14, u'h', 110}}},
        {"new-en_theBenForce-logseq-plugin-my-highlights_test_data-My-Clippings.txt",
         3,
         100,
         35,
         1,
         {{1, u'h', 129}, {6, u'b', 506}, {9, u'n', 64}, {136, u'h', 579}}},
        {"new-zh_theBenForce-logseq-plugin-my-highlights_test_data-My.Clippings.Chinese.txt",
         1,
         154,
         0,
         0,
         {{1, u'h', 1892}, {2, u'h', 1903}, {154, u'h', 3793}}},
        {"new-zh_zicai-kindle-clippings-parser_test-My-Clippings.txt",
         1,
         4,
         0,
         0,
         {{1, u'h', 290}, {2, u'h', 380}, {4, u'h', 2900}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        FakeFrontEnd frontEnd;
        frontEnd.options.bookmarks = true;
        const Result result = ReadFile(DataFile(std::string("corpus/") + c.file), frontEnd);
        EXPECT_EQ(result.error, "");
        EXPECT_EQ(result.titles.size(), c.books);
        std::map<std::u16string, std::size_t> kinds;
        for (const auto& entry : result.entries) {
            ++kinds[entry.kind];
        }
        EXPECT_EQ(kinds[u"h"], c.highlights);
        EXPECT_EQ(kinds[u"n"], c.notes);
        EXPECT_EQ(kinds[u"b"], c.bookmarks);
        EXPECT_EQ(result.entries.size(), c.highlights + c.notes + c.bookmarks);
        for (const At& at : c.at) {
            SCOPED_TRACE("entry " + std::to_string(at.entry));
            ASSERT_LE(at.entry, result.entries.size());
            EXPECT_EQ(result.entries[at.entry - 1].kind, std::u16string(1, at.kind));
            EXPECT_EQ(result.entries[at.entry - 1].location, at.location);
        }
    }
}

Result ReadCorpus(const std::string& file)
{
    FakeFrontEnd frontEnd;
    return ReadFile(DataFile("corpus/" + file), frontEnd);
}

TEST(KindleReaderTest, corpus_georgboe_firstEntryAndFourLineNote)
{
    const Result result = ReadCorpus("old_georgboe-kindleclippings_My-Clippings_2009.txt");
    ASSERT_EQ(result.entries.size(), 102u);
    EXPECT_EQ(result.titles[0], u"The Help (Kathryn Stockett)");
    EXPECT_TRUE((Expected{1, 5444, u"h",
                          DecodeWindows1252("\xE2\x80\x9CLike living in Antarctica all my life and one day moving to "
                                            "Hawaii.\xE2\x80\x9D")} == result.entries[0]));
    // The file's one note (line 508) has four text lines.
    std::vector<TextEntry> notes;
    for (const auto& entry : result.entries) {
        if (entry.kind == u"n") {
            notes.push_back(entry);
        }
    }
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(result.titles.at(static_cast<std::size_t>(notes[0].book) - 1),
              u"The Tipping Point: How Little Things Can Make a Big Difference (Malcolm Gladwell)");
    EXPECT_TRUE(
        (Expected{9, 1933, u"n", u"hello world\r\nthis is the shit\r\nhello world\r\nthis is the shit"} == notes[0]));
}

TEST(KindleReaderTest, corpus_baniolK3_pageOnlyHighlightHasItsPage)
{
    const Result result = ReadCorpus("old_baniol-kindle-my-clippings_My-Clippings_K3.txt");
    ASSERT_GE(result.entries.size(), 2u);
    EXPECT_EQ(result.titles[1], u"Oreilly.Developing.Backbone.js.Applications.Apr.2012 (Addy Osmani)");
    EXPECT_TRUE((Expected{1, 242, u"h",
                          u"languages when implementing patterns in their projects, there are many lessons we can"} ==
                 result.entries[0]));
    // The two bookmarks between them are dropped.
    EXPECT_TRUE((Expected{2, 7, u"h", u"JavaScript templating libraries (such as Handlebars.js or Mustache)"} ==
                 result.entries[1]));
}

TEST(KindleReaderTest, corpus_grassdog_crCrLfEntriesAreRead)
{
    const Result result = ReadCorpus("old_grassdog-klipbook_clippings-for-three-books.txt");
    EXPECT_EQ(result.titles,
              (std::vector<std::u16string>{u"Clean Code: A Handbook of Agile Software Craftsmanship (Robert C. Martin)",
                                           u"Instapaper: Long Reads (Instapaper: Long Reads)",
                                           u"Lean Software Development: An Agile Toolkit (Mary Poppendieck and Tom "
                                           u"Poppendieck)"}));
    // The first three entries end their lines with CR CR LF; the fourth, with CR LF.
    ASSERT_GE(result.entries.size(), 4u);
    const std::pair<std::int32_t, std::int32_t> bookAndLocation[] = {{1, 4536}, {1, 4713}, {1, 4745}, {2, 91}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(result.entries[i].book, bookAndLocation[i].first) << "entry " << i + 1;
        EXPECT_EQ(result.entries[i].location, bookAndLocation[i].second) << "entry " << i + 1;
    }
    EXPECT_EQ(result.entries[1].text, u"Recommendations for developing concurrent systems");
}

TEST(KindleReaderTest, corpus_hulufei_lfOnlyTitleAndMarkRemoved)
{
    const Result result = ReadCorpus("old-zhdate_hulufei-kindle-clippings-parser_test-clippings_EDITED.txt");
    EXPECT_EQ(result.titles,
              (std::vector<std::u16string>{u"My Clippings.txt include BOM", u"book title", u"test-note"}));
    ExpectEntries(result, {{2, 695, u"h", u"highlight content"}, {3, 5697, u"n", u"funny"}});
}

TEST(KindleReaderTest, corpus_eugeneware_innerMarksAreNoPartOfTheTitle)
{
    const Result result = ReadCorpus("new-en_eugeneware-kindle-clippings_test-fixtures-My-Clippings.txt");
    ASSERT_EQ(result.titles.size(), 3u);
    EXPECT_EQ(result.titles[0], u"Better Than Before: Mastering the Habits of Our Everyday Lives (Rubin, Gretchen)");
    std::size_t ofTheFirstBook = 0;
    for (const auto& entry : result.entries) {
        ofTheFirstBook += entry.book == 1 ? 1 : 0;
    }
    EXPECT_EQ(ofTheFirstBook, 6u); // 8 entries, two of them bookmarks (off)
}

} // namespace
} // namespace quillery::test
