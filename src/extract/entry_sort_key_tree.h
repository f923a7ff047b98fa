#pragma once

#include "extract/entry_sort_detail.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace quillery::detail {

// A key and the index of the entry it came from.
struct KeyOrigin {
    std::int32_t key;
    std::int32_t origin;
};

// The keys of a range by position, in groups of kFan, with the least and the
// greatest key of every group, of every kFan groups, and so on up to one
// group, so a scan passes a group that cannot stop it at once: O(log m) per
// stop. A wide fan-out keeps it shallow.
class KeyTree {
  public:
    // The keys of `pairs`, which stand at positions first, first + 1, ...
    // The padding after them never answers a scan: a downward one starts at
    // or below the last key, an upward one meets a real stop first.
    KeyTree(std::span<const KeyOrigin> pairs, std::int32_t first) : first_(first)
    {
        mins_.emplace_back(RoundUp(std::max<std::size_t>(pairs.size(), 1)), kAbove);
        std::transform(pairs.begin(), pairs.end(), mins_[0].begin(), [](const KeyOrigin& pair) { return pair.key; });
        maxs_.push_back(mins_[0]);
        for (std::size_t below = mins_[0].size(); below > kFan; below = mins_.back().size()) {
            mins_.emplace_back(RoundUp(below / kFan), kAbove);
            maxs_.emplace_back(mins_.back().size(), kAbove);
            for (std::size_t v = 0; v < below / kFan; ++v) {
                Summarise(mins_.size() - 1, v);
            }
        }
    }

    // Gives `pos` the key `key`, going up the groups only as far as their
    // bounds change.
    void Set(std::int32_t pos, std::int32_t key)
    {
        auto v = static_cast<std::size_t>(pos - first_);
        mins_[0][v] = key;
        maxs_[0][v] = key;
        for (std::size_t tier = 1; tier < mins_.size() && Summarise(tier, v / kFan); ++tier) {
            v /= kFan;
        }
    }

    // The first position from `from` on, going up (kUp) or down, whose key
    // would stop the scan: >= p going up, <= p going down; one must exist.
    // Climbs while the rest of the current group cannot stop the scan, then
    // comes down into the group that can.
    template <bool kUp> [[nodiscard]] std::int32_t NextStop(std::int32_t from, std::int32_t p) const
    {
        constexpr std::ptrdiff_t step = kUp ? 1 : -1;
        constexpr auto fan = static_cast<std::ptrdiff_t>(kFan);
        const std::vector<std::vector<std::int32_t>>& bounds = kUp ? maxs_ : mins_;
        auto stops = [&](std::size_t tier, std::ptrdiff_t v) {
            const std::int32_t bound = bounds[tier][static_cast<std::size_t>(v)];
            return kUp ? bound >= p : bound <= p;
        };
        std::ptrdiff_t v = from - first_;
        std::size_t tier = 0;
        for (;; v = v / fan + step, ++tier) {
            const std::ptrdiff_t edge = v / fan * fan + (kUp ? fan - 1 : 0);
            for (; v != edge && !stops(tier, v); v += step) {
            }
            if (stops(tier, v)) {
                break;
            }
        }
        for (; tier > 0; --tier) {
            for (v = v * fan + (kUp ? 0 : fan - 1); !stops(tier - 1, v); v += step) {
            }
        }
        return static_cast<std::int32_t>(v + first_);
    }

  private:
    static constexpr std::size_t kFan = 16;
    static constexpr std::int32_t kAbove = std::numeric_limits<std::int32_t>::max();

    static std::size_t RoundUp(std::size_t count) { return (count + kFan - 1) / kFan * kFan; }

    // Bounds group v of tier - 1 again; whether its bounds changed. The loops
    // are written so that the compiler turns them into vector operations.
    bool Summarise(std::size_t tier, std::size_t v)
    {
        const std::int32_t* mins = mins_[tier - 1].data() + v * kFan;
        const std::int32_t* maxs = maxs_[tier - 1].data() + v * kFan;
        std::int32_t least = mins[0];
        std::int32_t greatest = maxs[0];
        for (std::size_t k = 0; k < kFan; ++k) {
            least = mins[k] < least ? mins[k] : least;
            greatest = maxs[k] > greatest ? maxs[k] : greatest;
        }
        const bool changed = least != mins_[tier][v] || greatest != maxs_[tier][v];
        mins_[tier][v] = least;
        maxs_[tier][v] = greatest;
        return changed;
    }

    std::int32_t first_;
    std::vector<std::vector<std::int32_t>> mins_; // tier 0 (the keys) up, then group
    std::vector<std::vector<std::int32_t>> maxs_;
};

} // namespace quillery::detail
