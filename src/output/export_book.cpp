#include "output/export_book.h"

#include "clean/clean_store.h"
#include "extract/clip_store.h"
#include "extract/title_line.h"
#include "output/ansi_repair.h"
#include "output/book_slots.h"
#include "util/path_text.h"
#include "util/text.h"
#include "util/text_encoding.h"

// Inlined: the hash needs no library at run time.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include <algorithm>
#include <deque>

namespace quillery {

namespace {

std::string_view KindWord(char kind)
{
    switch (kind) {
    case 'h':
        return "highlight";
    case 'n':
        return "note";
    case 'b':
        return "bookmark";
    default:
        return {};
    }
}

// One book's texts made UTF-8 (and repaired when asked): views into the
// arena stay valid while the book is written.
class Utf8Texts {
  public:
    Utf8Texts(TextEncoding encoding, bool repair) : encoding_(encoding), repair_(repair) {}

    std::string_view Of(std::string_view bytes)
    {
        // Most texts need no repair: they are used as they are.
        const bool repair = repair_ && NeedsAnsiRepair(bytes, encoding_);
        if (encoding_ == TextEncoding::utf8 && !repair) {
            return bytes;
        }
        std::string text = repair ? RepairAnsi(bytes, encoding_) : std::string(bytes);
        if (encoding_ != TextEncoding::utf8) {
            text = ToUtf8(DecodeText(text, encoding_));
        }
        return arena_.emplace_back(std::move(text));
    }

  private:
    TextEncoding encoding_;
    bool repair_;
    std::deque<std::string> arena_;
};

struct BookBuilder {
    const ClipStore& store;
    const CleanOutcome* clean;
    const BookSlots& slots;
    bool duokan;

    ExportEntry Entry(const ClipEntry& entry, std::string_view titleLine, Utf8Texts& texts) const
    {
        const EntryDetails details = store.Details(entry.origin);
        ExportEntry out;
        out.kind = KindWord(entry.kind);
        out.text = texts.Of(store.Text(entry));
        out.page = texts.Of(details.page);
        out.hasLocation = duokan || details.locationStart != 0 || details.locationEnd != 0;
        out.locationStart = details.locationStart;
        out.locationEnd = details.locationEnd;
        out.added = details.added;
        out.line = details.line;
        out.id = EntryId(titleLine, out.kind, out.locationStart, out.text);
        const auto origin = static_cast<std::size_t>(entry.origin);
        if (clean != nullptr && origin < clean->noteOf.size() && clean->noteOf[origin] != 0) {
            const ClipEntry& note = store.entry(slots.SlotOf(clean->noteOf[origin]));
            out.hasNote = true;
            out.note = texts.Of(store.Text(note));
            out.added = std::max(out.added, store.Details(note.origin).added);
        }
        return out;
    }

    void Fill(ExportBook& book, std::int32_t number, std::string_view titleLine, Utf8Texts& texts) const
    {
        const std::span<const std::int32_t> bookSlots = slots.Of(number);
        for (std::size_t k = 0; k < bookSlots.size(); ++k) {
            store.PrefetchAhead(bookSlots, k);
            const ClipEntry& entry = store.entry(bookSlots[k]);
            if (KindWord(entry.kind).empty()) {
                continue;
            }
            ExportEntry out = Entry(entry, titleLine, texts);
            book.highlights += entry.kind == 'h' ? 1 : 0;
            book.notes += (entry.kind == 'n' ? 1 : 0) + (out.hasNote ? 1 : 0);
            book.lastAdded = std::max(book.lastAdded, out.added);
            book.entries.push_back(std::move(out));
        }
    }
};

} // namespace

std::string JoinedAuthors(const ExportBook& book)
{
    std::string authors;
    for (std::size_t i = 0; i < book.authors.size(); ++i) {
        authors += i == 0 ? "" : "; ";
        authors += book.authors[i];
    }
    return authors;
}

std::string EntryId(std::string_view titleLine, std::string_view kind, std::int32_t locationStart,
                    std::string_view text)
{
    XXH3_state_t state;
    XXH3_64bits_reset(&state);
    std::string location;
    AppendDecimal(location, locationStart);
    for (const std::string_view part : {titleLine, kind, std::string_view(location), text}) {
        XXH3_64bits_update(&state, part.data(), part.size());
        XXH3_64bits_update(&state, "", 1);
    }
    const XXH64_hash_t hash = XXH3_64bits_digest(&state);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string id(16, '0');
    for (std::size_t i = 0; i < 16; ++i) {
        id[15 - i] = kHex[(hash >> (4 * i)) & 0xF];
    }
    return id;
}

ExportSummary SummariseRun(const ClipStore& store, const CleanOutcome* clean, std::string sourcePath, bool duokan,
                           std::int64_t skippedUnrecognised)
{
    ExportSummary summary{duokan ? "duokan" : "kindle", std::move(sourcePath)};
    summary.books = store.bookCount();
    summary.skippedUnrecognised = skippedUnrecognised;
    for (std::int32_t j = 1; j <= store.entryCount(); ++j) {
        const ClipEntry& entry = store.entry(j);
        const auto origin = static_cast<std::size_t>(entry.origin);
        if (clean != nullptr && origin < clean->fate.size() && clean->fate[origin] != Fate::kept) {
            continue;
        }
        summary.highlights += entry.kind == 'h' ? 1 : 0;
        summary.notes += entry.kind == 'n' ? 1 : 0;
        summary.bookmarks += entry.kind == 'b' ? 1 : 0;
        summary.skippedUnrecognised += KindWord(entry.kind).empty() ? 1 : 0;
    }
    if (clean != nullptr) {
        summary.merged = clean->duplicates + clean->merged;
        summary.attachedNotes = clean->attached;
        summary.droppedPlaceholders = clean->placeholders;
    }
    return summary;
}

void ExportBooks(const ClipStore& store, const CleanOutcome* clean, const RunRequest& request, FrontEnd& frontEnd,
                 const ExportSummary& summary, ExportWriter& writer)
{
    const BookSlots slots(store, clean);
    const BookBuilder builder{store, clean, slots, summary.sourceKind == "duokan"};
    writer.Begin(summary);
    for (std::int32_t number = 1; number <= store.bookCount(); ++number) {
        Utf8Texts texts(request.encoding, frontEnd.OptionOn(ExtractOption::fixANSI));
        ExportBook book;
        book.titleLine = texts.Of(store.bookTitle(number));
        const TitleParts parts = SplitTitleLine(book.titleLine);
        book.title = parts.title;
        book.authors = parts.authors;
        builder.Fill(book, number, book.titleLine, texts);
        writer.Book(book);
        frontEnd.Yield();
    }
    writer.End();
}

} // namespace quillery
