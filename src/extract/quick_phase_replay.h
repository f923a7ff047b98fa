#pragma once

// The quick phase of the entry sort replayed on keys alone, with scans that
// jump instead of stepping: the same swaps in the same order, so the same
// final arrangement, in O(m log^2 m) time for every order of m keys.

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

// Runs the quick phase (ranges of more than `leave` + 1 entries are
// partitioned; `leave` >= 1) on `keys`, which stand for the slots firstSlot,
// firstSlot + 1, ... (the slot numbers decide the middles). Returns where each
// key ends: element k is the index into `keys` of the key left in slot
// firstSlot + k.
std::vector<std::int32_t> ReplayQuickPhase(std::vector<std::int32_t> keys, std::int32_t firstSlot, std::int64_t leave);

} // namespace quillery::detail
