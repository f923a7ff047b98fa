#pragma once

// The quick phase of the entry sort replayed on keys alone, with scans that
// jump instead of stepping: the same swaps in the same order, so the same
// final arrangement, in O(m log^2 m) time for every order of m keys. Ranges
// of fewer than kReplayTrySize keys are first tried with the stepping scans
// on a copy of their keys, within a budget of comparisons, as those are
// faster on most orders.

#include <cstdint>
#include <vector>

namespace quillery::detail {

// (lo + hi) / 2 computed exactly, an exact half going to the even neighbour
// (slot numbers are never negative).
inline std::int32_t MiddleSlot(std::int32_t lo, std::int32_t hi)
{
    const std::int64_t sum = std::int64_t{lo} + hi;
    std::int64_t half = sum / 2;
    if (sum % 2 != 0 && half % 2 != 0) {
        ++half;
    }
    return static_cast<std::int32_t>(half);
}

// Ranges of fewer keys than this are tried with the stepping scans first.
inline constexpr std::int32_t kReplayTrySize = 16384;

// Runs the quick phase (ranges of more than `leave` + 1 entries are
// partitioned; `leave` >= 1) on `keys`, which stand for the slots firstSlot,
// firstSlot + 1, ... (the slot numbers decide the middles). Returns where each
// key ends: element k is the index into `keys` of the key left in slot
// firstSlot + k. `trySize` 0 leaves every range to the jumping scans.
std::vector<std::int32_t> ReplayQuickPhase(std::vector<std::int32_t> keys, std::int32_t firstSlot, std::int64_t leave,
                                           std::int32_t trySize = kReplayTrySize);

} // namespace quillery::detail
