#pragma once

#include "clean/clean_book.h"
#include "clean/item_keys.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillery {

// Joins each kept note to the kept highlight it was written on: the one whose
// span ends at the note's location, else one whose span holds it; of several,
// the one added last. The note becomes Fate::attached and its index goes in
// noteOf of that highlight. A highlight takes the first such note in the file;
// a later one, or a note without a location or a highlight, stays on its own.
// Returns how many notes it attached.
std::int64_t AttachNotes(std::span<const CleanItem> items, const AddedOrder& order, std::vector<Fate>& fate,
                         std::vector<std::int32_t>& noteOf);

} // namespace quillery
