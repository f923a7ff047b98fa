#include "extract/quick_phase_replay.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <numeric>
#include <utility>

namespace quillery::detail {

namespace {

// The keys by position, with the least and the greatest key of every aligned
// block of positions (a segment tree kept in two arrays, leaves at width_ +
// position), so a scan can pass a whole block that cannot stop it at once.
class KeyTree {
  public:
    explicit KeyTree(const std::vector<std::int32_t>& keys)
        : width_(std::bit_ceil(std::max<std::size_t>(keys.size(), 1))),
          min_(2 * width_, std::numeric_limits<std::int32_t>::max()),
          max_(2 * width_, std::numeric_limits<std::int32_t>::min())
    {
        std::copy(keys.begin(), keys.end(), min_.begin() + static_cast<std::ptrdiff_t>(width_));
        std::copy(keys.begin(), keys.end(), max_.begin() + static_cast<std::ptrdiff_t>(width_));
        for (std::size_t v = width_ - 1; v >= 1; --v) {
            min_[v] = std::min(min_[2 * v], min_[2 * v + 1]);
            max_[v] = std::max(max_[2 * v], max_[2 * v + 1]);
        }
    }

    std::int32_t Key(std::int32_t pos) const { return min_[width_ + static_cast<std::size_t>(pos)]; }

    // Stops early where a block's least and greatest key stay as they were.
    void Set(std::int32_t pos, std::int32_t key)
    {
        std::size_t v = width_ + static_cast<std::size_t>(pos);
        min_[v] = key;
        max_[v] = key;
        for (v /= 2; v >= 1; v /= 2) {
            const std::int32_t low = std::min(min_[2 * v], min_[2 * v + 1]);
            const std::int32_t high = std::max(max_[2 * v], max_[2 * v + 1]);
            if (low == min_[v] && high == max_[v]) {
                return;
            }
            min_[v] = low;
            max_[v] = high;
        }
    }

    // The first position >= from whose key is >= p; one must exist. Climbs
    // from the leaf to the right, so the cost grows with the log of the
    // distance covered.
    std::int32_t FirstAtLeast(std::int32_t from, std::int32_t p) const
    {
        std::size_t v = width_ + static_cast<std::size_t>(from);
        while (max_[v] < p) {
            while (v % 2 == 1) {
                v /= 2;
            }
            ++v;
        }
        while (v < width_) {
            v = 2 * v;
            if (max_[v] < p) {
                ++v;
            }
        }
        return static_cast<std::int32_t>(v - width_);
    }

    // The last position <= from whose key is <= p; one must exist.
    std::int32_t LastAtMost(std::int32_t from, std::int32_t p) const
    {
        std::size_t v = width_ + static_cast<std::size_t>(from);
        while (min_[v] > p) {
            while (v % 2 == 0) {
                v /= 2;
            }
            --v;
        }
        while (v < width_) {
            v = 2 * v + 1;
            if (min_[v] > p) {
                --v;
            }
        }
        return static_cast<std::int32_t>(v - width_);
    }

  private:
    std::size_t width_;
    std::vector<std::int32_t> min_;
    std::vector<std::int32_t> max_;
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
        const std::int32_t ka = tree_.Key(a);
        const std::int32_t kb = tree_.Key(b);
        if (ka != kb) {
            tree_.Set(a, kb);
            tree_.Set(b, ka);
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
