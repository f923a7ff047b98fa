#include "extract/quick_phase_replay.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <utility>

namespace quillery::detail {

namespace {

// The keys by position, with the least and the greatest key of every aligned
// block of positions (a segment tree, leaves at width_ + position), so a scan
// can pass a whole block that cannot stop it at once.
class KeyTree {
  public:
    explicit KeyTree(const std::vector<std::int32_t>& keys)
        : width_(std::bit_ceil(std::max<std::size_t>(keys.size(), 1))),
          nodes_(2 * width_, {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min()})
    {
        for (std::size_t pos = 0; pos < keys.size(); ++pos) {
            nodes_[width_ + pos] = {keys[pos], keys[pos]};
        }
        for (std::size_t v = width_ - 1; v >= 1; --v) {
            nodes_[v] = Join(nodes_[2 * v], nodes_[2 * v + 1]);
        }
    }

    std::int32_t Key(std::int32_t pos) const { return nodes_[width_ + static_cast<std::size_t>(pos)].min; }

    // Exchanges the keys of two positions. The two paths to the root are
    // walked side by side until they join, each stopping early where a
    // block's least and greatest key stay as they were.
    void Exchange(std::int32_t a, std::int32_t b)
    {
        std::size_t va = width_ + static_cast<std::size_t>(a);
        std::size_t vb = width_ + static_cast<std::size_t>(b);
        std::swap(nodes_[va], nodes_[vb]);
        bool climbA = true;
        bool climbB = true;
        while (climbA || climbB) {
            va /= 2;
            vb /= 2;
            if (va == vb) {
                for (std::size_t v = va; v >= 1 && Refresh(v); v /= 2) {
                }
                return;
            }
            climbA = climbA && Refresh(va);
            climbB = climbB && Refresh(vb);
        }
    }

    // The first position >= from whose key is >= p; one must exist. Climbs
    // from the leaf to the right, so the cost grows with the log of the
    // distance covered.
    std::int32_t FirstAtLeast(std::int32_t from, std::int32_t p) const
    {
        std::size_t v = width_ + static_cast<std::size_t>(from);
        while (nodes_[v].max < p) {
            while (v % 2 == 1) {
                v /= 2;
            }
            ++v;
        }
        while (v < width_) {
            v = 2 * v;
            if (nodes_[v].max < p) {
                ++v;
            }
        }
        return static_cast<std::int32_t>(v - width_);
    }

    // The last position <= from whose key is <= p; one must exist.
    std::int32_t LastAtMost(std::int32_t from, std::int32_t p) const
    {
        std::size_t v = width_ + static_cast<std::size_t>(from);
        while (nodes_[v].min > p) {
            while (v % 2 == 0) {
                v /= 2;
            }
            --v;
        }
        while (v < width_) {
            v = 2 * v + 1;
            if (nodes_[v].min > p) {
                --v;
            }
        }
        return static_cast<std::int32_t>(v - width_);
    }

  private:
    struct Node {
        std::int32_t min;
        std::int32_t max;
    };

    static Node Join(Node a, Node b) { return {std::min(a.min, b.min), std::max(a.max, b.max)}; }

    // Recomputes node v from its children; false when it stays as it was.
    bool Refresh(std::size_t v)
    {
        const Node joined = Join(nodes_[2 * v], nodes_[2 * v + 1]);
        if (joined.min == nodes_[v].min && joined.max == nodes_[v].max) {
            return false;
        }
        nodes_[v] = joined;
        return true;
    }

    std::size_t width_;
    std::vector<Node> nodes_;
};

class Replay {
  public:
    Replay(const std::vector<std::int32_t>& keys, std::int32_t firstSlot, std::int64_t leave)
        : tree_(keys), origin_(keys.size()), firstSlot_(firstSlot), leave_(leave)
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
        std::swap(origin_[static_cast<std::size_t>(a)], origin_[static_cast<std::size_t>(b)]);
        if (tree_.Key(a) != tree_.Key(b)) {
            tree_.Exchange(a, b);
        }
    }

    // The partition of the quick phase on positions lo..hi; the scans stop
    // where the stepping scans would: i at the first key >= the pivot,
    // j at the last key <= it. Returns {j, i} as the stepping partition.
    std::pair<std::int32_t, std::int32_t> Partition(std::int32_t lo, std::int32_t hi)
    {
        const std::int32_t mid = MiddleSlot(lo + firstSlot_, hi + firstSlot_) - firstSlot_;
        if (tree_.Key(lo) > tree_.Key(mid)) {
            Swap(lo, mid);
        }
        if (tree_.Key(lo) > tree_.Key(hi)) {
            Swap(lo, hi);
        }
        if (tree_.Key(mid) > tree_.Key(hi)) {
            Swap(mid, hi);
        }
        Swap(mid, hi - 1);
        const std::int32_t pivot = tree_.Key(hi - 1);
        std::int32_t i = lo;
        std::int32_t j = hi - 1;
        for (;;) {
            i = tree_.FirstAtLeast(i + 1, pivot);
            j = tree_.LastAtMost(j - 1, pivot);
            if (j < i) {
                break;
            }
            Swap(i, j);
        }
        Swap(i, hi - 1);
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

    KeyTree tree_;
    std::vector<std::int32_t> origin_; // by position: the index of the key there
    std::int32_t firstSlot_;
    std::int64_t leave_;
};

} // namespace

std::vector<std::int32_t> ReplayQuickPhase(const std::vector<std::int32_t>& keys, std::int32_t firstSlot, std::int64_t leave)
{
    return Replay(keys, firstSlot, leave).Run();
}

} // namespace quillery::detail
