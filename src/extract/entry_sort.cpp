#include "extract/entry_sort.h"

#include "extract/entry_sort_detail.h"

namespace quillery {

void SortByLocation(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi)
{
    detail::SortWithin(table, lo, hi, &ClipEntry::location);
}

void SortByBook(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi)
{
    detail::SortWithin(table, lo, hi, &ClipEntry::book);
}

void SortByBookThenLocation(ClipStore& store)
{
    const std::int32_t entryCount = store.entryCount();
    store.MarkerSlot().book = store.bookCount() + 1;
    const std::span<ClipEntry> table = store.entrySlots();
    SortByBook(table, 1, entryCount);

    // Entries now stand in book order and the marker's book exceeds every
    // real one, so each change of book closes one book's run, the last at
    // the marker.
    std::int32_t key = 1;
    std::int32_t start = 1;
    for (std::int32_t i = 1; i <= entryCount + 1; ++i) {
        if (table[static_cast<std::size_t>(i)].book > key) {
            SortByLocation(table, start, i - 1);
            start = i;
            key = table[static_cast<std::size_t>(i)].book;
        }
    }
    // Entries read under an empty title before any title was stored carry
    // book 1 while no book is stored, so the marker (book 1) closes no run.
    if (start <= entryCount) {
        SortByLocation(table, start, entryCount);
    }
}

} // namespace quillery
