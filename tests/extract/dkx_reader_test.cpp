#include "extract/dkx_reader.h"

#include "extract/clip_store.h"
#include "extract/dkx_text_window.h"
#include "extract/run_error.h"
#include "extract/xml_text.h"
#include "util/code_page.h"
#include "util/path_text.h"

#include "support/fake_front_end.h"
#include "support/store_entries.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillery::test {
namespace {

// A text as the reader sees it: UTF-8 bytes read one by one in Windows-1252.
std::u16string AsRead(std::string_view bytes)
{
    return DecodeWindows1252(bytes);
}

std::u16string DataFile(const std::string& name)
{
    return FromUtf8(std::string(TEST_DATA_DIR) + "/dkx/" + name);
}

std::string MessageOf(const std::u16string& path, ClipStore& store, FakeFrontEnd& frontEnd)
{
    try {
        ReadDkx(frontEnd.requestFor(path), store, frontEnd);
    } catch (const RunError& error) {
        return error.what();
    }
    return "(no failure)";
}

// ---- getPar ----

struct GetParCase {
    std::u16string where;
    std::u16string what;
    std::int32_t from;
    std::u16string value;
    std::int32_t fromAfter;
};

TEST(GetPar, FindsTheFirstElementAtOrAfterFrom)
{
    const GetParCase cases[] = {
        {u"<a>x</a>", u"a", 1, u"x", 8},
        {u"<a>1</a><a>2</a>", u"a", 8, u"2", 16},
        {u"<a>1</a><a>2</a>", u"a", 10, u"", 10},
        {u"<a id=\"1\">x</a>", u"a", 1, u"", 1},
        {u"<a >x</a>", u"a", 1, u"", 1},
        {u"<a>x", u"a", 1, u"", 1},
        {u"x</a>", u"a", 1, u"", 1},
        {u"", u"a", 1, u"", 1},
        {u"<A>x</A>", u"a", 1, u"", 1},
        {u"<ab>x</ab><a>y</a>", u"a", 1, u"y", 18},
        {u"</a><a>x</a>", u"a", 1, u"x", 12},
        {u"<a><a>x</a></a>", u"a", 1, u"<a>x", 11},
        {u"<a>x</b></a>", u"a", 1, u"x</b>", 12},
        {u"  <a>  x y  </a>", u"a", 1, u"x y", 16},
        {u"<a>\t x \n</a>", u"a", 1, u"\t x \n", 12},
        {u"<a></a>", u"a", 1, u"", 7},
        {u"<a>   </a>", u"a", 1, u"", 10},
        {u"<a>&amp; <![CDATA[x]]></a>", u"a", 1, u"&amp; <![CDATA[x]]>", 26},
        {u"<a>x</a>", u"a", 0, u"x", 8},
        {u"<a>x</a>", u"a", 50, u"", 50},
    };
    for (const GetParCase& c : cases) {
        SCOPED_TRACE(ToUtf8(c.where) + " from " + std::to_string(c.from));
        std::int32_t from = c.from;
        EXPECT_EQ(AsRead(getPar(from, EncodeWindows1252(c.what), EncodeWindows1252(c.where))), c.value);
        EXPECT_EQ(from, c.fromAfter);
    }
}

// ---- Entity and CDATA decoding ----

struct DecodeCase {
    const char* name;
    std::u16string raw;
    std::u16string decoded;
};

TEST(XmlText, DecodesEntitiesReferencesAndCdata)
{
    const DecodeCase cases[] = {
        {"plain text", u"no references here", u"no references here"},
        {"the five entities", u"&amp;&lt;&gt;&quot;&apos;", u"&<>\"'"},
        {"decoded once only", u"&amp;lt; &amp;#65;", u"&lt; &#65;"},
        {"ASCII references", u"&#65;&#x42;&#x6a;", u"ABj"},
        {"decimal as its UTF-8 bytes", u"caf&#233;", u"caf\u00C3\u00A9"},
        {"hex digits in either case", u"&#xe9;&#xE9;", u"\u00C3\u00A9\u00C3\u00A9"},
        {"three bytes", u"&#8364;", u"\u00E2\u201A\u00AC"},
        {"four bytes", u"&#x1F600;", u"\u00F0\u0178\u02DC\u20AC"},
        {"the last code point", u"&#x10FFFF;", u"\u00F4\u008F\u00BF\u00BF"},
        {"CDATA unwrapped, content as it stands", u"a<![CDATA[<b>&amp;</b>]]>z", u"a<b>&amp;</b>z"},
        {"CDATA beside references", u"<![CDATA[x]]>&amp;<![CDATA[]]>", u"x&"},
        {"unterminated CDATA stays", u"<![CDATA[x &amp;", u"<![CDATA[x &amp;"},
        {"unknown names stay", u"&nbsp; &AMP; &amp", u"&nbsp; &AMP; &amp"},
        {"no semicolon stays", u"AT&T &#65 &#x41", u"AT&T &#65 &#x41"},
        {"empty digits stay", u"&#; &#x;", u"&#; &#x;"},
        {"out of range stays", u"&#1114112; &#x110000; &#99999999999999999999;",
         u"&#1114112; &#x110000; &#99999999999999999999;"},
        {"surrogates stay", u"&#xD800; &#57343;", u"&#xD800; &#57343;"},
        {"zero stays", u"&#0; &#x0;", u"&#0; &#x0;"},
        {"capital X stays", u"&#X41;", u"&#X41;"},
        {"signs and blanks stay", u"&#+65; &#-1; &# 65;", u"&#+65; &#-1; &# 65;"},
        {"ampersand at the end", u"a&", u"a&"},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AsRead(DecodeXmlText(EncodeWindows1252(c.raw))), c.decoded);
    }
    // Read as UTF-8, a reference gives its character itself.
    EXPECT_EQ(FromUtf8(DecodeXmlText("caf&#233; &#x20AC; &#x1F600; &amp;")), u"caf\u00E9 \u20AC \U0001F600 &");
}

// ---- ReadDkx on small files ----

struct ExpectedEntry {
    std::int32_t location;
    std::u16string kind;
    std::u16string text;
};

struct FileCase {
    const char* file;
    std::u16string title;
    std::vector<ExpectedEntry> entries;
};

TEST(DkxReader, FilesGiveOneBookAndTheirEntries)
{
    const FileCase cases[] = {
        {"no_book_name.dkx", u"", {{12, u"h", u"First words"}, {30, u"n", u"My note"}}},
        {"kinds_and_positions.dkx",
         u"Kinds",
         {{5, u"n", u"Only the note"},
          {6, u"?", u""},
          {17, u"?", u""},
          {8, u"", u""},
          {0, u"h", u"No begin position"},
          {0, u"h", u"No number"},
          {-3, u"h", u"Negative"}}},
        // The empty and blank items are skipped; a line end is no blank, so
        // the item holding one is stored, with nothing in it.
        {"empty_items_between.dkx",
         u"Gaps",
         {{1, u"h", u"before"}, {2, u"n", u"after the empty ones"}, {0, u"", u""}, {3, u"h", u"last"}}},
        {"unclosed_last_item.dkx", u"Unclosed", {{1, u"h", u"kept"}}},
        {"attributes_not_found.dkx", u"Attributes", {{0, u"", u""}, {4, u"h", u"<b class=\"x\">bold</b> text"}}},
        {"nested_items.dkx", u"Nested", {{0, u"h", u"inner"}, {2, u"h", u"next"}}},
        {"multiline_content.dkx", u"Lines", {{40, u"h", u"first line\r\nsecond line\r\n\tthird, tabbed\nfourth"}}},
        {"windows1252_bytes.dkx", AsRead("Café"), {{1, u"h", AsRead("naïve ") + u"\u20AC"}}},
        {"entities_and_cdata.dkx",
         u"Tom & Jerry " + AsRead("été"),
         {{1, u"h", u"<b> \"q\" 'a' &amp; caf" + AsRead("é € 😀")},
          {12, u"n", u"<i>&amp; kept</i> and &"},
          {3, u"h", u"AT&T &bogus; &#; &#x; &#12 &#1114112; &#xD800; &#0; &AMP; &#X41; <![CDATA[open"},
          {4, u"h", u"decoded type"}}},
    };
    for (const FileCase& c : cases) {
        SCOPED_TRACE(c.file);
        ClipStore store;
        FakeFrontEnd frontEnd;
        ReadDkx(frontEnd.requestFor(DataFile(c.file)), store, frontEnd);
        ASSERT_EQ(store.bookCount(), 1);
        EXPECT_EQ(TitleOf(store, 1), c.title);
        ASSERT_EQ(store.entryCount(), static_cast<std::int32_t>(c.entries.size()));
        for (std::int32_t i = 1; i <= store.entryCount(); ++i) {
            SCOPED_TRACE("entry " + std::to_string(i));
            const ExpectedEntry& expected = c.entries[static_cast<std::size_t>(i - 1)];
            EXPECT_EQ(store.entry(i).book, 1);
            EXPECT_EQ(store.entry(i).location, expected.location);
            EXPECT_EQ(EntryAt(store, i).kind, expected.kind);
            EXPECT_EQ(EntryAt(store, i).text, expected.text);
        }
        EXPECT_EQ(frontEnd.yields, store.entryCount());
    }
}

struct LargeFileCase {
    const char* name;
    std::string bytes;
    std::u16string title;
    std::vector<std::u16string> texts;
};

TEST(DkxReader, LargeFilesReadAsSmallOnes)
{
    const auto item = [](const std::string& text) {
        return "<ReadingDataItem><Type>DIGEST</Type><BookContent>" + text + "</BookContent></ReadingDataItem>";
    };
    const std::string filler(DkxTextWindow::kBlock, ' ');
    const LargeFileCase cases[] = {
        {"the title after the items",
         item("one") + item("two") + filler + "<BookName>Late</BookName>",
         u"Late",
         {u"one", u"two"}},
        {"an item across blocks",
         "<BookName>B</BookName>" + filler.substr(40) + item("across") + item("next"),
         u"B",
         {u"across", u"next"}},
        {"a text longer than a block",
         "<BookName>B</BookName>" + item("x" + filler + "y"),
         u"B",
         {u"x" + std::u16string(DkxTextWindow::kBlock, u' ') + u"y"}},
        {"an unclosed item at the end",
         "<BookName>B</BookName>" + item("kept") + filler + "<ReadingDataItem>x",
         u"B",
         {u"kept"}},
    };
    TempDir dir;
    for (const LargeFileCase& c : cases) {
        SCOPED_TRACE(c.name);
        ClipStore store;
        FakeFrontEnd frontEnd;
        ReadDkx(frontEnd.requestFor(FromFsPath(dir.Write("large.dkx", c.bytes))), store, frontEnd);
        EXPECT_EQ(TitleOf(store, 1), c.title);
        ASSERT_EQ(store.entryCount(), static_cast<std::int32_t>(c.texts.size()));
        for (std::int32_t i = 1; i <= store.entryCount(); ++i) {
            EXPECT_EQ(EntryAt(store, i).text, c.texts[static_cast<std::size_t>(i - 1)]);
        }
    }
}

TEST(DkxReader, ShowsProgressAfterEveryStoredEntry)
{
    TempDir dir;
    const std::string item = "<ReadingDataItem><Type>DIGEST</Type><BookContent>x</BookContent></ReadingDataItem>";
    const auto file = dir.Write("three.dkx", "<BookName>B</BookName>" + item + "<ReadingDataItem/>" + item +
                                                 "<ReadingDataItem> </ReadingDataItem>" + item);
    ClipStore store;
    FakeFrontEnd frontEnd;
    ReadDkx(frontEnd.requestFor(FromFsPath(file)), store, frontEnd);
    EXPECT_EQ(frontEnd.captions, (std::vector<std::u16string>{u"1 entries in 1 ebooks", u"2 entries in 1 ebooks",
                                                              u"3 entries in 1 ebooks"}));
    EXPECT_EQ(frontEnd.yields, 3);
}

TEST(DkxReader, KindOptionsHaveNoEffect)
{
    ClipStore store;
    FakeFrontEnd frontEnd;
    frontEnd.options.highlights = false;
    frontEnd.options.notes = false;
    frontEnd.options.bookmarks = false;
    frontEnd.options.sort = false;
    ReadDkx(frontEnd.requestFor(DataFile("kinds_and_positions.dkx")), store, frontEnd);
    EXPECT_EQ(store.entryCount(), 7);
}

TEST(DkxReader, SampleFileReadsLiteralAndReferencedLettersAlike)
{
    ClipStore store;
    FakeFrontEnd frontEnd;
    ReadDkx(frontEnd.requestFor(FromUtf8(std::string(SAMPLE_DIR) + "/Sample.dkx")), store, frontEnd);
    EXPECT_EQ(TitleOf(store, 1), AsRead("Madame Bovary — Mœurs de province"));
    ASSERT_EQ(store.entryCount(), 6);
    const std::vector<std::int32_t> locations = {1840, 212, 905, 2050, 2610, 530};
    const std::vector<std::u16string> kinds = {u"h", u"n", u"h", u"?", u"h", u"n"};
    for (std::int32_t i = 1; i <= 6; ++i) {
        EXPECT_EQ(store.entry(i).location, locations[static_cast<std::size_t>(i - 1)]);
        EXPECT_EQ(EntryAt(store, i).kind, kinds[static_cast<std::size_t>(i - 1)]);
    }
    EXPECT_EQ(EntryAt(store, 2).text, u"The first line: told by a \"nous\" who soon vanishes & never comes back.");
    EXPECT_EQ(EntryAt(store, 3).text,
              AsRead("Mais elle, sa vie était froide comme un grenier dont la lucarne est au nord,\n"
                     "et l'ennui, araignée silencieuse, filait sa toile dans l'ombre\n"
                     "à tous les coins de son cœur."));
    EXPECT_EQ(EntryAt(store, 5).text,
              AsRead("La parole humaine est comme un chaudron fêlé où nous battons des mélodies "
                     "à faire danser les ours, quand on voudrait attendrir les étoiles."));
    EXPECT_EQ(EntryAt(store, 6).text, AsRead("Written with an entity: élégant, and a <tag> in CDATA."));
}

// ---- Failures ----

TEST(DkxReader, OpenFailuresNameThePath)
{
    TempDir dir;
    ClipStore store;
    FakeFrontEnd frontEnd;
    const std::u16string missing = dir.u16() + u"/missing.dkx";
    EXPECT_EQ(MessageOf(missing, store, frontEnd),
              "cannot open \"" + ToUtf8(missing) + "\": No such file or directory");
    EXPECT_EQ(MessageOf(dir.u16(), store, frontEnd), "cannot open \"" + ToUtf8(dir.u16()) + "\": Is a directory");
    const std::u16string empty = DataFile("empty.dkx");
    EXPECT_EQ(MessageOf(empty, store, frontEnd), "\"" + ToUtf8(empty) + "\": no Duokan reading data found");
    EXPECT_EQ(store.entryCount(), 0);
}

TEST(DkxReader, LocationOutOfRangeNamesFileAndItem)
{
    TempDir dir;
    const auto file =
        dir.Write("far.dkx", "<ReadingDataItem><BeginPos><AtomIndex>1</AtomIndex></BeginPos></ReadingDataItem>"
                             "<ReadingDataItem></ReadingDataItem>"
                             "<ReadingDataItem><BeginPos><AtomIndex>99999999999</AtomIndex></BeginPos>"
                             "</ReadingDataItem>");
    ClipStore store;
    FakeFrontEnd frontEnd;
    EXPECT_EQ(MessageOf(FromFsPath(file), store, frontEnd),
              "\"" + file.string() +
                  "\", item 3: the location \"99999999999\" is outside the range -2147483648 to 2147483647");
}

TEST(DkxReader, ItemBeyondTheEntryLimitFailsNamingIt)
{
    TempDir dir;
    const auto file = dir.Write("two.dkx", "<ReadingDataItem>a</ReadingDataItem><ReadingDataItem>b</ReadingDataItem>");
    ClipStore store;
    for (std::int32_t i = 1; i < ClipStore::kMaxEntries; ++i) {
        store.AddEntry(1, i, 0, {});
    }
    FakeFrontEnd frontEnd;
    EXPECT_EQ(MessageOf(FromFsPath(file), store, frontEnd),
              "\"" + file.string() + "\", item 2: too many entries: at most 1000000 can be extracted");
    EXPECT_EQ(store.entryCount(), ClipStore::kMaxEntries);
}

} // namespace
} // namespace quillery::test
