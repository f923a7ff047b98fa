// Fuzzes a whole run short of the classic files on disk: bytes -> ReadAndSort
// -> the text of every book, and the JSON export. The first byte sets the
// options (see ByteFrontEnd) and, with bit 6, makes the input a .dkx file;
// the rest is the file. A RunError is a normal outcome; otherwise the sort
// must have kept every entry and put them in order, each book's text must be
// what its entries' lines give, every character written must go out as one
// byte of the code page, the page escaping must keep the text as it reads,
// and the JSON export must parse and count what it holds.
#include "fuzz_support.h"
#include "json_export_check.h"

#include "extract/clip_store.h"
#include "extract/dkx_reader.h"
#include "extract/run_driver.h"
#include "extract/run_error.h"
#include "output/book_text.h"
#include "output/html_text.h"
#include "util/code_page.h"
#include "util/sys_safe_chars.h"
#include "util/text.h"

#include "support/repair_reference.h"
#include "support/store_entries.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

using namespace quillery;
using test::TextEntry;

std::vector<TextEntry> Entries(const ClipStore& store)
{
    std::vector<TextEntry> entries;
    for (std::int32_t slot = 1; slot <= store.entryCount(); ++slot) {
        entries.push_back(test::EntryAt(store, slot));
    }
    return entries;
}

auto Key(const TextEntry& e)
{
    return std::tie(e.book, e.location, e.kind, e.text);
}

void CheckSortPhase(std::vector<TextEntry> before, const ClipStore& store, bool sorted, bool dkx)
{
    std::vector<TextEntry> after = Entries(store);
    FUZZ_CHECK(after.size() == before.size(), "the sort phase changed the number of entries");
    if (!sorted) {
        FUZZ_CHECK(
            std::equal(after.begin(), after.end(), before.begin(), [](auto& a, auto& b) { return Key(a) == Key(b); }),
            "entries moved with sorting off");
        return;
    }
    for (std::size_t i = 1; i < after.size(); ++i) {
        const auto& a = after[i - 1];
        const auto& b = after[i];
        const bool inOrder =
            dkx ? a.location <= b.location : std::tie(a.book, a.location) <= std::tie(b.book, b.location);
        FUZZ_CHECK(inOrder, "entries out of order after the sort");
    }
    const auto byKey = [](auto& a, auto& b) { return Key(a) < Key(b); };
    std::sort(before.begin(), before.end(), byKey);
    std::sort(after.begin(), after.end(), byKey);
    FUZZ_CHECK(
        std::equal(after.begin(), after.end(), before.begin(), [](auto& a, auto& b) { return Key(a) == Key(b); }),
        "the sort lost or changed an entry");
}

// `text` with its line ends, LF, CR LF or a lone CR, each as CR LF.
std::u16string WithCrLf(std::u16string_view text)
{
    std::u16string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            lines += u"\r\n";
            i += text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n' ? 1 : 0;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

// A book's lines as the formatter's table gives them, repaired when asked.
std::u16string ExpectedText(const ClipStore& store, const std::vector<std::int32_t>& slots,
                            fuzz::ByteFrontEnd& frontEnd)
{
    std::u16string text;
    for (const std::int32_t slot : slots) {
        const TextEntry entry = test::EntryAt(store, slot);
        const std::u16string location = ToDecimal(entry.location);
        const bool keeplocs = frontEnd.OptionOn(ExtractOption::keeplocs);
        if (entry.kind == u"b") {
            text += u"BOOKMARK @ " + location;
        } else {
            text += keeplocs ? u"@" + location + u" " : u"\u2026";
            text += (entry.kind == u"n" ? u"NOTE: " : u"") + WithCrLf(entry.text);
        }
        text += u"\r\n";
    }
    return frontEnd.OptionOn(ExtractOption::fixANSI) ? test::RepairStepByStep(text, frontEnd.encoding) : text;
}

// The page shows every character as it reads: after escaping, "<" and ">"
// appear only as references and every "&" opens one of the three.
void CheckEscaped(const std::string& bytes)
{
    std::string escaped;
    AppendHtmlEscaped(escaped, bytes);
    FUZZ_CHECK(escaped.find_first_of("<>") == std::string::npos, "markup left unescaped in the page");
    std::string back;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] != '&') {
            back += escaped[i];
            continue;
        }
        const std::string_view rest = std::string_view(escaped).substr(i);
        const char* const names[] = {"&amp;", "&lt;", "&gt;"};
        const char plain[] = {'&', '<', '>'};
        std::size_t k = 0;
        while (k < 3 && !rest.starts_with(names[k])) {
            ++k;
        }
        FUZZ_CHECK(k < 3, "a bare \"&\" in the page");
        back += plain[k];
        i += std::string_view(names[k]).size() - 1;
    }
    FUZZ_CHECK(back == bytes, "escaping changed the text");
}

bool SurvivesCodePage(const std::u16string& text)
{
    return DecodeWindows1252(EncodeWindows1252(text)) == text;
}

void CheckSafeName(const std::u16string& title)
{
    const std::u16string name = SysSafeChars(title);
    FUZZ_CHECK(name.size() <= kMaxSafeNameLength, "safe name longer than the limit");
    FUZZ_CHECK(name.find_first_of(std::u16string(u"\\/:*?\"<>|") + u'\0') == std::u16string::npos,
               "safe name holds a character that no file name can hold");
    FUZZ_CHECK(std::none_of(name.begin(), name.end(), [](char16_t c) { return c > u'~'; }), "safe name not ASCII");
    FUZZ_CHECK(name.empty() || (name.front() != u' ' && name.back() != u' '), "safe name has blanks at an end");
}

void CheckBooks(const ClipStore& store, fuzz::ByteFrontEnd& frontEnd)
{
    std::vector<std::vector<std::int32_t>> slots(static_cast<std::size_t>(store.bookCount()) + 1);
    // Entries under empty title lines before the first title belong to book 1,
    // which may never be stored; then they belong to no book and are not written.
    for (std::int32_t slot = 1; slot <= store.entryCount(); ++slot) {
        const std::int32_t book = store.entry(slot).book;
        FUZZ_CHECK(book >= 1 && book <= std::max(store.bookCount(), 1), "entry of a book that is not stored");
        if (book <= store.bookCount()) {
            slots[static_cast<std::size_t>(book)].push_back(slot);
        }
    }
    for (std::int32_t book = 1; book <= store.bookCount(); ++book) {
        const auto& own = slots[static_cast<std::size_t>(book)];
        const std::string bytes = FormatBookText(store, own, frontEnd.encoding, frontEnd);
        const std::u16string text = DecodeWindows1252(bytes);
        FUZZ_CHECK(text == ExpectedText(store, own, frontEnd), "book text differs from its entries' lines");
        FUZZ_CHECK(SurvivesCodePage(text), "book text holds a character outside the code page");
        CheckSafeName(test::TitleOf(store, book));
        CheckEscaped(store.bookTitle(book));
        CheckEscaped(bytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile kindleFile("pipeline", ".txt");
    static const fuzz::ScratchFile dkxFile("pipeline", ".dkx");
    const std::uint8_t options = size > 0 ? data[0] : 0x3F;
    const bool dkx = (options & 0x40) != 0;
    const fuzz::ScratchFile& file = dkx ? dkxFile : kindleFile;
    const std::u16string& path = size > 0 ? file.Write(data + 1, size - 1) : file.Write(data, 0);

    fuzz::ByteFrontEnd frontEnd(options, path);
    ClipStore store;
    std::vector<TextEntry> beforeSort;
    frontEnd.onPhase = [&](RunPhase phase) {
        if (phase == RunPhase::sorting) {
            beforeSort = Entries(store);
        }
    };
    try {
        ReadAndSort(frontEnd.request(), store, frontEnd);
    } catch (const RunError&) {
        return 0;
    }
    if (dkx) {
        // The DKX reader reads no options, so a second reading gives the entries before the sort.
        ClipStore unsorted;
        fuzz::ByteFrontEnd quiet(0, path);
        ReadDkx(quiet.requestFor(path), unsorted, quiet);
        beforeSort = Entries(unsorted);
    }
    CheckSortPhase(std::move(beforeSort), store, frontEnd.sortAnswer(), dkx);
    CheckBooks(store, frontEnd);
    fuzz::CheckJsonExport(store, frontEnd.request(), frontEnd, dkx);
    return 0;
}
