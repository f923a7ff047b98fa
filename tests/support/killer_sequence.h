#pragma once

// The worst case of the entry sort's quick phase: n distinct keys for slots
// 1..n that make every partition split off only a few entries.
//
// Built by McIlroy's adversary ("A Killer Adversary for Quicksort", 1999):
// the quick phase runs on items whose keys are not decided yet ("gas", above
// every decided key). When two gas items meet, one of them is frozen to the
// next lowest key: the one that was last compared as gas, since that is the
// likely pivot. Every answer given is consistent with the keys finally handed
// out, so the real quick phase on those keys takes exactly the same path.
//
// The steps simulated are the quick phase's own: the middle slot rounded half
// to even, median of three with swaps, the middle swapped with hi - 1, scans
// that stop on equal keys. Slot numbers matter (they decide the middle), so
// the keys are meant for slots 1..n sorted as one range.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

namespace quillery::test {

// Where a worst case may hold one pair of equal keys.
enum class KillerTie {
    none,
    lowest,  // the first two items frozen share the lowest key (split off by the first partition)
    highest, // the last two items left as gas share the highest key (kept to the end)
};

class KillerBuilder {
  public:
    KillerBuilder(std::int32_t n, KillerTie tie)
        : n_(n), tie_(tie), key_(static_cast<std::size_t>(n), kGas), item_(static_cast<std::size_t>(n) + 1, -1),
          slot_(static_cast<std::size_t>(n)), solid_(static_cast<std::size_t>(n) / 64 + 1, 0)
    {
        for (std::int32_t slot = 1; slot <= n; ++slot) {
            item_[slot] = slot - 1;
            slot_[slot - 1] = slot;
        }
    }

    // Keys by item; item s - 1 starts in slot s.
    std::vector<std::int32_t> Build(std::int32_t cutoff)
    {
        QuickPhase(cutoff, 1, n_);
        return Keys();
    }

  private:
    static constexpr std::int32_t kGas = INT32_MAX;

    bool Gas(std::int32_t item) const { return key_[item] == kGas; }

    // < 0, 0 or > 0 as item x's key is below, equal to or above item y's.
    std::int64_t Compare(std::int32_t x, std::int32_t y)
    {
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
        key_[item] = tie_ == KillerTie::lowest && next_ == 1 ? 0 : next_;
        ++next_;
        MarkSlot(slot_[item]);
    }

    // The items still gas were never compared with each other, so they take
    // the next keys in any order, and the last two may share one.
    std::vector<std::int32_t> Keys()
    {
        std::int32_t* last = nullptr;
        for (std::int32_t& key : key_) {
            if (key == kGas) {
                key = next_++;
                last = &key;
            }
        }
        if (tie_ == KillerTie::highest && last != nullptr && next_ >= 2) {
            *last = next_ - 2;
        }
        return key_;
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
    std::int32_t ScanDown(std::int32_t j, std::int32_t lo, std::int32_t pivot)
    {
        for (;;) {
            --j;
            if (!Gas(pivot) && Gas(item_[j])) {
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

    void QuickPhase(std::int32_t cutoff, std::int32_t lo, std::int32_t hi)
    {
        while (hi - lo > cutoff) {
            const std::int64_t sum = std::int64_t{lo} + hi;
            const auto mid = static_cast<std::int32_t>(sum / 2 + (sum % 2 != 0 && (sum / 2) % 2 != 0 ? 1 : 0));
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
                j = ScanDown(j, lo, pivot);
                if (j < i) {
                    break;
                }
                Swap(i, j);
            }
            Swap(i, hi - 1);
            // The sub-ranges are disjoint: the smaller by recursion, the larger by the loop.
            if (j - lo <= hi - (i + 1)) {
                QuickPhase(cutoff, lo, j);
                lo = i + 1;
            } else {
                QuickPhase(cutoff, i + 1, hi);
                hi = j;
            }
        }
    }

    std::int32_t n_;
    KillerTie tie_;
    std::vector<std::int32_t> key_;    // by item
    std::vector<std::int32_t> item_;   // by slot
    std::vector<std::int32_t> slot_;   // by item
    std::vector<std::uint64_t> solid_; // one bit per slot: holds a decided item
    std::int32_t next_ = 0;
    std::int32_t candidate_ = -1;
};

// Keys for slots 1..n (element 0 is slot 1) on which the quick phase with this
// cutoff does about n * n / 4 key comparisons: a permutation of 0..n-1 unless
// a tie is asked for.
inline std::vector<std::int32_t> MedianOfThreeKiller(std::int32_t n, KillerTie tie = KillerTie::none,
                                                     std::int32_t cutoff = 4)
{
    return KillerBuilder(n, tie).Build(cutoff);
}

} // namespace quillery::test
