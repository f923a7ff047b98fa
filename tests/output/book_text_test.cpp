#include "output/book_text.h"

#include "extract/clip_store.h"
#include "util/code_page.h"
#include "util/path_text.h"

#include "support/book_text_of.h"
#include "support/fake_front_end.h"
#include "support/store_entries.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <vector>

namespace quillery {
namespace {

using test::AddEntry;
using test::FakeFrontEnd;

// Counts every option read; `afterKeeplocsRead` may change the options then.
class CountingFrontEnd : public FakeFrontEnd {
  public:
    bool OptionOn(ExtractOption option) override
    {
        const bool on = FakeFrontEnd::OptionOn(option);
        ++reads[option];
        if (option == ExtractOption::keeplocs && afterKeeplocsRead) {
            afterKeeplocsRead(*this);
        }
        return on;
    }

    std::map<ExtractOption, int> reads;
    std::function<void(CountingFrontEnd&)> afterKeeplocsRead;
};

TEST(BookText, EachKindHasItsLineForm)
{
    const struct {
        test::TextEntry entry;
        bool keeplocs;
        std::u16string line;
    } cases[] = {
        {{1, 120, u"h", u"First"}, false, u"\u2026First"},
        {{1, 120, u"h", u"First"}, true, u"@120 First"},
        {{1, 200, u"n", u"Mine"}, false, u"\u2026NOTE: Mine"},
        {{1, 200, u"n", u"Mine"}, true, u"@200 NOTE: Mine"},
        {{1, 300, u"b", u""}, false, u"BOOKMARK @ 300"},
        {{1, 300, u"b", u"text a bookmark never shows"}, true, u"BOOKMARK @ 300"},
        {{1, -2147483647 - 1, u"b", u""}, false, u"BOOKMARK @ -2147483648"},
        {{1, 5, u"h", u""}, false, u"\u2026"},
        {{1, 5, u"h", u""}, true, u"@5 "},
        {{1, 0, u"h", u"x"}, true, u"@0 x"},
        {{1, -7, u"n", u"x"}, true, u"@-7 NOTE: x"},
        {{1, 2147483647, u"h", u"x"}, true, u"@2147483647 x"},
        {{1, 9, u"N", u"kinds are exact"}, false, u"\u2026kinds are exact"},
        {{1, 9, u"B", u"kinds are exact"}, true, u"@9 kinds are exact"},
        {{1, 9, u"underline", u"a Duokan kind"}, false, u"\u2026a Duokan kind"},
        {{1, 9, u"h", u"two\r\nlines"}, false, u"\u2026two\r\nlines"},
        // Every line end of a text becomes CR LF.
        {{1, 9, u"n", u"a\nb\rc\r\n\nd\n"}, false, u"\u2026NOTE: a\r\nb\r\nc\r\n\r\nd\r\n"},
        {{1, 9, u"h", u"\r\r\n\n\r"}, true, u"@9 \r\n\r\n\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line.begin(), c.line.end()));
        ClipStore store;
        store.AddBook("Book");
        AddEntry(store, c.entry);
        FakeFrontEnd frontEnd;
        frontEnd.options.keeplocs = c.keeplocs;
        frontEnd.options.fixANSI = false;
        const std::int32_t slot = 1;
        EXPECT_EQ(DecodeWindows1252(test::BookTextOf(store, 1, frontEnd)), c.line + u"\r\n");
        EXPECT_EQ(DecodeWindows1252(FormatBookText(store, {&slot, 1}, frontEnd.encoding, frontEnd)), c.line + u"\r\n");
    }
}

TEST(BookText, TakesTheBooksEntriesInTableOrder)
{
    ClipStore store;
    store.AddBook("Emma");
    store.AddBook("Other");
    AddEntry(store, {1, 120, u"h", u"First"});
    AddEntry(store, {2, 1, u"h", u"not Emma's"});
    AddEntry(store, {1, 200, u"n", u"Mine"});
    AddEntry(store, {1, 300, u"b", u""});
    AddEntry(store, {2, 2, u"b", u""});
    const std::vector<std::int32_t> emma = {1, 3, 4};
    for (const bool keeplocs : {false, true}) {
        SCOPED_TRACE(keeplocs);
        FakeFrontEnd frontEnd;
        frontEnd.options.keeplocs = keeplocs;
        const std::u16string expected = keeplocs ? u"@120 First\r\n@200 NOTE: Mine\r\nBOOKMARK @ 300\r\n"
                                                 : u"\u2026First\r\n\u2026NOTE: Mine\r\nBOOKMARK @ 300\r\n";
        EXPECT_EQ(DecodeWindows1252(test::BookTextOf(store, 1, frontEnd)), expected);
        EXPECT_EQ(DecodeWindows1252(FormatBookText(store, emma, frontEnd.encoding, frontEnd)), expected);
    }
}

TEST(BookText, ABookWithoutEntriesIsEmpty)
{
    ClipStore store;
    store.AddBook("Empty");
    store.AddBook("Full");
    AddEntry(store, {2, 1, u"h", u"x"});
    FakeFrontEnd frontEnd;
    EXPECT_EQ(DecodeWindows1252(test::BookTextOf(store, 1, frontEnd)), u"");
    EXPECT_EQ(DecodeWindows1252(FormatBookText(store, {}, frontEnd.encoding, frontEnd)), u"");
}

TEST(BookText, FixAnsiRepairsTheWholeTextOnlyWhenOn)
{
    ClipStore store;
    store.AddBook(EncodeWindows1252(u"Caf\u00C3\u00A9")); // titles are never repaired; only the text is returned here
    AddEntry(store, {1, 1, u"h", u"Caf\u00C3\u00A9 \u00C2\u00AB"});
    AddEntry(store, {1, 2, u"n", u"\u00E2\u20AC\u0153Hi\u00E2\u20AC\u009D"});
    const std::vector<std::int32_t> slots = {1, 2};
    FakeFrontEnd frontEnd;
    frontEnd.options.fixANSI = true;
    const std::u16string repaired = u"\u2026Caf\u00E9 \u00AB\r\n\u2026NOTE: \"Hi\"\r\n";
    EXPECT_EQ(DecodeWindows1252(test::BookTextOf(store, 1, frontEnd)), repaired);
    EXPECT_EQ(DecodeWindows1252(FormatBookText(store, slots, frontEnd.encoding, frontEnd)), repaired);
    frontEnd.options.fixANSI = false;
    const std::u16string raw =
        u"\u2026Caf\u00C3\u00A9 \u00C2\u00AB\r\n\u2026NOTE: \u00E2\u20AC\u0153Hi\u00E2\u20AC\u009D\r\n";
    EXPECT_EQ(DecodeWindows1252(test::BookTextOf(store, 1, frontEnd)), raw);
    EXPECT_EQ(DecodeWindows1252(FormatBookText(store, slots, frontEnd.encoding, frontEnd)), raw);
}

TEST(BookText, FixAnsiInUtf8KeepsTextReadOnce)
{
    ClipStore store;
    store.AddBook("Book");
    store.AddEntry(1, 1, 'h', ToUtf8(u"\u00C2ge \u00E2me \u2026\u20AC \u00C3\u00A9 \u00C2\u00AB"));
    FakeFrontEnd frontEnd;
    frontEnd.encoding = TextEncoding::utf8;
    EXPECT_EQ(FromUtf8(test::BookTextOf(store, 1, frontEnd)),
              u"\u2026\u00C2ge \u00E2me \u2026\u20AC \u00E9 \u00AB\r\n");
}

TEST(BookText, ReadsKeeplocsForEveryTakenEntryAndFixAnsiOnce)
{
    ClipStore store;
    store.AddBook("A");
    store.AddBook("B");
    AddEntry(store, {1, 10, u"h", u"one"});
    AddEntry(store, {2, 11, u"h", u"other book"});
    AddEntry(store, {1, 12, u"b", u""});
    AddEntry(store, {1, 13, u"h", u"three"});
    const std::vector<std::int32_t> slots = {1, 3, 4};
    const std::u16string expected = u"\u2026one\r\nBOOKMARK @ 12\r\n@13 three\r\n";
    for (const bool direct : {true, false}) {
        SCOPED_TRACE(direct ? "clippings" : "FormatBookText");
        CountingFrontEnd frontEnd;
        // The box is ticked while the second entry is formatted: from then on
        // every entry shows its location.
        frontEnd.afterKeeplocsRead = [](CountingFrontEnd& self) { self.options.keeplocs = true; };
        const std::u16string text = direct
                                        ? DecodeWindows1252(test::BookTextOf(store, 1, frontEnd))
                                        : DecodeWindows1252(FormatBookText(store, slots, frontEnd.encoding, frontEnd));
        EXPECT_EQ(text, expected);
        EXPECT_EQ(frontEnd.reads[ExtractOption::keeplocs], 3);
        EXPECT_EQ(frontEnd.reads[ExtractOption::fixANSI], 1);
        EXPECT_EQ(frontEnd.reads.size(), 2U);
    }
}

} // namespace
} // namespace quillery
