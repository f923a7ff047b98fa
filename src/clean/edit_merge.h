#pragma once

#include "clean/clean_book.h"
#include "clean/item_keys.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace quillery {

// How many highlights after one (in location order, or in file order for
// highlights placed by page alone) it is compared with.
inline constexpr std::size_t kMaxEditPartners = 64;

// Marks Fate::merged each kept highlight that an edit superseded: one that
// overlaps another kept highlight (by location, or without locations by the
// same non-empty page) where one trimmed text holds the other, and that was
// added earlier. A highlight with a blank text never merges. Returns how many
// it marked.
std::int64_t MergeEdits(std::span<const CleanItem> items, const AddedOrder& order, std::vector<Fate>& fate);

} // namespace quillery
