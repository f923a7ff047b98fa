#include "extract/entry_sort.h"

#include "extract/entry_sort_detail.h"
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

// (lo + hi) / 2 computed exactly, an exact half going to the even neighbour
// (slots are never negative here).
std::int32_t MiddleSlot(std::int32_t lo, std::int32_t hi)
{
    const std::int64_t sum = std::int64_t{lo} + hi;
    std::int64_t half = sum / 2;
    if (sum % 2 != 0 && half % 2 != 0) {
        ++half;
    }
    return static_cast<std::int32_t>(half);
}

// Partitions lo..hi (at least three entries) around a median-of-three pivot.
// Returns {j, i}: the sub-ranges still to sort are lo..j and i + 1..hi.
template <typename Key>
std::pair<std::int32_t, std::int32_t> Partition(EntryTable& t, std::int32_t lo, std::int32_t hi, Key key)
{
    const std::int32_t mid = MiddleSlot(lo, hi);
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
    std::int64_t budget;            // key comparisons left; spent when <= 0
    std::vector<std::int32_t> keys; // scratch for the distinct-key check
    detail::SortStats stats;
};

// What the line of ranges that one loop works through knows of its last
// failed distinct-key check.
struct CheckHistory {
    std::int64_t failedSize = 0; // entries of the range found to hold equal keys; 0: none checked
    std::int64_t interval = 0;   // comparisons to spend on partitions before checking again
    std::int64_t workSince = 0;  // comparisons spent by this line's partitions since the check
};

std::int64_t CheckCost(std::int64_t size)
{
    return size * static_cast<std::int64_t>(std::bit_width(static_cast<std::uint64_t>(size)));
}

// Once the budget is spent, a range about to be partitioned is checked for
// distinct keys. After a failed check the range is checked again when it has
// shrunk to at most half that size, or when its partitions have spent the
// interval: first the check's own cost (size * log2 size), doubled after each
// further failure of that kind. Halving bounds those checks to O(n log^2 n) in
// all (checked ranges nest, each at most half its checked ancestor); the
// doubling interval lets a line that keeps its equal keys follow the exact
// steps with only O(log n) extra checks, yet notices a line whose equal keys
// were split off early (a worst case with one early tie) long before halving.
bool ShouldCheck(const QuickRun& run, const CheckHistory& history, std::int64_t size)
{
    if (run.budget > 0) {
        return false;
    }
    return history.failedSize == 0 || size <= history.failedSize / 2 || history.workSince >= history.interval;
}

void RecordFailedCheck(CheckHistory& history, std::int64_t size)
{
    const bool byWork = history.failedSize != 0 && size > history.failedSize / 2;
    history.interval = byWork ? 2 * history.interval : CheckCost(size);
    history.failedSize = size;
    history.workSince = 0;
}

template <typename Key>
bool KeysDistinct(const EntryTable& t, std::int32_t lo, std::int32_t hi, Key key, std::vector<std::int32_t>& keys)
{
    keys.clear();
    for (std::int32_t i = lo; i <= hi; ++i) {
        keys.push_back(key(t[i]));
    }
    std::sort(keys.begin(), keys.end());
    return std::adjacent_find(keys.begin(), keys.end()) == keys.end();
}

// The two sub-ranges are disjoint, so the order in which they are sorted does
// not change the result: the smaller one is sorted by a recursive call and
// the larger one by the loop, which keeps the depth logarithmic.
// A median of three needs three distinct slots, so a cutoff below 1 acts as 1.
//
// When the budget is spent, a range of distinct keys is sorted by std::sort
// instead: every correct sort orders distinct keys alike, and its keys are
// unequal to each other, so the stable insertion pass that follows gives the
// same final order as the steps would have. Ranges holding equal keys keep
// the steps, which decide the order of those keys.
template <typename Key>
void QuickSortBy(EntryTable& t, std::int32_t cutoff, std::int32_t lo, std::int32_t hi, Key key, QuickRun& run,
                 CheckHistory history, std::int32_t depth)
{
    run.stats.maxDepth = std::max(run.stats.maxDepth, depth);
    const std::int64_t leave = cutoff < 1 ? 1 : cutoff;
    while (std::int64_t{hi} - lo > leave) {
        const std::int64_t size = std::int64_t{hi} - lo + 1;
        if (ShouldCheck(run, history, size)) {
            ++run.stats.checks;
            if (KeysDistinct(t, lo, hi, key, run.keys)) {
                ++run.stats.fallbacks;
                std::sort(t.begin() + lo, t.begin() + hi + 1,
                          [key](const ClipEntry& a, const ClipEntry& b) { return key(a) < key(b); });
                return;
            }
            RecordFailedCheck(history, size);
        }
        const auto [j, i] = Partition(t, lo, hi, key);
        // Three comparisons for the median, one per step of each scan.
        const std::int64_t compared = 3 + (std::int64_t{i} - lo) + (std::int64_t{hi} - 1 - j);
        run.budget -= compared;
        run.stats.comparisons += compared;
        ++run.stats.partitions;
        history.workSince += compared;
        const CheckHistory inherited{history.failedSize, history.interval, 0};
        if (std::int64_t{j} - lo <= std::int64_t{hi} - (i + 1)) {
            QuickSortBy(t, cutoff, lo, j, key, run, inherited, depth + 1);
            lo = i + 1;
        } else {
            QuickSortBy(t, cutoff, i + 1, hi, key, run, inherited, depth + 1);
            hi = j;
        }
    }
}

// The quick phase's own steps throughout (no budget).
template <typename Key> void QuickSortBy(EntryTable& t, std::int32_t cutoff, std::int32_t lo, std::int32_t hi, Key key)
{
    QuickRun run{detail::kUnlimitedBudget, {}, {}};
    QuickSortBy(t, cutoff, lo, hi, key, run, {}, 1);
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
        ClipEntry held = std::move(t[i]);
        std::int32_t j = i;
        while (j > lo && key(t[j - 1]) > k) {
            t[j] = std::move(t[j - 1]);
            --j;
        }
        t[j] = std::move(held);
    }
}

template <typename Key>
void SortBy(EntryTable& table, std::int32_t lo, std::int32_t hi, Key key, std::int64_t budget, detail::SortStats* stats)
{
    constexpr std::int32_t cutoff = 4;
    CheckRange(table, lo, hi);
    QuickRun run{budget, {}, {}};
    QuickSortBy(table, cutoff, lo, hi, key, run, {}, 1);
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
    return 8 * CheckCost(entries);
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
