#pragma once

// The quick phase of the entry sort on (key, origin) pairs, with its budget
// made explicit, for tests and benchmarks.

#include "extract/entry_sort.h"

#include <cstdint>
#include <limits>
#include <span>

namespace quillery::detail {

// A key and the index of the entry it came from.
struct KeyOrigin {
    std::int32_t key;
    std::int32_t origin;
};

// What one quick phase did.
struct SortStats {
    std::int64_t comparisons = 0; // key comparisons made by the stepping scans
    std::int64_t partitions = 0;  // by the stepping scans
    std::int32_t maxDepth = 0;    // deepest nesting of stepping calls; 1 when nothing recursed
    std::int32_t handovers = 0;   // ranges handed to the jumping scans
    std::int64_t handedOver = 0;  // entries in those ranges
};

// (lo + hi) / 2 computed exactly, an exact half going to the even neighbour
// (slot numbers are never negative).
inline std::int32_t MiddleSlot(std::int32_t lo, std::int32_t hi)
{
    const std::int64_t sum = std::int64_t{lo} + hi;
    const std::int64_t half = sum / 2;
    return static_cast<std::int32_t>(sum % 2 != 0 && half % 2 != 0 ? half + 1 : half);
}

// A split of a range of at least kWatchedSize entries is lopsided when its
// smaller side holds less than 1/64 of them: a median of three on keys in
// random order makes one about once in 700 splits, and each costs a scan of
// the whole range. A crafted order makes nothing else, so a line of ranges
// is handed over after kLopsidedSplits of them in a row. Organ pipe, the
// worst ordinary order measured, still sorts all but a few small ranges by
// stepping, while a crafted order's scans cost a fraction of a random sort.
inline constexpr std::int64_t kWatchedSize = 4096;
inline constexpr std::int32_t kLopsidedSplits = 32;

// Ranges the jumping scans leave that hold fewer entries than this go back
// to the stepping scans, with a budget of their own: on most orders those
// are several times faster.
inline constexpr std::int32_t kTrySize = 16384;

// A budget that is never spent: the stepping scans throughout.
inline constexpr std::int64_t kUnlimitedBudget = std::numeric_limits<std::int64_t>::max();

// The budget of key comparisons for a range of `entries` entries: eight times
// entries * log2(entries), about eight times what random keys need and twice
// what the worst ordinary order measured (organ pipe, 1000000 keys) needs.
std::int64_t DefaultComparisonBudget(std::int32_t entries);

// Runs the quick phase on `pairs`, which stand for slots firstSlot,
// firstSlot + 1, ... (the slot numbers decide the middles): ranges of more
// than cutoff + 1 pairs are partitioned (a cutoff below 1 acts as 1). The
// stepping scans may spend `budget` comparisons, after which, or after a line
// of lopsided splits, the range at hand goes to the jumping scans; ranges
// they leave shorter than `trySize` are stepped again. The pairs end where
// the stepping scans alone would leave them, whatever the budget.
SortStats QuickPhase(std::span<KeyOrigin> pairs, std::int32_t firstSlot, std::int32_t cutoff, std::int64_t budget,
                     std::int32_t trySize = kTrySize);

// SortByLocation / SortByBook whose quick phase has `budget`.
SortStats SortByLocationWithin(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi, std::int64_t budget);
SortStats SortByBookWithin(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi, std::int64_t budget);

} // namespace quillery::detail
