#pragma once

#include "extract/clip_store.h"

#include <cstdint>
#include <vector>

namespace quillery {

using EntryTable = std::vector<ClipEntry>;

// Sorts entries lo..hi (inclusive slot numbers) by location / by book: a
// median-of-three quick phase that leaves ranges of at most cutoff + 1
// entries, then one insertion pass. The order of equal keys is the one these
// steps produce.
void SortByLocation(EntryTable& table, std::int32_t lo, std::int32_t hi);
void SortByBook(EntryTable& table, std::int32_t lo, std::int32_t hi);

// The quick phase alone: ranges of at most cutoff + 1 entries are left as
// they are (a cutoff below 1 acts as 1). Slots outside the table throw RunError.
void QuickSortByLocation(EntryTable& table, std::int32_t cutoff, std::int32_t lo, std::int32_t hi);
void QuickSortByBook(EntryTable& table, std::int32_t cutoff, std::int32_t lo, std::int32_t hi);
// The insertion pass alone: stable, moving entries past greater keys only.
void InsertionSortByLocation(EntryTable& table, std::int32_t lo, std::int32_t hi);
void InsertionSortByBook(EntryTable& table, std::int32_t lo, std::int32_t hi);
// Exchanges two whole entries (plain records: their texts stay in the store).
void SwapEntries(ClipEntry& a, ClipEntry& b);

// Orders entries 1..entryCount by book, and each book's entries by location,
// using the slot after the last entry as an end marker (book = bookCount + 1,
// left there). Throws RunError naming the limit when the table is full.
void SortByBookThenLocation(ClipStore& store);

} // namespace quillery
