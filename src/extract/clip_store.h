#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quillery {

// One highlight ('h'), note ('n') or bookmark ('b'); a Duokan item of another
// type has kOtherKind. The text is a slice of the store's text bytes, as the
// file holds them (Windows-1252: one byte per character). The record holds no
// pointer, so tables of it are copied and sorted as plain memory.
struct ClipEntry {
    static constexpr char kOtherKind = '?';

    std::int32_t book = 0;
    std::int32_t location = 0;
    std::uint64_t textOffset = 0;
    std::uint32_t textLength = 0;
    char kind = 0;
    // The slot the entry was stored in, which stays its number when the
    // sorts move it: the key of its details.
    std::int32_t origin = 0;
};
static_assert(std::is_trivially_copyable_v<ClipEntry>);

// What the file records of an entry beyond its place in the book: its page
// as written, its location's start and end (0 and 0: none), when it was added
// (YYYYMMDDhhmmss as a number, 0: unknown) and the line where it starts (for
// a Duokan file, the item's number).
struct EntryDetails {
    std::string_view page;
    std::int32_t locationStart = 0;
    std::int32_t locationEnd = 0;
    std::int64_t added = 0;
    std::int64_t line = 0;
};

// The books and entries of one run. Both tables are numbered from 1 and never
// use slot 0; a book's number is its slot in bookTitles. The tables hold at
// most kMaxBooks titles and kMaxEntries entries, but grow as they fill, so a
// small file costs little memory. Titles and texts are bytes; every entry's
// text lives in one buffer, so storing an entry allocates nothing of its own.
class ClipStore {
  public:
    static constexpr std::int32_t kMaxBooks = 10000;
    static constexpr std::int32_t kMaxEntries = 1000000;

    ClipStore();

    std::int32_t bookCount() const { return bookCount_; }
    std::int32_t entryCount() const { return entryCount_; }

    const std::string& bookTitle(std::int32_t book) const { return bookTitles_.at(static_cast<std::size_t>(book)); }
    ClipEntry& entry(std::int32_t slot) { return entries_.at(static_cast<std::size_t>(slot)); }
    const ClipEntry& entry(std::int32_t slot) const { return entries_.at(static_cast<std::size_t>(slot)); }
    // The entry's text bytes; an entry whose slice lies outside the buffer has none.
    std::string_view Text(const ClipEntry& entry) const;

    // Slots 0..entryCount (slot 0 unused), for the writer.
    const std::vector<ClipEntry>& entryTable() const { return entries_; }
    // The same slots, and the marker's once there, for the sorts to reorder.
    std::span<ClipEntry> entrySlots() { return entries_; }

    // Stores a new title; throws RunError naming the limit past kMaxBooks.
    std::int32_t AddBook(std::string_view title);
    // The number of the first stored title equal to `title`, or 0.
    std::int32_t FindBook(std::string_view title) const;
    // Stores an entry in the next slot, its text copied into the text
    // buffer; throws RunError past kMaxEntries.
    void AddEntry(std::int32_t book, std::int32_t location, char kind, std::string_view text,
                  const EntryDetails& details = {});
    // The details of the entry stored in slot `origin`; its page is a view into the store.
    EntryDetails Details(std::int32_t origin) const;
    // Asks for the text and details of the entry a few places after
    // slots[k], ahead of their use: sorted entries take them from all over
    // memory, and a writer that asks ahead while it works on slots[k]
    // overlaps those cache misses with its work.
    void PrefetchAhead(std::span<const std::int32_t> slots, std::size_t k) const;

    // Room for about `bytes` of text, so a large file's texts do not make
    // the buffer grow by copying (pages not yet written cost no memory).
    void ReserveText(std::size_t bytes);
    // Room for `count` entries (at most the table's limit), so that the
    // tables do not grow by copying either.
    void ReserveEntries(std::size_t count);

    // Empties the entry table and the text buffer; the titles stay.
    void ClearEntries();

    // The slot just after the last entry, which the book sort uses as an end
    // marker; throws RunError naming the limit when the table is full.
    ClipEntry& MarkerSlot();

  private:
    // The title index: open addressing over a table of a power of two
    // slots, kept at most half full, each slot a title's hash and book
    // number (0: empty). One lookup per entry touches a slot and the title,
    // nothing else; a store of few books keeps a small table.
    struct IndexSlot {
        std::size_t hash = 0;
        std::int32_t book = 0;
    };
    static constexpr std::size_t kFirstIndexSize = 64;

    // Doubles the index, placing every slot anew.
    void GrowIndex();
    // The slot of `title`: the one holding its first book, else the empty one where it goes.
    std::size_t IndexSlotOf(std::string_view title, std::size_t hash) const;

    // An entry's details without its page, which lives in pages_.
    struct StoredDetails {
        std::int64_t added = 0;
        std::int64_t line = 0;
        std::uint64_t pageOffset = 0;
        std::int32_t locationStart = 0;
        std::int32_t locationEnd = 0;
        std::uint32_t pageLength = 0;
    };

    std::vector<std::string> bookTitles_;
    std::vector<StoredDetails> details_;
    std::string pages_;
    std::vector<ClipEntry> entries_;
    std::string text_;
    std::vector<IndexSlot> bookIndex_;
    std::int32_t bookCount_ = 0;
    std::int32_t entryCount_ = 0;
};

} // namespace quillery
