#pragma once

#include "extract/clip_store.h"

#include <cstdint>
#include <span>

namespace quillery {

// Sorts table slots lo..hi (inclusive) by location / by book: a
// median-of-three quick phase that leaves ranges of at most five entries,
// then one insertion pass. The order of equal keys is the one these steps
// produce. Slots outside the table throw RunError.
void SortByLocation(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi);
void SortByBook(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi);

// Orders entries 1..entryCount by book, and each book's entries by location,
// using the slot after the last entry as an end marker (book = bookCount + 1,
// left there). Throws RunError naming the limit when the table is full.
void SortByBookThenLocation(ClipStore& store);

} // namespace quillery
