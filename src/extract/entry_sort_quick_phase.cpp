#include "extract/entry_sort_detail.h"
#include "extract/entry_sort_key_tree.h"

#include <algorithm>
#include <bit>
#include <utility>

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
    std::int32_t handedOver = 0; // entries in the range handed over
};

class Engine {
  public:
    Engine(std::span<KeyOrigin> pairs, std::int32_t firstSlot, std::int32_t cutoff, std::int32_t trySize)
        : p_(pairs.data()), firstSlot_(firstSlot), leave_(std::max(cutoff, 1)), trySize_(trySize)
    {
    }

    SortStats Run(std::int32_t size, std::int64_t budget)
    {
        Line top{budget, true};
        Sort(0, size - 1, top, 1);
        return stats_;
    }

  private:
    // Orders lo, mid and hi (three distinct positions) by key and moves the
    // median, the pivot, to hi - 1.
    std::int32_t MedianOfThree(std::int32_t lo, std::int32_t mid, std::int32_t hi)
    {
        for (const auto& [a, b] : {std::pair{lo, mid}, std::pair{lo, hi}, std::pair{mid, hi}}) {
            if (p_[a].key > p_[b].key) {
                std::swap(p_[a], p_[b]);
            }
        }
        std::swap(p_[mid], p_[hi - 1]);
        return p_[hi - 1].key;
    }

    [[nodiscard]] std::int32_t Middle(std::int32_t lo, std::int32_t hi) const
    {
        return MiddleSlot(lo + firstSlot_, hi + firstSlot_) - firstSlot_;
    }

    // The partition as its steps read; lo (key <= pivot) and hi - 1 (the
    // pivot) stop the scans. Returns {j, i}: lo..j and i + 1..hi are left.
    std::pair<std::int32_t, std::int32_t> StepPartition(std::int32_t lo, std::int32_t hi)
    {
        const std::int32_t pivot = MedianOfThree(lo, Middle(lo, hi), hi);
        std::int32_t i = lo;
        std::int32_t j = hi - 1;
        for (;;) {
            while (p_[++i].key < pivot) {
            }
            while (p_[--j].key > pivot) {
            }
            if (j < i) {
                break;
            }
            std::swap(p_[i], p_[j]);
        }
        std::swap(p_[i], p_[hi - 1]);
        return {j, i};
    }

    // The same partition with scans that jump, stopping where the steps do.
    //
    // The scans leave the groups stale above the positions they exchange
    // (all at or below i, or at or above j) and trust them only strictly
    // between i and j, where no key has moved. That suffices: every key past
    // j is >= the pivot, and so is j's own once the scans have met or
    // exchanged there, and every key below where the upward scan stops is
    // <= it. Going up, the steps therefore stop at j (or at i + 1, when the
    // scans met at i) at the latest, and going down at one below the lower
    // of i and j at the earliest; a search past those bounds is cut back.
    std::pair<std::int32_t, std::int32_t> JumpPartition(KeyTree& tree, std::int32_t lo, std::int32_t hi)
    {
        const std::int32_t mid = Middle(lo, hi);
        const std::int32_t pivot = MedianOfThree(lo, mid, hi);
        for (const std::int32_t pos : {lo, mid, hi - 1, hi}) {
            tree.Set(pos, p_[pos].key);
        }
        tree.Refresh();
        std::int32_t i = lo;
        std::int32_t j = hi - 1;
        for (;;) {
            i = std::min(tree.FirstAtLeast(i + 1, pivot), std::max(j, i + 1));
            j = std::max(tree.LastAtMost(j - 1, pivot), std::min(i, j) - 1);
            if (j < i) {
                break;
            }
            std::swap(p_[i], p_[j]);
            if (p_[i].key != p_[j].key) {
                tree.Exchange(i, j);
            }
        }
        std::swap(p_[i], p_[hi - 1]);
        tree.Set(i, pivot);
        tree.Set(hi - 1, p_[hi - 1].key);
        tree.Refresh();
        return {j, i};
    }

    // The sub-ranges are disjoint, so the order in which they are sorted
    // does not change the result: the smaller one by recursion, the larger
    // by the loop, which keeps the depth logarithmic.
    //
    // A stepped line is handed over once its budget is spent. With `retry`, each shorter range the
    // jumping scans leave, below trySize_, is stepped again with a budget of
    // its own, half the default (unlimited below 128 entries, where even
    // m * m / 4 comparisons are few); one that fails is handed over for
    // good, so its cost is paid once, not again on every sub-range.
    void Sort(std::int32_t lo, std::int32_t hi, Line& line, std::int32_t depth)
    {
        stats_.maxDepth = std::max(stats_.maxDepth, depth);
        while (hi - lo > leave_) {
            const std::int32_t size = hi - lo + 1;
            if (line.tree == nullptr && line.left <= 0) {
                ++stats_.handovers;
                KeyTree tree({p_ + lo, static_cast<std::size_t>(size)}, lo);
                Line jumped{0, line.retry, &tree, size};
                Sort(lo, hi, jumped, depth);
                return;
            }
            if (line.tree != nullptr && line.retry && size < std::min(trySize_, line.handedOver)) {
                Line stepped{size < 128 ? kUnlimitedBudget : 4 * SizeTimesLog(size), false};
                Sort(lo, hi, stepped, depth);
                return;
            }
            const auto [j, i] = line.tree != nullptr ? JumpPartition(*line.tree, lo, hi) : StepPartition(lo, hi);
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
    std::int32_t leave_;
    std::int32_t trySize_;
    SortStats stats_;
};

} // namespace

std::int64_t DefaultComparisonBudget(std::int32_t entries)
{
    return entries <= 0 ? 0 : 8 * SizeTimesLog(entries);
}

SortStats QuickPhase(std::span<KeyOrigin> pairs, std::int32_t firstSlot, std::int32_t cutoff, std::int64_t budget,
                     std::int32_t trySize)
{
    return Engine(pairs, firstSlot, cutoff, trySize).Run(static_cast<std::int32_t>(pairs.size()), budget);
}

} // namespace quillery::detail
