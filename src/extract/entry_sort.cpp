#include "extract/entry_sort.h"

#include "extract/entry_sort_detail.h"
#include "extract/run_error.h"

#include <optional>
#include <string>
#include <vector>

namespace quillery {

namespace {

using detail::KeyOrigin;

// Moves each pair down past strictly greater keys only, so equal keys keep
// their order.
void InsertionPass(std::vector<KeyOrigin>& pairs)
{
    for (std::size_t i = 1; i < pairs.size(); ++i) {
        const KeyOrigin held = pairs[i];
        std::size_t j = i;
        for (; j > 0 && pairs[j - 1].key > held.key; --j) {
            pairs[j] = pairs[j - 1];
        }
        pairs[j] = held;
    }
}

// Puts each record where its pair ended. Gathering from a copy makes the
// reads independent, where following the cycles of the arrangement waits on
// one cache miss after another; only the records that move are copied.
void MoveRecords(std::span<ClipEntry> range, const std::vector<KeyOrigin>& pairs)
{
    auto stays = [&](std::size_t k) { return pairs[k].origin == static_cast<std::int32_t>(k); };
    std::size_t first = 0;
    std::size_t end = pairs.size();
    for (; first < end && stays(first); ++first) {
    }
    for (; end > first && stays(end - 1); --end) {
    }
    const std::vector<ClipEntry> records(range.begin() + static_cast<std::ptrdiff_t>(first),
                                         range.begin() + static_cast<std::ptrdiff_t>(end));
    for (std::size_t k = first; k < end; ++k) {
        range[k] = records[static_cast<std::size_t>(pairs[k].origin) - first];
    }
}

} // namespace

namespace detail {

// The quick phase and the insertion pass on the keys beside their origins,
// then each record moved once.
SortStats SortWithin(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi, std::int32_t ClipEntry::*key,
                     std::optional<std::int64_t> budget, std::int32_t trySize)
{
    if (hi >= lo && (lo < 0 || static_cast<std::size_t>(hi) >= table.size())) {
        throw RunError("Sorting: slots " + std::to_string(lo) + ".." + std::to_string(hi) +
                       " lie outside the entry table of " + std::to_string(table.size()) + " slots");
    }
    if (hi <= lo) {
        return {};
    }
    const std::span<ClipEntry> range =
        table.subspan(static_cast<std::size_t>(lo), static_cast<std::size_t>(hi - lo) + 1);
    std::vector<KeyOrigin> pairs(range.size());
    for (std::size_t k = 0; k < range.size(); ++k) {
        pairs[k] = {range[k].*key, static_cast<std::int32_t>(k)};
    }
    const SortStats stats = QuickPhase(pairs, lo, budget.value_or(DefaultComparisonBudget(hi - lo + 1)), trySize);
    InsertionPass(pairs);
    MoveRecords(range, pairs);
    return stats;
}

} // namespace detail

void SortByLocation(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi)
{
    detail::SortWithin(table, lo, hi, &ClipEntry::location);
}

void SortByBook(std::span<ClipEntry> table, std::int32_t lo, std::int32_t hi)
{
    detail::SortWithin(table, lo, hi, &ClipEntry::book);
}

void SortByBookThenLocation(ClipStore& store)
{
    const std::int32_t entryCount = store.entryCount();
    store.MarkerSlot().book = store.bookCount() + 1;
    const std::span<ClipEntry> table = store.entrySlots();
    SortByBook(table, 1, entryCount);

    // Entries now stand in book order and the marker's book exceeds every
    // real one, so each change of book closes one book's run, the last at
    // the marker.
    std::int32_t key = 1;
    std::int32_t start = 1;
    for (std::int32_t i = 1; i <= entryCount + 1; ++i) {
        if (table[static_cast<std::size_t>(i)].book > key) {
            SortByLocation(table, start, i - 1);
            start = i;
            key = table[static_cast<std::size_t>(i)].book;
        }
    }
    // Entries read under an empty title before any title was stored carry
    // book 1 while no book is stored, so the marker (book 1) closes no run.
    if (start <= entryCount) {
        SortByLocation(table, start, entryCount);
    }
}

} // namespace quillery
