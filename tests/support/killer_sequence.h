#pragma once

// The worst case of the entry sort's quick phase: keys for slots 1..n (one
// range: the slots decide the middles) that make partitions split off only a
// few entries. Built by McIlroy's adversary ("A Killer Adversary for
// Quicksort", 1999): the quick phase's steps run on items whose keys are not
// decided yet ("gas", above every decided key); when two gas items meet, the
// one last compared as gas, the likely pivot, is frozen to the next lowest
// key. Every answer agrees with the keys finally handed out, so the real
// steps on them take the same path.
//
// A shape other than lopsided splits some partitions evenly instead: the
// range's gas is divided into a lower and an upper group around the middle
// item, the pivot; each group is then played against on its own.

#include "extract/entry_sort_detail.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

namespace quillery::test {

// Whether the two items left as gas with the highest keys share one.
enum class KillerTie { none, highest };

// Which partitions split evenly.
enum class KillerShape {
    lopsided,           // none: every partition splits off a few items
    dodging,            // in ranges of kWatchedSize or more, every kLopsidedRun-th split of a line of ranges
    halving,            // every partition of kHalvedSize or more, so the lopsided ones come last, on small ranges
    lopsidedThenRandom, // kLopsidedRun lopsided splits, then the keys not decided yet in a random order
    dodgingThenRandom,  // dodging until the sort's default budget is spent, then the rest in a random order
};

class KillerBuilder {
  public:
    // The sort's watch on lopsided splits, which the dodging shape stays under.
    static constexpr auto kWatchedSize = static_cast<std::int32_t>(detail::kWatchedSize);
    static constexpr std::int32_t kLopsidedRun = detail::kLopsidedSplits;
    static constexpr std::int32_t kHalvedSize = 256;

    KillerBuilder(std::int32_t n, KillerTie tie, KillerShape shape = KillerShape::lopsided)
        : n_(n), tie_(tie), shape_(shape), key_(static_cast<std::size_t>(n), kGas),
          group_(static_cast<std::size_t>(n), 0), item_(static_cast<std::size_t>(n) + 1, -1),
          slot_(static_cast<std::size_t>(n)), solid_(static_cast<std::size_t>(n) / 64 + 1, 0), groups_{{0, 0, n}},
          gasOrder_(static_cast<std::size_t>(n))
    {
        std::iota(gasOrder_.begin(), gasOrder_.end(), 0);
        for (std::int32_t slot = 1; slot <= n; ++slot) {
            item_[slot] = slot - 1;
            slot_[slot - 1] = slot;
        }
    }

    // Keys by item; item s - 1 starts in slot s.
    std::vector<std::int32_t> Build(std::int32_t cutoff)
    {
        QuickPhase(cutoff, 1, n_, 0);
        if (shape_ == KillerShape::lopsidedThenRandom || shape_ == KillerShape::dodgingThenRandom) {
            std::mt19937 random(1);
            std::shuffle(gasOrder_.begin(), gasOrder_.end(), random);
        }
        return Keys();
    }

  private:
    static constexpr std::int32_t kGas = INT32_MAX;

    // The keys start..start + size - 1 belong to one group's items: the frozen
    // ones took start..next - 1 in turn, `gas` items are still undecided.
    struct Group {
        std::int32_t start;
        std::int32_t next;
        std::int32_t gas;
    };

    bool Gas(std::int32_t item) const { return key_[item] == kGas; }

    // < 0, 0 or > 0 as item x's key is below, equal to or above item y's.
    std::int64_t Compare(std::int32_t x, std::int32_t y)
    {
        if (group_[x] != group_[y]) {
            return std::int64_t{groups_[group_[x]].start} - groups_[group_[y]].start;
        }
        if (Gas(x) && Gas(y)) {
            Freeze(x == candidate_ ? x : y);
        }
        if (Gas(x)) {
            candidate_ = x;
        } else if (Gas(y)) {
            candidate_ = y;
        }
        return std::int64_t{key_[x]} - key_[y];
    }

    void Freeze(std::int32_t item)
    {
        Group& group = groups_[group_[item]];
        key_[item] = group.next++;
        --group.gas;
        MarkSlot(slot_[item]);
    }

    // The items still gas were never compared with each other, so each group's
    // take its next keys in any order (gasOrder_), and the two highest may
    // share one.
    std::vector<std::int32_t> Keys()
    {
        std::int32_t top = -1;
        std::int32_t second = -1;
        for (const std::int32_t item : gasOrder_) {
            if (Gas(item)) {
                key_[item] = groups_[group_[item]].next++;
                if (top < 0 || key_[item] > key_[top]) {
                    second = top;
                    top = item;
                } else if (second < 0 || key_[item] > key_[second]) {
                    second = item;
                }
            }
        }
        if (tie_ == KillerTie::highest && second >= 0 && key_[top] == n_ - 1 && group_[top] == group_[second]) {
            key_[top] = key_[second];
        }
        return key_;
    }

    bool SplitsEvenly(std::int32_t size, std::int32_t lopsided) const
    {
        switch (shape_) {
        case KillerShape::dodging:
        case KillerShape::dodgingThenRandom:
            return size >= kWatchedSize && lopsided == kLopsidedRun - 1;
        case KillerShape::halving:
            return size >= kHalvedSize;
        case KillerShape::lopsided:
        case KillerShape::lopsidedThenRandom:
            break;
        }
        return false;
    }

    // Divides the gas of lo..hi, when it is all of one group's and the three
    // slots the median reads hold some of it, into a lower group (from the
    // lowest slots, lo's item among them), the middle item frozen between
    // them and an upper group (hi's item among them): the pivot then splits
    // the range evenly.
    bool SplitEvenly(std::int32_t lo, std::int32_t mid, std::int32_t hi)
    {
        const std::int32_t g = group_[item_[mid]];
        std::vector<std::int32_t> gas;
        for (std::int32_t s = lo; s <= hi; ++s) {
            if (Gas(item_[s]) && s != mid) {
                gas.push_back(item_[s]);
            }
        }
        const bool whole = std::all_of(gas.begin(), gas.end(), [&](std::int32_t item) { return group_[item] == g; });
        if (!whole || !Gas(item_[mid]) || !Gas(item_[lo]) || !Gas(item_[hi]) ||
            static_cast<std::int32_t>(gas.size()) + 1 != groups_[g].gas) {
            return false;
        }
        const auto lower = static_cast<std::int32_t>(gas.size() / 2);
        const std::int32_t base = groups_[g].next;
        groups_[g].next += lower + 1 + static_cast<std::int32_t>(gas.size()) - lower;
        groups_[g].gas = 0;
        const auto low = static_cast<std::int32_t>(groups_.size());
        groups_.push_back({base, base, lower});
        groups_.push_back({base + lower, base + lower + 1, 0});
        groups_.push_back({base + lower + 1, base + lower + 1, static_cast<std::int32_t>(gas.size()) - lower});
        for (std::size_t k = 0; k < gas.size(); ++k) {
            group_[gas[k]] = k < static_cast<std::size_t>(lower) ? low : low + 2;
        }
        group_[item_[mid]] = low + 1;
        key_[item_[mid]] = base + lower;
        MarkSlot(mid);
        return true;
    }

    // Which slots hold decided items, so that a scan past gas can jump.
    void MarkSlot(std::int32_t slot)
    {
        const auto bit = std::uint64_t{1} << (slot % 64);
        auto& word = solid_[static_cast<std::size_t>(slot / 64)];
        word = Gas(item_[slot]) ? word & ~bit : word | bit;
    }

    // The highest slot below `slot` that holds a decided item, or -1.
    std::int32_t SolidSlotBelow(std::int32_t slot) const
    {
        std::int32_t w = slot / 64;
        std::uint64_t bits = solid_[static_cast<std::size_t>(w)] & ((std::uint64_t{1} << (slot % 64)) - 1);
        while (bits == 0) {
            if (w == 0) {
                return -1;
            }
            bits = solid_[static_cast<std::size_t>(--w)];
        }
        return w * 64 + 63 - std::countl_zero(bits);
    }

    void Swap(std::int32_t a, std::int32_t b)
    {
        std::swap(item_[a], item_[b]);
        slot_[item_[a]] = a;
        slot_[item_[b]] = b;
        MarkSlot(a);
        MarkSlot(b);
    }

    // The downward scan: every gas item compares above a decided pivot, so a
    // run of them is passed at once, the lowest becoming the candidate, as
    // comparing them one by one would leave it.
    std::int32_t ScanDown(std::int32_t j, std::int32_t lo, std::int32_t pivot, bool even)
    {
        for (;;) {
            --j;
            if (!even && !Gas(pivot) && Gas(item_[j])) {
                const std::int32_t solid = SolidSlotBelow(j);
                if (solid >= lo) {
                    candidate_ = item_[solid + 1];
                    j = solid;
                }
            }
            if (Compare(item_[j], pivot) <= 0) {
                return j;
            }
        }
    }

    // `lopsided`: how many lopsided splits of ranges of kWatchedSize or more
    // the line of ranges down to lo..hi has made in a row.
    void QuickPhase(std::int32_t cutoff, std::int32_t lo, std::int32_t hi, std::int32_t lopsided)
    {
        while (hi - lo > cutoff) {
            if ((shape_ == KillerShape::lopsidedThenRandom && partitions_ == kLopsidedRun) ||
                (shape_ == KillerShape::dodgingThenRandom && compared_ >= detail::DefaultComparisonBudget(n_))) {
                return;
            }
            ++partitions_;
            const std::int32_t mid = detail::MiddleSlot(lo, hi);
            const std::int32_t size = hi - lo + 1;
            const bool even = SplitsEvenly(size, lopsided) && SplitEvenly(lo, mid, hi);
            if (Compare(item_[lo], item_[mid]) > 0) {
                Swap(lo, mid);
            }
            if (Compare(item_[lo], item_[hi]) > 0) {
                Swap(lo, hi);
            }
            if (Compare(item_[mid], item_[hi]) > 0) {
                Swap(mid, hi);
            }
            Swap(mid, hi - 1);
            const std::int32_t pivot = item_[hi - 1];
            std::int32_t i = lo;
            std::int32_t j = hi - 1;
            for (;;) {
                do {
                    ++i;
                } while (Compare(item_[i], pivot) < 0);
                j = ScanDown(j, lo, pivot, even);
                if (j < i) {
                    break;
                }
                Swap(i, j);
            }
            Swap(i, hi - 1);
            compared_ += 3 + (std::int64_t{i} - lo) + (std::int64_t{hi} - 1 - j);
            if (size >= kWatchedSize) {
                lopsided = 64 * std::min(j - lo + 1, hi - i) < size ? lopsided + 1 : 0;
            }
            // The sub-ranges are disjoint: the smaller by recursion, the larger by the loop.
            if (j - lo <= hi - (i + 1)) {
                QuickPhase(cutoff, lo, j, lopsided);
                lo = i + 1;
            } else {
                QuickPhase(cutoff, i + 1, hi, lopsided);
                hi = j;
            }
        }
    }

    std::int32_t n_;
    KillerTie tie_;
    KillerShape shape_;
    std::vector<std::int32_t> key_;    // by item
    std::vector<std::int32_t> group_;  // by item: index into groups_
    std::vector<std::int32_t> item_;   // by slot
    std::vector<std::int32_t> slot_;   // by item
    std::vector<std::uint64_t> solid_; // one bit per slot: holds a decided item
    std::vector<Group> groups_;
    std::vector<std::int32_t> gasOrder_; // the order in which the items still gas take their keys
    std::int32_t partitions_ = 0;
    std::int64_t compared_ = 0; // key comparisons the sort makes on the way, as it counts them
    std::int32_t candidate_ = -1;
};

// Keys for slots 1..n (element 0 is slot 1) on which the quick phase with this
// cutoff does about n * n / 4 key comparisons when lopsided (less, but far
// above n log n, in the other shapes): a permutation of 0..n-1 unless a tie
// is asked for.
inline std::vector<std::int32_t> MedianOfThreeKiller(std::int32_t n, KillerTie tie = KillerTie::none,
                                                     std::int32_t cutoff = 4, KillerShape shape = KillerShape::lopsided)
{
    return KillerBuilder(n, tie, shape).Build(cutoff);
}

} // namespace quillery::test
