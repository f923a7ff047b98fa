#include "extract/entry_sort.h"

#include "extract/run_error.h"

#include <string>
#include <utility>

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

// The two sub-ranges are disjoint, so the order in which they are sorted does
// not change the result: the smaller one is sorted by a recursive call and
// the larger one by the loop, which keeps the depth logarithmic.
// A median of three needs three distinct slots, so a cutoff below 1 acts as 1.
template <typename Key>
void QuickSortBy(EntryTable& t, std::int32_t cutoff, std::int32_t lo, std::int32_t hi, Key key)
{
    const std::int64_t leave = cutoff < 1 ? 1 : cutoff;
    while (std::int64_t{hi} - lo > leave) {
        const auto [j, i] = Partition(t, lo, hi, key);
        if (std::int64_t{j} - lo <= std::int64_t{hi} - (i + 1)) {
            QuickSortBy(t, cutoff, lo, j, key);
            lo = i + 1;
        } else {
            QuickSortBy(t, cutoff, i + 1, hi, key);
            hi = j;
        }
    }
}

// Moves each entry down past strictly greater keys only, so equal keys keep
// their order.
template <typename Key>
void InsertionSortBy(EntryTable& t, std::int32_t lo, std::int32_t hi, Key key)
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
void SortBy(EntryTable& table, std::int32_t lo, std::int32_t hi, Key key)
{
    constexpr std::int32_t cutoff = 4;
    CheckRange(table, lo, hi);
    QuickSortBy(table, cutoff, lo, hi, key);
    InsertionSortBy(table, lo, hi, key);
}

} // namespace

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
}

} // namespace quillery
