#include "extract/quick_phase_replay.h"

#include <algorithm>
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

    std::int32_t Key(std::int32_t pos) const { return keys_[static_cast<std::size_t>(pos)]; }

    // Exchanges the keys of two positions, then brings the groups above each
    // up to date, the two paths side by side, each stopping where a group's
    // least and greatest key stay as they were. Where the paths join, the
    // group holds the same keys as before, so nothing above it changes.
    void Exchange(std::int32_t a, std::int32_t b)
    {
        std::size_t va = static_cast<std::size_t>(a);
        std::size_t vb = static_cast<std::size_t>(b);
        Change changeA{keys_[va], keys_[va], keys_[vb], keys_[vb]};
        Change changeB{keys_[vb], keys_[vb], keys_[va], keys_[va]};
        std::swap(keys_[va], keys_[vb]);
        bool climbA = true;
        bool climbB = true;
        for (std::size_t tier = 0; tier < mins_.size() && (climbA || climbB); ++tier) {
            va /= kFan;
            vb /= kFan;
            if (va == vb) {
                return;
            }
            climbA = climbA && Apply(tier, va, changeA);
            climbB = climbB && Apply(tier, vb, changeB);
        }
    }

    // Gives position pos the key `key`, bringing the groups above it up to date.
    void Set(std::int32_t pos, std::int32_t key)
    {
        std::size_t v = static_cast<std::size_t>(pos);
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
    std::int32_t FirstAtLeast(std::int32_t from, std::int32_t p) const
    {
        std::size_t v = static_cast<std::size_t>(from);
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
    std::int32_t LastAtMost(std::int32_t from, std::int32_t p) const
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

    static std::size_t RoundUp(std::size_t count) { return (count + kFan - 1) / kFan * kFan; }

    // Tier 0 is the keys; tier t + 1 summarises the groups of tier t.
    const std::int32_t* Mins(std::size_t tier) const { return tier == 0 ? keys_.data() : mins_[tier - 1].data(); }
    const std::int32_t* Maxs(std::size_t tier) const { return tier == 0 ? keys_.data() : maxs_[tier - 1].data(); }
    std::size_t Size(std::size_t tier) const { return tier == 0 ? keys_.size() : mins_[tier - 1].size(); }

    // How one node's least and greatest key changed.
    struct Change {
        std::int32_t oldMin;
        std::int32_t oldMax;
        std::int32_t newMin;
        std::int32_t newMax;
    };

    // The least and the greatest value of the group below node v.
    // Written so that the compiler turns each loop into vector operations.
    std::int32_t GroupMin(std::size_t summary, std::size_t v) const
    {
        const std::int32_t* mins = Mins(summary) + v * kFan;
        std::int32_t least = mins[0];
        for (std::size_t k = 0; k < kFan; ++k) {
            least = mins[k] < least ? mins[k] : least;
        }
        return least;
    }

    std::int32_t GroupMax(std::size_t summary, std::size_t v) const
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
    Replay(std::vector<std::int32_t> keys, std::int32_t firstSlot, std::int64_t leave)
        : origin_(keys.size()), tree_(std::move(keys)), firstSlot_(firstSlot), leave_(leave)
    {
        std::iota(origin_.begin(), origin_.end(), 0);
    }

    std::vector<std::int32_t> Run()
    {
        QuickPhase(0, static_cast<std::int32_t>(origin_.size()) - 1);
        return std::move(origin_);
    }

  private:
    void Swap(std::int32_t a, std::int32_t b)
    {
        SwapOrigins(a, b);
        if (tree_.Key(a) != tree_.Key(b)) {
            tree_.Exchange(a, b);
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
            i = std::min(tree_.FirstAtLeast(i + 1, pivot), hi - 1);
            j = tree_.LastAtMost(j - 1, pivot);
            if (j < i) {
                break;
            }
            Swap(i, j);
        }
        SwapOrigins(i, hi - 1);
        if (i != hi - 1) {
            tree_.Set(hi - 1, tree_.Key(i));
        }
        tree_.Set(i, pivot);
        return {j, i};
    }

    // The sub-ranges are disjoint, so the smaller one goes to recursion and
    // the larger to the loop without changing the result.
    void QuickPhase(std::int32_t lo, std::int32_t hi)
    {
        while (std::int64_t{hi} - lo > leave_) {
            const auto [j, i] = Partition(lo, hi);
            if (j - lo <= hi - (i + 1)) {
                QuickPhase(lo, j);
                lo = i + 1;
            } else {
                QuickPhase(i + 1, hi);
                hi = j;
            }
        }
    }

    std::vector<std::int32_t> origin_; // by position: the index of the key there
    KeyTree tree_;
    std::int32_t firstSlot_;
    std::int64_t leave_;
};

} // namespace

std::vector<std::int32_t> ReplayQuickPhase(std::vector<std::int32_t> keys, std::int32_t firstSlot, std::int64_t leave)
{
    return Replay(std::move(keys), firstSlot, leave).Run();
}

} // namespace quillery::detail
