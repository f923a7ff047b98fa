#include "extract/entry_sort.h"

#include "extract/entry_sort_detail.h"
#include "extract/quick_phase_replay.h"
#include "extract/run_error.h"

#include <algorithm>
#include <bit>
#include <string>
#include <utility>
#include <vector>

namespace quillery {

namespace {

struct ByLocation {
    std::int32_t operator()(const ClipEntry& entry) const { return entry.location; }
};

struct ByBook {
    std::int32_t operator()(const ClipEntry& entry) const { return entry.book; }
};

// A non-empty range must lie inside the table; the steps below then index
// without further checks, since every slot they reach lies within lo..hi.
void CheckRange(const EntryTable& table, std::int32_t lo, std::int32_t hi)
{
    if (hi < lo) {
        return;
    }
    if (lo < 0 || static_cast<std::size_t>(hi) >= table.size()) {
        throw RunError("Sorting: slots " + std::to_string(lo) + ".." + std::to_string(hi) +
                       " lie outside the entry table of " + std::to_string(table.size()) + " slots");
    }
}

// Partitions lo..hi (at least three entries) around a median-of-three pivot.
// Returns {j, i}: the sub-ranges still to sort are lo..j and i + 1..hi.
template <typename Key>
std::pair<std::int32_t, std::int32_t> Partition(EntryTable& t, std::int32_t lo, std::int32_t hi, Key key)
{
    const std::int32_t mid = detail::MiddleSlot(lo, hi);
    if (key(t[lo]) > key(t[mid])) {
        SwapEntries(t[lo], t[mid]);
    }
    if (key(t[lo]) > key(t[hi])) {
        SwapEntries(t[lo], t[hi]);
    }
    if (key(t[mid]) > key(t[hi])) {
        SwapEntries(t[mid], t[hi]);
    }
    SwapEntries(t[mid], t[hi - 1]);
    const std::int32_t pivot = key(t[hi - 1]);

    // Slot lo (key <= pivot) and slot hi - 1 (the pivot) stop the scans, so
    // neither leaves the range.
    std::int32_t i = lo;
    std::int32_t j = hi - 1;
    for (;;) {
        do {
            ++i;
        } while (key(t[i]) < pivot);
        do {
            --j;
        } while (key(t[j]) > pivot);
        if (j < i) {
            break;
        }
        SwapEntries(t[i], t[j]);
    }
    SwapEntries(t[i], t[hi - 1]);
    return {j, i};
}

// The quick phase's running account over one top-level range.
struct QuickRun {
    std::int64_t budget; // key comparisons left; spent when <= 0
    bool watchSplits;    // replay a line of ranges after kLopsidedSplits lopsided splits
    detail::SortStats stats;
};

using detail::kLopsidedSplits;
using detail::kWatchedSize;

bool Lopsided(std::int64_t size, std::int64_t left, std::int64_t right)
{
    return 64 * std::min(left, right) < size;
}

std::int64_t SizeTimesLog(std::int64_t size)
{
    return size * static_cast<std::int64_t>(std::bit_width(static_cast<std::uint64_t>(size)));
}

// Finishes lo..hi with the quick phase replayed on its keys (same swaps, same
// result, scans that jump), then moves the entries where the replay put
// their keys, following each cycle of the arrangement once.
template <typename Key>
void ReplayRange(EntryTable& t, std::int64_t leave, std::int32_t lo, std::int32_t hi, Key key)
{
    std::vector<std::int32_t> keys;
    keys.reserve(static_cast<std::size_t>(hi - lo) + 1);
    for (std::int32_t s = lo; s <= hi; ++s) {
        keys.push_back(key(t[s]));
    }
    std::vector<std::int32_t> origin = detail::ReplayQuickPhase(std::move(keys), lo, leave);
    for (std::int32_t start = 0; start < static_cast<std::int32_t>(origin.size()); ++start) {
        if (origin[start] == start) {
            continue;
        }
        const ClipEntry held = t[lo + start];
        std::int32_t at = start;
        while (origin[at] != start) {
            const std::int32_t from = origin[at];
            t[lo + at] = t[lo + from];
            origin[at] = at;
            at = from;
        }
        t[lo + at] = held;
        origin[at] = at;
    }
}

// The two sub-ranges are disjoint, so the order in which they are sorted does
// not change the result: the smaller one is sorted by a recursive call and
// the larger one by the loop, which keeps the depth logarithmic.
// A median of three needs three distinct slots, so a cutoff below 1 acts as 1.
//
// Once the budget is spent, or a line of ranges has been split lopsidedly
// too often, a range is finished by the replay, which makes the same swaps
// in O(m log^2 m) for every order, where the stepping scans of an
// adversarial order take O(m^2).
template <typename Key>
void QuickSortBy(EntryTable& t, std::int32_t cutoff, std::int32_t lo, std::int32_t hi, Key key, QuickRun& run,
                 std::int32_t depth, std::int32_t lopsided)
{
    run.stats.maxDepth = std::max(run.stats.maxDepth, depth);
    const std::int64_t leave = cutoff < 1 ? 1 : cutoff;
    while (std::int64_t{hi} - lo > leave) {
        if (run.budget <= 0 || lopsided >= kLopsidedSplits) {
            ++run.stats.replays;
            run.stats.replayed += std::int64_t{hi} - lo + 1;
            ReplayRange(t, leave, lo, hi, key);
            return;
        }
        const auto [j, i] = Partition(t, lo, hi, key);
        // Three comparisons for the median, one per step of each scan.
        const std::int64_t compared = 3 + (std::int64_t{i} - lo) + (std::int64_t{hi} - 1 - j);
        run.budget -= compared;
        run.stats.comparisons += compared;
        ++run.stats.partitions;
        const std::int64_t left = std::int64_t{j} - lo + 1;
        const std::int64_t right = std::int64_t{hi} - i;
        if (run.watchSplits && std::int64_t{hi} - lo + 1 >= kWatchedSize) {
            lopsided = Lopsided(std::int64_t{hi} - lo + 1, left, right) ? lopsided + 1 : 0;
        }
        if (left <= right) {
            QuickSortBy(t, cutoff, lo, j, key, run, depth + 1, lopsided);
            lo = i + 1;
        } else {
            QuickSortBy(t, cutoff, i + 1, hi, key, run, depth + 1, lopsided);
            hi = j;
        }
    }
}

// The quick phase's own steps throughout (no budget).
template <typename Key> void QuickSortBy(EntryTable& t, std::int32_t cutoff, std::int32_t lo, std::int32_t hi, Key key)
{
    QuickRun run{detail::kUnlimitedBudget, false, {}};
    QuickSortBy(t, cutoff, lo, hi, key, run, 1, 0);
}

// Moves each entry down past strictly greater keys only, so equal keys keep
// their order.
template <typename Key> void InsertionSortBy(EntryTable& t, std::int32_t lo, std::int32_t hi, Key key)
{
    for (std::int32_t i = lo + 1; i <= hi; ++i) {
        const std::int32_t k = key(t[i]);
        if (key(t[i - 1]) <= k) {
            continue;
        }
        const ClipEntry held = t[i];
        std::int32_t j = i;
        while (j > lo && key(t[j - 1]) > k) {
            t[j] = t[j - 1];
            --j;
        }
        t[j] = held;
    }
}

template <typename Key>
void SortBy(EntryTable& table, std::int32_t lo, std::int32_t hi, Key key, std::int64_t budget, detail::SortStats* stats)
{
    constexpr std::int32_t cutoff = 4;
    CheckRange(table, lo, hi);
    QuickRun run{budget, budget != detail::kUnlimitedBudget, {}};
    QuickSortBy(table, cutoff, lo, hi, key, run, 1, 0);
    InsertionSortBy(table, lo, hi, key);
    if (stats != nullptr) {
        *stats = run.stats;
    }
}

template <typename Key> void SortBy(EntryTable& table, std::int32_t lo, std::int32_t hi, Key key)
{
    const std::int32_t entries = hi < lo ? 0 : hi - lo + 1;
    SortBy(table, lo, hi, key, detail::DefaultComparisonBudget(entries), nullptr);
}

} // namespace

namespace detail {

std::int64_t DefaultComparisonBudget(std::int32_t entries)
{
    if (entries <= 0) {
        return 0;
    }
    return 8 * SizeTimesLog(entries);
}

void SortByLocationWithin(EntryTable& table, std::int32_t lo, std::int32_t hi, std::int64_t budget, SortStats* stats)
{
    SortBy(table, lo, hi, ByLocation{}, budget, stats);
}

void SortByBookWithin(EntryTable& table, std::int32_t lo, std::int32_t hi, std::int64_t budget, SortStats* stats)
{
    SortBy(table, lo, hi, ByBook{}, budget, stats);
}

} // namespace detail

void SwapEntries(ClipEntry& a, ClipEntry& b)
{
    if (&a != &b) {
        std::swap(a, b);
    }
}

void SortByLocation(EntryTable& table, std::int32_t lo, std::int32_t hi)
{
    SortBy(table, lo, hi, ByLocation{});
}

void SortByBook(EntryTable& table, std::int32_t lo, std::int32_t hi)
{
    SortBy(table, lo, hi, ByBook{});
}

void QuickSortByLocation(EntryTable& table, std::int32_t cutoff, std::int32_t lo, std::int32_t hi)
{
    CheckRange(table, lo, hi);
    QuickSortBy(table, cutoff, lo, hi, ByLocation{});
}

void QuickSortByBook(EntryTable& table, std::int32_t cutoff, std::int32_t lo, std::int32_t hi)
{
    CheckRange(table, lo, hi);
    QuickSortBy(table, cutoff, lo, hi, ByBook{});
}

void InsertionSortByLocation(EntryTable& table, std::int32_t lo, std::int32_t hi)
{
    CheckRange(table, lo, hi);
    InsertionSortBy(table, lo, hi, ByLocation{});
}

void InsertionSortByBook(EntryTable& table, std::int32_t lo, std::int32_t hi)
{
    CheckRange(table, lo, hi);
    InsertionSortBy(table, lo, hi, ByBook{});
}

void SortByBookThenLocation(ClipStore& store)
{
    const std::int32_t entryCount = store.entryCount();
    store.MarkerSlot().book = store.bookCount() + 1;
    EntryTable& table = store.entryTable();
    SortByBook(table, 1, entryCount);

    // Entries now stand in book order and the marker's book exceeds every
    // real one, so each change of book closes one book's run, the last at
    // the marker.
    std::int32_t key = 1;
    std::int32_t start = 1;
    for (std::int32_t i = 1; i <= entryCount + 1; ++i) {
        if (table[i].book > key) {
            SortByLocation(table, start, i - 1);
            start = i;
            key = table[i].book;
        }
    }
    // Entries read under an empty title before any title was stored carry
    // book 1 while no book is stored, so the marker (book 1) closes no run.
    if (start <= entryCount) {
        SortByLocation(table, start, entryCount);
    }
}

} // namespace quillery
