#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quillery {

// One highlight ("h"), note ("n") or bookmark ("b"); a Duokan item may carry
// another kind text.
struct ClipEntry {
    std::int32_t book = 0;
    std::int32_t location = 0;
    std::u16string kind;
    std::u16string text;
};

// The books and entries of one run. Both tables are numbered from 1 and never
// use slot 0; a book's number is its slot in bookTitles. The tables hold at
// most kMaxBooks titles and kMaxEntries entries, but grow as they fill, so a
// small file costs little memory.
class ClipStore {
public:
    static constexpr std::int32_t kMaxBooks = 10000;
    static constexpr std::int32_t kMaxEntries = 1000000;

    ClipStore();

    std::int32_t bookCount() const { return bookCount_; }
    std::int32_t entryCount() const { return entryCount_; }

    const std::u16string& bookTitle(std::int32_t book) const { return bookTitles_.at(static_cast<std::size_t>(book)); }
    ClipEntry& entry(std::int32_t slot) { return entries_.at(static_cast<std::size_t>(slot)); }
    const ClipEntry& entry(std::int32_t slot) const { return entries_.at(static_cast<std::size_t>(slot)); }

    // Slots 0..entryCount (slot 0 unused), for the sorts and the writer.
    std::vector<ClipEntry>& entryTable() { return entries_; }
    const std::vector<ClipEntry>& entryTable() const { return entries_; }

    // Stores a new title; throws RunError naming the limit past kMaxBooks.
    std::int32_t AddBook(std::u16string title);
    // The number of the first stored title equal to `title`, or 0.
    std::int32_t FindBook(std::u16string_view title) const;
    // Stores an entry in the next slot; throws RunError past kMaxEntries.
    void AddEntry(ClipEntry entry);

    // Empties the entry table; the titles stay.
    void ClearEntries();

    // The slot just after the last entry, which the book sort uses as an end
    // marker; throws RunError naming the limit when the table is full.
    ClipEntry& MarkerSlot();

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>{}(s); }
    };
    std::vector<std::u16string> bookTitles_;
    std::vector<ClipEntry> entries_;
    std::unordered_map<std::u16string, std::int32_t, Hash, std::equal_to<>> bookIndex_;
    std::int32_t bookCount_ = 0;
    std::int32_t entryCount_ = 0;
};

} // namespace quillery
