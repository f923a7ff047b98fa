#include "extract/entry_sort_detail.h"
#include "extract/entry_sort_key_tree.h"
#include "extract/run_error.h"

#include <algorithm>
#include <bit>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace quillery::detail {

namespace {

std::int64_t SizeTimesLog(std::int64_t size)
{
    return size * static_cast<std::int64_t>(std::bit_width(static_cast<std::uint64_t>(size)));
}

// How a line of ranges is partitioned: by the stepping scans while its
// budget lasts, then by the jumping scans over a tree of the keys of the
// range at hand, handed over.
struct Line {
    std::int64_t left; // key comparisons the steps may still make
    bool retry;        // once handed over, step shorter ranges again
    KeyTree* tree = nullptr;
};

class Engine {
  public:
    Engine(std::span<KeyOrigin> pairs, std::int32_t firstSlot, std::int32_t trySize)
        : p_(pairs.data()), firstSlot_(firstSlot), trySize_(trySize)
    {
    }

    SortStats Run(std::int32_t size, std::int64_t budget)
    {
        Line top{budget, true};
        Sort(0, size - 1, top, 1);
        return stats_;
    }

  private:
    // The partition as its steps read; lo (key <= pivot) and hi - 1 (the
    // pivot) stop the scans. Returns {j, i}: lo..j and i + 1..hi are left.
    // With kJumps, the scans jump over the tree instead: it is shown every
    // key that moves, so its searches stop where the steps do.
    template <bool kJumps>
    std::pair<std::int32_t, std::int32_t> Partition(std::int32_t lo, std::int32_t hi, KeyTree* tree)
    {
        const std::int32_t mid = MiddleSlot(lo + firstSlot_, hi + firstSlot_) - firstSlot_;
        for (const auto& [a, b] : {std::pair{lo, mid}, std::pair{lo, hi}, std::pair{mid, hi}}) {
            if (p_[a].key > p_[b].key) {
                std::swap(p_[a], p_[b]);
            }
        }
        std::swap(p_[mid], p_[hi - 1]);
        const std::int32_t pivot = p_[hi - 1].key;
        auto show = [&](std::initializer_list<std::int32_t> positions) {
            if constexpr (kJumps) {
                for (const std::int32_t pos : positions) {
                    tree->Set(pos, p_[pos].key);
                }
            }
        };
        show({lo, mid, hi - 1, hi});
        std::int32_t i = lo;
        std::int32_t j = hi - 1;
        for (;;) {
            if constexpr (!kJumps) {
                while (p_[++i].key < pivot) {
                }
                while (p_[--j].key > pivot) {
                }
            } else {
                i = tree->NextStop<true>(i + 1, pivot);
                j = tree->NextStop<false>(j - 1, pivot);
            }
            if (j < i) {
                break;
            }
            std::swap(p_[i], p_[j]);
            show({i, j});
        }
        std::swap(p_[i], p_[hi - 1]);
        show({i, hi - 1});
        return {j, i};
    }

    // The sub-ranges are disjoint, so the order in which they are sorted
    // does not change the result: the smaller one by recursion, the larger
    // by the loop, which keeps the depth logarithmic.
    //
    // A stepped line is handed over once its budget is spent. With `retry`,
    // each range of the jumped line below trySize_ is stepped again with a
    // budget of its own, 4 m log2 m (unlimited below 128 entries, where even
    // m * m / 4 comparisons are few); one that fails is handed over for good,
    // so the retried ranges are disjoint and cost 4 n log2 n at most.
    void Sort(std::int32_t lo, std::int32_t hi, Line& line, std::int32_t depth)
    {
        stats_.maxDepth = std::max(stats_.maxDepth, depth);
        while (hi - lo > 4) {
            const std::int32_t size = hi - lo + 1;
            if (line.tree == nullptr && line.left <= 0) {
                ++stats_.handovers;
                KeyTree tree({p_ + lo, static_cast<std::size_t>(size)}, lo);
                Line jumped{0, line.retry, &tree};
                Sort(lo, hi, jumped, depth);
                return;
            }
            if (line.tree != nullptr && line.retry && size < trySize_) {
                Line stepped{size < 128 ? kUnlimitedBudget : 4 * SizeTimesLog(size), false};
                Sort(lo, hi, stepped, depth);
                return;
            }
            const auto [j, i] =
                line.tree != nullptr ? Partition<true>(lo, hi, line.tree) : Partition<false>(lo, hi, nullptr);
            if (line.tree == nullptr) {
                // Three comparisons for the median, one per step of each scan.
                const std::int64_t compared = 3 + (std::int64_t{i} - lo) + (std::int64_t{hi} - 1 - j);
                line.left -= compared;
                stats_.comparisons += compared;
            }
            if (j - lo <= hi - i - 1) {
                Sort(lo, j, line, depth + 1);
                lo = i + 1;
            } else {
                Sort(i + 1, hi, line, depth + 1);
                hi = j;
            }
        }
    }

    KeyOrigin* p_;
    std::int32_t firstSlot_;
    std::int32_t trySize_;
    SortStats stats_;
};

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

std::int64_t DefaultComparisonBudget(std::int32_t entries)
{
    return entries <= 0 ? 0 : 6 * SizeTimesLog(entries);
}

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
    const SortStats stats =
        Engine(pairs, lo, trySize).Run(hi - lo + 1, budget.value_or(DefaultComparisonBudget(hi - lo + 1)));
    InsertionPass(pairs);
    MoveRecords(range, pairs);
    return stats;
}

} // namespace quillery::detail
