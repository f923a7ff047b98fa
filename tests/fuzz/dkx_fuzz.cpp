// Fuzzes the Duokan (.dkx) reader. The input is the whole file. A RunError
// is a normal outcome. Where the file holds no "&" and no CDATA section (so
// nothing is to be decoded), the store must equal what a plain, literal
// reading of the tag search gives: one book, one entry per non-blank item,
// and a failure where there is neither a book name nor an item.
#include "fuzz_support.h"

#include "extract/clip_store.h"
#include "extract/dkx_reader.h"
#include "extract/parse_location.h"
#include "extract/run_error.h"
#include "util/code_page.h"
#include "util/path_text.h"

#include "support/store_entries.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace quillery;
using test::TextEntry;

std::u16string_view TrimSpaces(std::u16string_view text)
{
    const auto first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// The element search, step by step: the value between <what> and the first
// </what> after it, or nothing when a tag is missing. `from` is 0-based and
// moves to the closing tag's ">".
std::optional<std::u16string> Element(std::size_t& from, std::u16string_view what, std::u16string_view where)
{
    const std::u16string open = u"<" + std::u16string(what) + u">";
    const std::u16string close = u"</" + std::u16string(what) + u">";
    const std::size_t p1 = where.find(open, from);
    if (p1 == std::u16string_view::npos) {
        return std::nullopt;
    }
    const std::size_t p2 = where.find(close, p1 + 1);
    if (p2 == std::u16string_view::npos) {
        return std::nullopt;
    }
    from = p2 + close.size() - 1;
    return std::u16string(TrimSpaces(where.substr(p1 + open.size(), p2 - p1 - open.size())));
}

std::u16string First(std::u16string_view what, std::u16string_view where)
{
    std::size_t from = 0;
    return Element(from, what, where).value_or(u"");
}

struct Expected {
    std::u16string title;
    std::vector<TextEntry> entries;
    bool fails = false;
};

Expected ReadLiterally(std::u16string_view text)
{
    Expected expected;
    expected.title = First(u"BookName", text);
    std::size_t from = 0;
    bool anyItem = false;
    while (const auto item = Element(from, u"ReadingDataItem", text)) {
        anyItem = true;
        if (item->empty()) {
            continue;
        }
        TextEntry entry;
        entry.book = 1;
        entry.kind = First(u"Type", *item);
        if (entry.kind == u"DIGEST") {
            entry.kind = u"h";
            entry.text = First(u"BookContent", *item);
        } else if (entry.kind == u"COMMENT") {
            entry.kind = u"n";
            entry.text = First(u"UserContent", *item);
        } else {
            // The store keeps "h", "n" and "b" and marks any other type as another kind.
            entry.kind = test::KindText(test::KindCode(entry.kind));
        }
        try {
            entry.location = ParseLocation(First(u"AtomIndex", First(u"BeginPos", *item)));
        } catch (const RunError&) {
            expected.fails = true;
            return expected;
        }
        expected.entries.push_back(std::move(entry));
    }
    // Neither a book name nor an item: no Duokan file at all.
    expected.fails = !anyItem && expected.title.empty();
    return expected;
}

bool SameEntry(const TextEntry& a, const TextEntry& b)
{
    return a == b;
}

void CompareWithLiteralReading(std::u16string_view text, const ClipStore* store)
{
    const Expected expected = ReadLiterally(text);
    FUZZ_CHECK(expected.fails == (store == nullptr), "fails where a literal reading does not, or the reverse");
    if (store == nullptr) {
        return;
    }
    FUZZ_CHECK(test::TitleOf(*store, 1) == expected.title, "title differs from a literal reading");
    FUZZ_CHECK(store->entryCount() == static_cast<std::int32_t>(expected.entries.size()),
               "entry count differs from a literal reading");
    for (std::size_t i = 0; i < expected.entries.size(); ++i) {
        FUZZ_CHECK(SameEntry(test::EntryAt(*store, static_cast<std::int32_t>(i + 1)), expected.entries[i]),
                   "entry differs from a literal reading");
    }
}

std::size_t Count(std::u16string_view text, std::u16string_view what)
{
    std::size_t count = 0;
    for (auto at = text.find(what); at != std::u16string_view::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile file("dkx", ".dkx");
    const std::u16string& path = file.Write(data, size);
    const std::u16string text = DecodeWindows1252(std::string_view(reinterpret_cast<const char*>(data), size));
    const bool literal = text.find(u'&') == std::u16string::npos && text.find(u"<![CDATA[") == std::u16string::npos;
    fuzz::ByteFrontEnd frontEnd(0xFF, path);
    ClipStore store;
    try {
        ReadDkx(frontEnd.requestFor(path), store, frontEnd);
    } catch (const RunError& error) {
        FUZZ_CHECK(std::string(error.what()).find(ToUtf8(path)) != std::string::npos, "failure does not name the file");
        if (literal) {
            CompareWithLiteralReading(text, nullptr);
        }
        return 0;
    }
    FUZZ_CHECK(store.bookCount() == 1, "not exactly one book");
    FUZZ_CHECK(static_cast<std::size_t>(store.entryCount()) <= Count(text, u"<ReadingDataItem>"),
               "more entries than items");
    FUZZ_CHECK(frontEnd.captionCount() == store.entryCount(), "not one progress caption per stored entry");
    for (std::int32_t slot = 1; slot <= store.entryCount(); ++slot) {
        FUZZ_CHECK(store.entry(slot).book == 1, "entry of a book other than 1");
    }
    if (literal) {
        CompareWithLiteralReading(text, &store);
    }
    return 0;
}
