#pragma once

#include "extract/entry_sort_detail.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

namespace quillery::detail {

// The keys of a range by position, in groups of kFan, with the least and the
// greatest key of every group, of every kFan groups, and so on up to one
// group (tier 0 being the keys themselves), so a scan passes a group that
// cannot stop it at once: O(log m) per stop. A wide fan-out keeps it shallow.
class KeyTree {
  public:
    // The keys of `pairs`, which stand at positions first, first + 1, ...
    // The padding after them never answers a scan: a downward one starts at
    // or below the last key, an upward one meets a real stop first.
    KeyTree(std::span<const KeyOrigin> pairs, std::int32_t first) : first_(first)
    {
        keys_.resize(RoundUp(std::max<std::size_t>(pairs.size(), 1)), kAbove);
        std::transform(pairs.begin(), pairs.end(), keys_.begin(), [](const KeyOrigin& pair) { return pair.key; });
        for (std::size_t below = keys_.size(); below > kFan; below = mins_.back().size()) {
            mins_.emplace_back(RoundUp(below / kFan), kAbove);
            maxs_.emplace_back(mins_.back().size(), kAbove);
            for (std::size_t v = 0; v < below / kFan; ++v) {
                Summarise(mins_.size() - 1, v);
            }
        }
    }

    // Give `pos` the key `key`, or exchange the keys of a < b, leaving the
    // groups above them as they were until Refresh. A group then still bounds
    // every key not changed since, which is all a scan over such positions
    // needs. Set in rising positions, and exchanges with rising a and falling
    // b, let Refresh summarise each changed group once.
    void Set(std::int32_t pos, std::int32_t key)
    {
        keys_[At(pos)] = key;
        rising_.push_back(At(pos));
    }

    void Exchange(std::int32_t a, std::int32_t b)
    {
        std::swap(keys_[At(a)], keys_[At(b)]);
        rising_.push_back(At(a));
        falling_.push_back(At(b));
    }

    // Summarises the groups above the changed positions again, going up only
    // as far as their bounds change.
    void Refresh()
    {
        for (std::size_t tier = 0; tier < mins_.size(); ++tier) {
            for (std::vector<std::size_t>* nodes : {&rising_, &falling_}) {
                std::for_each(nodes->begin(), nodes->end(), [](std::size_t& v) { v /= kFan; });
                nodes->erase(std::unique(nodes->begin(), nodes->end()), nodes->end());
                std::erase_if(*nodes, [&](std::size_t v) { return !Summarise(tier, v); });
            }
        }
        rising_.clear();
        falling_.clear();
    }

    // The first position >= from whose key is >= p; one must exist. Climbs
    // while the rest of the current group cannot stop the scan.
    [[nodiscard]] std::int32_t FirstAtLeast(std::int32_t from, std::int32_t p) const
    {
        std::size_t v = At(from);
        std::size_t tier = 0;
        for (;; v /= kFan, ++tier) {
            const std::int32_t* maxs = Maxs(tier);
            const std::size_t end = std::min((v / kFan + 1) * kFan, tier == 0 ? keys_.size() : mins_[tier - 1].size());
            for (; v < end && maxs[v] < p; ++v) {
            }
            if (v < end || tier == mins_.size()) {
                break;
            }
        }
        for (; tier > 0; --tier) {
            const std::int32_t* maxs = Maxs(tier - 1);
            for (v *= kFan; maxs[v] < p; ++v) {
            }
        }
        return static_cast<std::int32_t>(v) + first_;
    }

    // The last position <= from whose key is <= p; one must exist.
    [[nodiscard]] std::int32_t LastAtMost(std::int32_t from, std::int32_t p) const
    {
        std::size_t v = At(from) + 1; // one past the next value to look at
        std::size_t tier = 0;
        for (;; v /= kFan, ++tier) {
            const std::int32_t* mins = Mins(tier);
            const std::size_t begin = (v - 1) / kFan * kFan;
            for (; v > begin && mins[v - 1] > p; --v) {
            }
            if (v > begin || begin == 0 || tier == mins_.size()) {
                break;
            }
        }
        for (--v; tier > 0; --tier) {
            const std::int32_t* mins = Mins(tier - 1);
            for (v = v * kFan + kFan - 1; mins[v] > p; --v) {
            }
        }
        return static_cast<std::int32_t>(v) + first_;
    }

  private:
    static constexpr std::size_t kFan = 16;
    static constexpr std::int32_t kAbove = std::numeric_limits<std::int32_t>::max();

    static std::size_t RoundUp(std::size_t count) { return (count + kFan - 1) / kFan * kFan; }
    // Written so that the compiler turns each loop into vector operations.
    static std::int32_t Least(const std::int32_t* group)
    {
        std::int32_t least = group[0];
        for (std::size_t k = 0; k < kFan; ++k) {
            least = group[k] < least ? group[k] : least;
        }
        return least;
    }
    static std::int32_t Greatest(const std::int32_t* group)
    {
        std::int32_t greatest = group[0];
        for (std::size_t k = 0; k < kFan; ++k) {
            greatest = group[k] > greatest ? group[k] : greatest;
        }
        return greatest;
    }

    [[nodiscard]] std::size_t At(std::int32_t pos) const { return static_cast<std::size_t>(pos - first_); }
    // Tier 0 is the keys; tier t + 1 bounds the groups of tier t.
    [[nodiscard]] const std::int32_t* Mins(std::size_t tier) const
    {
        return tier == 0 ? keys_.data() : mins_[tier - 1].data();
    }
    [[nodiscard]] const std::int32_t* Maxs(std::size_t tier) const
    {
        return tier == 0 ? keys_.data() : maxs_[tier - 1].data();
    }
    // Whether the group's bounds changed.
    bool Summarise(std::size_t tier, std::size_t v)
    {
        const std::pair<std::int32_t, std::int32_t> bounds{Least(Mins(tier) + v * kFan),
                                                           Greatest(Maxs(tier) + v * kFan)};
        if (bounds == std::pair{mins_[tier][v], maxs_[tier][v]}) {
            return false;
        }
        std::tie(mins_[tier][v], maxs_[tier][v]) = bounds;
        return true;
    }

    std::int32_t first_;
    std::vector<std::int32_t> keys_;
    std::vector<std::vector<std::int32_t>> mins_; // tier 1 up, then group
    std::vector<std::vector<std::int32_t>> maxs_;
    std::vector<std::size_t> rising_; // exchanged positions: ascending, descending
    std::vector<std::size_t> falling_;
};

} // namespace quillery::detail
