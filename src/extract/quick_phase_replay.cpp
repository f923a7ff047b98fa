#include "extract/quick_phase_replay.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <utility>

namespace quillery::detail {

namespace {

// The keys by position, in groups of kFan, with the least and the greatest
// key of every group, of every kFan groups, and so on up to one group (a
// tree of fan-out kFan, tier 0 being the keys themselves), so a scan can pass
// a whole group that cannot stop it at once. A wide fan-out keeps the tree
// shallow: an exchange refreshes at most a handful of nodes per path, each a
// short run of adjacent values.
class KeyTree {
  public:
    explicit KeyTree(std::vector<std::int32_t> keys) : keys_(std::move(keys))
    {
        // Padding after the last key: a downward scan starts at or below the
        // last key, and an upward one meets a real stop first, so the padding
        // never answers a scan, whatever its value.
        keys_.resize(RoundUp(std::max<std::size_t>(keys_.size(), 1)), kAbove);
        std::size_t below = keys_.size();
        while (below > kFan) {
            const std::size_t tier = mins_.size();
            mins_.emplace_back(RoundUp(below / kFan), kAbove);
            maxs_.emplace_back(mins_.back().size(), kAbove);
            for (std::size_t v = 0; v < below / kFan; ++v) {
                mins_[tier][v] = GroupMin(tier, v);
                maxs_[tier][v] = GroupMax(tier, v);
            }
            below = mins_.back().size();
        }
    }

    [[nodiscard]] std::int32_t Key(std::int32_t pos) const { return keys_[static_cast<std::size_t>(pos)]; }

    // Exchanges the keys of two positions and leaves the groups above them as
    // they were until Refresh. A group then still bounds the keys of every
    // position not exchanged since, which is all a scan over such positions
    // needs: it skips only groups that cannot stop it, and reads the keys
    // themselves before it stops.
    void ExchangeKeys(std::int32_t a, std::int32_t b)
    {
        std::swap(keys_[static_cast<std::size_t>(a)], keys_[static_cast<std::size_t>(b)]);
    }

    // Recomputes every group above the positions in `rising` (ascending) and
    // `falling` (descending), tier by tier; both lists are used up.
    void Refresh(std::vector<std::size_t>& rising, std::vector<std::size_t>& falling)
    {
        for (std::size_t tier = 0; tier < mins_.size() && !(rising.empty() && falling.empty()); ++tier) {
            for (std::vector<std::size_t>* nodes : {&rising, &falling}) {
                for (std::size_t& v : *nodes) {
                    v /= kFan;
                }
                nodes->erase(std::unique(nodes->begin(), nodes->end()), nodes->end());
                for (const std::size_t v : *nodes) {
                    mins_[tier][v] = GroupMin(tier, v);
                    maxs_[tier][v] = GroupMax(tier, v);
                }
            }
        }
        rising.clear();
        falling.clear();
    }

    // Gives position pos the key `key`, bringing the groups above it up to date.
    void Set(std::int32_t pos, std::int32_t key)
    {
        auto v = static_cast<std::size_t>(pos);
        if (keys_[v] == key) {
            return;
        }
        Change change{keys_[v], keys_[v], key, key};
        keys_[v] = key;
        for (std::size_t tier = 0; tier < mins_.size(); ++tier) {
            v /= kFan;
            if (!Apply(tier, v, change)) {
                return;
            }
        }
    }

    // The first position >= from whose key is >= p; one must exist. Climbs
    // while the rest of the current group cannot stop the scan, so the cost
    // grows with the log of the distance covered.
    [[nodiscard]] std::int32_t FirstAtLeast(std::int32_t from, std::int32_t p) const
    {
        auto v = static_cast<std::size_t>(from);
        std::size_t tier = 0;
        for (;;) {
            const std::int32_t* maxs = Maxs(tier);
            const std::size_t end = std::min((v / kFan + 1) * kFan, Size(tier));
            while (v < end && maxs[v] < p) {
                ++v;
            }
            if (v < end || tier == mins_.size()) {
                break;
            }
            v = v / kFan;
            ++tier;
        }
        while (tier > 0) {
            --tier;
            const std::int32_t* maxs = Maxs(tier);
            v *= kFan;
            while (maxs[v] < p) {
                ++v;
            }
        }
        return static_cast<std::int32_t>(v);
    }

    // The last position <= from whose key is <= p; one must exist.
    [[nodiscard]] std::int32_t LastAtMost(std::int32_t from, std::int32_t p) const
    {
        std::size_t v = static_cast<std::size_t>(from) + 1; // one past the next value to look at
        std::size_t tier = 0;
        for (;;) {
            const std::int32_t* mins = Mins(tier);
            const std::size_t begin = (v - 1) / kFan * kFan;
            while (v > begin && mins[v - 1] > p) {
                --v;
            }
            if (v > begin || begin == 0 || tier == mins_.size()) {
                break;
            }
            v = begin / kFan;
            ++tier;
        }
        --v;
        while (tier > 0) {
            --tier;
            const std::int32_t* mins = Mins(tier);
            v = v * kFan + kFan - 1;
            while (mins[v] > p) {
                --v;
            }
        }
        return static_cast<std::int32_t>(v);
    }

  private:
    static constexpr std::size_t kFan = 16;
    static constexpr std::int32_t kAbove = std::numeric_limits<std::int32_t>::max();

    [[nodiscard]] static std::size_t RoundUp(std::size_t count) { return (count + kFan - 1) / kFan * kFan; }

    // Tier 0 is the keys; tier t + 1 summarises the groups of tier t.
    [[nodiscard]] const std::int32_t* Mins(std::size_t tier) const
    {
        return tier == 0 ? keys_.data() : mins_[tier - 1].data();
    }
    [[nodiscard]] const std::int32_t* Maxs(std::size_t tier) const
    {
        return tier == 0 ? keys_.data() : maxs_[tier - 1].data();
    }
    [[nodiscard]] std::size_t Size(std::size_t tier) const { return tier == 0 ? keys_.size() : mins_[tier - 1].size(); }

    // How one node's least and greatest key changed.
    struct Change {
        std::int32_t oldMin;
        std::int32_t oldMax;
        std::int32_t newMin;
        std::int32_t newMax;
    };

    // The least and the greatest value of the group below node v.
    // Written so that the compiler turns each loop into vector operations.
    [[nodiscard]] std::int32_t GroupMin(std::size_t summary, std::size_t v) const
    {
        const std::int32_t* mins = Mins(summary) + v * kFan;
        std::int32_t least = mins[0];
        for (std::size_t k = 0; k < kFan; ++k) {
            least = mins[k] < least ? mins[k] : least;
        }
        return least;
    }

    [[nodiscard]] std::int32_t GroupMax(std::size_t summary, std::size_t v) const
    {
        const std::int32_t* maxs = Maxs(summary) + v * kFan;
        std::int32_t greatest = maxs[0];
        for (std::size_t k = 0; k < kFan; ++k) {
            greatest = maxs[k] > greatest ? maxs[k] : greatest;
        }
        return greatest;
    }

    // Stores node v of summary `summary` (tier summary + 1) and turns
    // `change` into the node's own; false when it stays as it was.
    bool Store(std::size_t summary, std::size_t v, std::int32_t least, std::int32_t greatest, Change& change)
    {
        std::int32_t& storedMin = mins_[summary][v];
        std::int32_t& storedMax = maxs_[summary][v];
        change = {storedMin, storedMax, least, greatest};
        if (least == storedMin && greatest == storedMax) {
            return false;
        }
        storedMin = least;
        storedMax = greatest;
        return true;
    }

    // Node v after one child of its group changed as `change` says.
    bool Apply(std::size_t summary, std::size_t v, Change& change)
    {
        std::int32_t least = mins_[summary][v];
        std::int32_t greatest = maxs_[summary][v];
        if (change.newMin < least) {
            least = change.newMin;
        } else if (change.oldMin == least && change.newMin > least) {
            least = GroupMin(summary, v);
        }
        if (change.newMax > greatest) {
            greatest = change.newMax;
        } else if (change.oldMax == greatest && change.newMax < greatest) {
            greatest = GroupMax(summary, v);
        }
        return Store(summary, v, least, greatest, change);
    }

    std::vector<std::int32_t> keys_;
    std::vector<std::vector<std::int32_t>> mins_; // by summary tier, then node
    std::vector<std::vector<std::int32_t>> maxs_;
};

class Replay {
  public:
    static constexpr std::int64_t kDirectSize = 128;
    static constexpr std::int64_t kTryBudget = 4;

    Replay(std::vector<std::int32_t> keys, std::int32_t firstSlot, std::int64_t leave, std::int32_t trySize)
        : origin_(keys.size()), tree_(std::move(keys)), firstSlot_(firstSlot), leave_(leave), trySize_(trySize)
    {
        std::iota(origin_.begin(), origin_.end(), 0);
    }

    std::vector<std::int32_t> Run()
    {
        QuickPhase(0, static_cast<std::int32_t>(origin_.size()) - 1, true);
        return std::move(origin_);
    }

  private:
    // An exchange of the scans: i below j. The tree's groups above them are
    // refreshed once the partition's scans are done.
    void Swap(std::int32_t i, std::int32_t j)
    {
        SwapOrigins(i, j);
        if (tree_.Key(i) != tree_.Key(j)) {
            tree_.ExchangeKeys(i, j);
            rising_.push_back(static_cast<std::size_t>(i));
            falling_.push_back(static_cast<std::size_t>(j));
        }
    }

    void SwapOrigins(std::int32_t a, std::int32_t b)
    {
        std::swap(origin_[static_cast<std::size_t>(a)], origin_[static_cast<std::size_t>(b)]);
    }

    // The partition of the quick phase on positions lo..hi; the scans stop
    // where the stepping scans would: i at the first key >= the pivot,
    // j at the last key <= it. Returns {j, i} as the stepping partition.
    //
    // The median of three is taken on the three keys and the tree learns
    // only where each ends. The pivot's trip to hi - 1 and back is not shown
    // to the tree, which keeps the key it had at hi - 1 during the scans:
    // the downward scan starts below hi - 1, and the upward one, told a
    // smaller key there, goes on to hi, whose key is >= the pivot, and is
    // brought back to hi - 1, where the steps stop on the pivot.
    //
    // The scans leave the tree's groups stale above the positions they
    // exchange (all at or below i, or at or above j) and trust it only
    // strictly between i and j, where no key has moved. That suffices: every
    // key past j is >= the pivot, and so is j's own once the scans have met
    // or exchanged there, and every key below where the upward scan stops is
    // <= it. Going up, the steps therefore stop at j (or at i + 1, when the
    // scans met at i) at the latest, and going down at one below the lower of
    // i and j at the earliest; a search that runs past those bounds is cut
    // back to them.
    std::pair<std::int32_t, std::int32_t> Partition(std::int32_t lo, std::int32_t hi)
    {
        const std::int32_t mid = MiddleSlot(lo + firstSlot_, hi + firstSlot_) - firstSlot_;
        std::int32_t least = tree_.Key(lo);
        std::int32_t pivot = tree_.Key(mid);
        std::int32_t greatest = tree_.Key(hi);
        if (least > pivot) {
            SwapOrigins(lo, mid);
            std::swap(least, pivot);
        }
        if (least > greatest) {
            SwapOrigins(lo, hi);
            std::swap(least, greatest);
        }
        if (pivot > greatest) {
            SwapOrigins(mid, hi);
            std::swap(pivot, greatest);
        }
        SwapOrigins(mid, hi - 1);
        tree_.Set(lo, least);
        tree_.Set(hi, greatest);
        tree_.Set(mid, mid == hi - 1 ? pivot : tree_.Key(hi - 1));

        std::int32_t i = lo;
        std::int32_t j = hi - 1;
        for (;;) {
            i = std::min(tree_.FirstAtLeast(i + 1, pivot), std::max(j, i + 1));
            j = std::max(tree_.LastAtMost(j - 1, pivot), std::min(i, j) - 1);
            if (j < i) {
                break;
            }
            Swap(i, j);
        }
        tree_.Refresh(rising_, falling_);
        SwapOrigins(i, hi - 1);
        if (i != hi - 1) {
            tree_.Set(hi - 1, tree_.Key(i));
        }
        tree_.Set(i, pivot);
        return {j, i};
    }

    // A range of fewer than trySize_ keys is first given to the steps
    // themselves, on a copy of its keys beside their origins, which on most
    // orders is several times faster than the tree's scans: with a budget of
    // kTryBudget * m * log2(m) comparisons, unlimited below kDirectSize keys
    // (where even m * m / 4 is small). Only a finished try is kept. The tree
    // is not told, as no later scan searches the range's positions.
    bool TryDirect(std::int32_t lo, std::int32_t hi)
    {
        const auto size = static_cast<std::size_t>(hi - lo) + 1;
        direct_.resize(size);
        for (std::size_t k = 0; k < size; ++k) {
            const auto pos = lo + static_cast<std::int32_t>(k);
            direct_[k] = {tree_.Key(pos), origin_[static_cast<std::size_t>(pos)]};
        }
        const auto m = static_cast<std::int64_t>(size);
        directLeft_ = m < kDirectSize ? std::numeric_limits<std::int64_t>::max()
                                      : kTryBudget * m * static_cast<std::int64_t>(std::bit_width(size));
        if (!DirectSteps(lo, lo, hi)) {
            return false;
        }
        for (std::size_t k = 0; k < size; ++k) {
            origin_[static_cast<std::size_t>(lo) + k] = direct_[k].origin;
        }
        return true;
    }

    // The steps on lo..hi of the copy, which begins at position `base`;
    // false once the try's budget is spent.
    bool DirectSteps(std::int32_t base, std::int32_t lo, std::int32_t hi)
    {
        const auto at = [base](std::int32_t pos) { return static_cast<std::size_t>(pos - base); };
        const auto swap = [&](std::int32_t x, std::int32_t y) { std::swap(direct_[at(x)], direct_[at(y)]); };
        while (std::int64_t{hi} - lo > leave_) {
            if (directLeft_ <= 0) {
                return false;
            }
            const std::int32_t mid = MiddleSlot(lo + firstSlot_, hi + firstSlot_) - firstSlot_;
            if (direct_[at(lo)].key > direct_[at(mid)].key) {
                swap(lo, mid);
            }
            if (direct_[at(lo)].key > direct_[at(hi)].key) {
                swap(lo, hi);
            }
            if (direct_[at(mid)].key > direct_[at(hi)].key) {
                swap(mid, hi);
            }
            swap(mid, hi - 1);
            const std::int32_t pivot = direct_[at(hi - 1)].key;
            std::int32_t i = lo;
            std::int32_t j = hi - 1;
            for (;;) {
                do {
                    ++i;
                } while (direct_[at(i)].key < pivot);
                do {
                    --j;
                } while (direct_[at(j)].key > pivot);
                if (j < i) {
                    break;
                }
                swap(i, j);
            }
            swap(i, hi - 1);
            directLeft_ -= 3 + (std::int64_t{i} - lo) + (std::int64_t{hi} - 1 - j);
            const bool done = j - lo <= hi - (i + 1) ? DirectSteps(base, lo, j) : DirectSteps(base, i + 1, hi);
            if (!done) {
                return false;
            }
            if (j - lo <= hi - (i + 1)) {
                lo = i + 1;
            } else {
                hi = j;
            }
        }
        return true;
    }

    // The sub-ranges are disjoint, so the smaller one goes to recursion and
    // the larger to the loop without changing the result.
    // `tryDirect`: no try has failed on a range holding lo..hi, so one that
    // fails costs its budget once, not again on every sub-range.
    void QuickPhase(std::int32_t lo, std::int32_t hi, bool tryDirect)
    {
        while (std::int64_t{hi} - lo > leave_) {
            if (tryDirect && hi - lo + 1 < trySize_) {
                if (TryDirect(lo, hi)) {
                    return;
                }
                tryDirect = false;
            }
            const auto [j, i] = Partition(lo, hi);
            if (j - lo <= hi - (i + 1)) {
                QuickPhase(lo, j, tryDirect);
                lo = i + 1;
            } else {
                QuickPhase(i + 1, hi, tryDirect);
                hi = j;
            }
        }
    }

    std::vector<std::int32_t> origin_; // by position: the index of the key there
    KeyTree tree_;
    std::vector<std::size_t> rising_; // positions the scans exchanged, i's side then j's
    std::vector<std::size_t> falling_;
    // A key of the range being tried and the index it came from.
    struct KeyOrigin {
        std::int32_t key;
        std::int32_t origin;
    };
    std::vector<KeyOrigin> direct_;
    std::int64_t directLeft_ = 0; // comparisons the try may still make
    std::int32_t firstSlot_;
    std::int64_t leave_;
    std::int32_t trySize_;
};

} // namespace

std::vector<std::int32_t> ReplayQuickPhase(std::vector<std::int32_t> keys, std::int32_t firstSlot, std::int64_t leave,
                                           std::int32_t trySize)
{
    return Replay(std::move(keys), firstSlot, leave, trySize).Run();
}

} // namespace quillery::detail
