#pragma once

// The entry sort with its budget made explicit, for tests and benchmarks.

#include "extract/entry_sort.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <span>

namespace quillery::detail {

// What one quick phase did.
struct SortStats {
    std::int64_t comparisons = 0; // key comparisons made by the stepping scans
    std::int32_t maxDepth = 0;    // deepest nesting of calls; 1 when nothing recursed
    std::int32_t handovers = 0;   // ranges handed over to the jumping scans
};

// (lo + hi) / 2 computed exactly, an exact half going to the even neighbour.
inline std::int32_t MiddleSlot(std::int32_t lo, std::int32_t hi)
{
    const std::int64_t sum = std::int64_t{lo} + hi;
    return static_cast<std::int32_t>(sum / 2 + (sum % 2 != 0 && (sum / 2) % 2 != 0 ? 1 : 0));
}

// Shorter ranges left by the jumping scans are stepped again: on most orders
// the steps are several times faster.
inline constexpr std::int32_t kTrySize = 1 << 18;

// A budget never spent: the stepping scans throughout.
inline constexpr std::int64_t kUnlimitedBudget = std::numeric_limits<std::int64_t>::max();

// Six times entries * log2(entries) key comparisons: about six times what
// random keys need, half as much again as organ pipe of 1000000 keys needs.
std::int64_t DefaultComparisonBudget(std::int32_t entries);

// SortByLocation (key: &ClipEntry::location) or SortByBook with this budget
// (by default the one for the range): the stepping scans may spend it; then
// the range at hand goes over to the jumping scans, which step again the
// ranges they leave shorter than `trySize`. The entries end where the steps
// alone leave them.
SortStats SortWithin(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi, std::int32_t ClipEntry::*key,
                     std::optional<std::int64_t> budget = std::nullopt, std::int32_t trySize = kTrySize);

} // namespace quillery::detail
