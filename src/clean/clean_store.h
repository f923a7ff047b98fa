#pragma once

#include "clean/clean_book.h"

#include <cstdint>
#include <vector>

namespace quillery {

class ClipStore;

// What the cleaning made of every entry of a store, by the entry's origin
// slot (ClipEntry::origin; slot 0 unused), and how many of each.
struct CleanOutcome {
    std::vector<Fate> fate;
    // A kept highlight's attached note, as its origin slot; 0 when none.
    std::vector<std::int32_t> noteOf;
    std::int64_t duplicates = 0;
    std::int64_t merged = 0;
    std::int64_t attached = 0;
    std::int64_t placeholders = 0;
};

// Cleans each book of the store, its entries taken in the order the file held them.
CleanOutcome CleanStore(const ClipStore& store);

} // namespace quillery
