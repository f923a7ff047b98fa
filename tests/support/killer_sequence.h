#pragma once

// The worst case of the entry sort's quick phase: keys for slots 1..n (one
// range: the slots decide the middles) that make partitions split off only a
// few entries. Built by McIlroy's adversary ("A Killer Adversary for
// Quicksort", 1999): the quick phase's steps run on items whose keys are not
// decided yet ("gas", above every decided key); when two gas items meet, the
// one last compared as gas, the likely pivot, is frozen to the next lowest
// key. Every answer agrees with the keys finally handed out, so the real
// steps on them take the same path.

#include "extract/entry_sort_detail.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace quillery::test {

enum class KillerShape {
    lopsided,        // every partition splits off a few items
    spentThenRandom, // lopsided until the sort's default budget is spent, then the rest in a random order
};

class KillerBuilder {
  public:
    KillerBuilder(std::int32_t n, KillerShape shape)
        : n_(n), shape_(shape), key_(static_cast<std::size_t>(n), kGas), item_(static_cast<std::size_t>(n) + 1, -1)
    {
        std::iota(item_.begin() + 1, item_.end(), 0);
    }

    // Keys by item; item s - 1 starts in slot s. The items still gas after
    // the steps were never compared with each other, so they take the next
    // keys in any order, and the two highest share one: the order of equal
    // keys shows.
    std::vector<std::int32_t> Build()
    {
        QuickPhase(1, n_);
        std::vector<std::int32_t> gas;
        for (std::int32_t item = 0; item < n_; ++item) {
            if (Gas(item)) {
                gas.push_back(item);
            }
        }
        if (shape_ == KillerShape::spentThenRandom) {
            std::mt19937 random(1);
            std::shuffle(gas.begin(), gas.end(), random);
        }
        for (const std::int32_t item : gas) {
            key_[item] = next_++;
        }
        if (gas.size() >= 2) {
            key_[gas.back()] = key_[gas[gas.size() - 2]];
        }
        return key_;
    }

  private:
    static constexpr std::int32_t kGas = std::numeric_limits<std::int32_t>::max();

    bool Gas(std::int32_t item) const { return key_[item] == kGas; }

    // < 0, 0 or > 0 as the key in slot a is below, equal to or above slot b's.
    std::int64_t Compare(std::int32_t a, std::int32_t b)
    {
        const std::int32_t x = item_[a];
        const std::int32_t y = item_[b];
        if (Gas(x) && Gas(y)) {
            key_[x == candidate_ ? x : y] = next_++;
            solid_.insert(x == candidate_ ? a : b);
        }
        candidate_ = Gas(x) ? x : Gas(y) ? y : candidate_;
        return std::int64_t{key_[x]} - key_[y];
    }

    void Swap(std::int32_t a, std::int32_t b)
    {
        if (Gas(item_[a]) != Gas(item_[b])) {
            solid_.erase(Gas(item_[a]) ? b : a);
            solid_.insert(Gas(item_[a]) ? a : b);
        }
        std::swap(item_[a], item_[b]);
    }

    // The downward scan: every gas item compares above a decided pivot, so a
    // run of them is passed at once, the lowest becoming the candidate, as
    // comparing them one by one would leave it.
    std::int32_t ScanDown(std::int32_t j, std::int32_t lo, std::int32_t pivot)
    {
        for (;;) {
            --j;
            const auto solid = solid_.lower_bound(j);
            if (!Gas(item_[pivot]) && Gas(item_[j]) && solid != solid_.begin() && *std::prev(solid) >= lo) {
                j = *std::prev(solid);
                candidate_ = item_[j + 1];
            }
            if (Compare(j, pivot) <= 0) {
                return j;
            }
        }
    }

    void QuickPhase(std::int32_t lo, std::int32_t hi)
    {
        while (hi - lo > 4) {
            // Where the sort's budget runs out, it hands the range over.
            if (shape_ == KillerShape::spentThenRandom && compared_ >= detail::DefaultComparisonBudget(n_)) {
                return;
            }
            const std::int32_t mid = detail::MiddleSlot(lo, hi);
            for (const auto& [a, b] : {std::pair{lo, mid}, std::pair{lo, hi}, std::pair{mid, hi}}) {
                if (Compare(a, b) > 0) {
                    Swap(a, b);
                }
            }
            Swap(mid, hi - 1);
            std::int32_t i = lo;
            std::int32_t j = hi - 1;
            for (;;) {
                while (Compare(++i, hi - 1) < 0) {
                }
                j = ScanDown(j, lo, hi - 1);
                if (j < i) {
                    break;
                }
                Swap(i, j);
            }
            Swap(i, hi - 1);
            compared_ += 3 + (std::int64_t{i} - lo) + (std::int64_t{hi} - 1 - j);
            // The sub-ranges are disjoint: the smaller by recursion, the larger by the loop.
            if (j - lo <= hi - (i + 1)) {
                QuickPhase(lo, j);
                lo = i + 1;
            } else {
                QuickPhase(i + 1, hi);
                hi = j;
            }
        }
    }

    std::int32_t n_;
    KillerShape shape_;
    std::vector<std::int32_t> key_;  // by item
    std::vector<std::int32_t> item_; // by slot
    std::set<std::int32_t> solid_;   // the slots that hold decided items
    std::int32_t next_ = 0;          // the next key to hand out
    std::int64_t compared_ = 0;      // key comparisons the sort makes on the way, as it counts them
    std::int32_t candidate_ = -1;
};

// Keys for slots 1..n (element 0 is slot 1) on which the quick phase does
// about n * n / 4 key comparisons when lopsided (past its budget when spent
// then random): 0..n-1 but that the highest, n - 1, is lowered to n - 2.
inline std::vector<std::int32_t> MedianOfThreeKiller(std::int32_t n, KillerShape shape = KillerShape::lopsided)
{
    return KillerBuilder(n, shape).Build();
}

} // namespace quillery::test
