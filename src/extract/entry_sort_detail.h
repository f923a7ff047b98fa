#pragma once

// The entry sort with its comparison budget made explicit, for tests and
// benchmarks. The sort phase itself uses DefaultComparisonBudget.

#include "extract/entry_sort.h"

#include <cstdint>
#include <limits>

namespace quillery::detail {

// What one sort did.
struct SortStats {
    std::int64_t comparisons = 0; // key comparisons made by partitions
    std::int64_t partitions = 0;
    std::int32_t maxDepth = 0;  // deepest nesting of quick-phase calls; 1 when nothing recursed
    std::int32_t replays = 0;   // ranges finished by the replay once the budget was spent
    std::int64_t replayed = 0;  // entries in those ranges
};

// A split of a range of at least kWatchedSize entries is lopsided when its
// smaller side holds less than 1/64 of them: a median of three on keys in
// random order makes one about once in 700 splits, and each costs a scan of
// the whole range. A crafted order makes nothing else, so a line of ranges
// is replayed after kLopsidedSplits of them in a row. Organ pipe, the worst
// ordinary order measured, then still sorts all but a few small ranges by
// the steps, while a crafted order's scans cost a fraction of a sort in
// random order.
inline constexpr std::int64_t kWatchedSize = 4096;
inline constexpr std::int32_t kLopsidedSplits = 32;

// A budget that is never spent: the quick phase's own steps throughout.
inline constexpr std::int64_t kUnlimitedBudget = std::numeric_limits<std::int64_t>::max();

// The budget of key comparisons for a range of `entries` entries: eight times
// entries * log2(entries), about eight times what random keys need and twice
// what the worst ordinary order measured (organ pipe, 1000000 keys) needs.
std::int64_t DefaultComparisonBudget(std::int32_t entries);

// SortByLocation / SortByBook whose quick phase may spend `budget` key
// comparisons before it finishes the ranges left by replaying its steps; a
// line of lopsided splits is replayed sooner. With kUnlimitedBudget: the
// steps throughout, never replayed. The result is the same for every budget.
// `stats`, when given, is filled in.
void SortByLocationWithin(EntryTable& table, std::int32_t lo, std::int32_t hi, std::int64_t budget,
                          SortStats* stats = nullptr);
void SortByBookWithin(EntryTable& table, std::int32_t lo, std::int32_t hi, std::int64_t budget,
                      SortStats* stats = nullptr);

} // namespace quillery::detail
