#include "extract/entry_sort_key_tree.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace quillery::detail {

namespace {

constexpr std::size_t kFan = 16;
constexpr std::int32_t kAbove = std::numeric_limits<std::int32_t>::max();

std::size_t RoundUp(std::size_t count)
{
    return (count + kFan - 1) / kFan * kFan;
}

// Written so that the compiler turns each loop into vector operations.
std::int32_t Least(const std::int32_t* group)
{
    std::int32_t least = group[0];
    for (std::size_t k = 0; k < kFan; ++k) {
        least = group[k] < least ? group[k] : least;
    }
    return least;
}

std::int32_t Greatest(const std::int32_t* group)
{
    std::int32_t greatest = group[0];
    for (std::size_t k = 0; k < kFan; ++k) {
        greatest = group[k] > greatest ? group[k] : greatest;
    }
    return greatest;
}

} // namespace

KeyTree::KeyTree(std::span<const KeyOrigin> pairs, std::int32_t first) : first_(first)
{
    // Padding after the last key: a downward scan starts at or below the
    // last key and an upward one meets a real stop first, so the padding
    // never answers a scan, whatever its value.
    keys_.resize(RoundUp(std::max<std::size_t>(pairs.size(), 1)), kAbove);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        keys_[k] = pairs[k].key;
    }
    for (std::size_t below = keys_.size(); below > kFan; below = mins_.back().size()) {
        mins_.emplace_back(RoundUp(below / kFan), kAbove);
        maxs_.emplace_back(mins_.back().size(), kAbove);
        for (std::size_t v = 0; v < below / kFan; ++v) {
            Summarise(mins_.size() - 1, v);
        }
    }
}

const std::int32_t* KeyTree::Mins(std::size_t tier) const
{
    return tier == 0 ? keys_.data() : mins_[tier - 1].data();
}

const std::int32_t* KeyTree::Maxs(std::size_t tier) const
{
    return tier == 0 ? keys_.data() : maxs_[tier - 1].data();
}

std::size_t KeyTree::Size(std::size_t tier) const
{
    return tier == 0 ? keys_.size() : mins_[tier - 1].size();
}

bool KeyTree::Summarise(std::size_t tier, std::size_t v)
{
    const std::int32_t least = Least(Mins(tier) + v * kFan);
    const std::int32_t greatest = Greatest(Maxs(tier) + v * kFan);
    if (mins_[tier][v] == least && maxs_[tier][v] == greatest) {
        return false;
    }
    mins_[tier][v] = least;
    maxs_[tier][v] = greatest;
    return true;
}

void KeyTree::Exchange(std::int32_t a, std::int32_t b)
{
    std::swap(keys_[At(a)], keys_[At(b)]);
    rising_.push_back(At(a));
    falling_.push_back(At(b));
}

void KeyTree::Refresh()
{
    for (std::size_t tier = 0; tier < mins_.size() && !rising_.empty(); ++tier) {
        for (std::vector<std::size_t>* nodes : {&rising_, &falling_}) {
            for (std::size_t& v : *nodes) {
                v /= kFan;
            }
            nodes->erase(std::unique(nodes->begin(), nodes->end()), nodes->end());
            for (const std::size_t v : *nodes) {
                Summarise(tier, v);
            }
        }
    }
    rising_.clear();
    falling_.clear();
}

void KeyTree::Set(std::int32_t pos, std::int32_t key)
{
    std::size_t v = At(pos);
    std::int32_t oldMin = keys_[v];
    std::int32_t oldMax = keys_[v];
    std::int32_t newMin = key;
    std::int32_t newMax = key;
    keys_[v] = key;
    // A child's change moves its node's bound only where it reached it; a
    // bound it left is found again among the node's children.
    for (std::size_t tier = 0; tier < mins_.size(); ++tier) {
        v /= kFan;
        std::int32_t& least = mins_[tier][v];
        std::int32_t& greatest = maxs_[tier][v];
        const std::int32_t wasLeast = least;
        const std::int32_t wasGreatest = greatest;
        if (newMin < least || (oldMin == least && newMin > least)) {
            least = newMin < least ? newMin : Least(Mins(tier) + v * kFan);
        }
        if (newMax > greatest || (oldMax == greatest && newMax < greatest)) {
            greatest = newMax > greatest ? newMax : Greatest(Maxs(tier) + v * kFan);
        }
        if (least == wasLeast && greatest == wasGreatest) {
            return;
        }
        oldMin = wasLeast;
        oldMax = wasGreatest;
        newMin = least;
        newMax = greatest;
    }
}

std::int32_t KeyTree::FirstAtLeast(std::int32_t from, std::int32_t p) const
{
    std::size_t v = At(from);
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
        v /= kFan;
        ++tier;
    }
    for (; tier > 0; --tier) {
        const std::int32_t* maxs = Maxs(tier - 1);
        for (v *= kFan; maxs[v] < p; ++v) {
        }
    }
    return static_cast<std::int32_t>(v) + first_;
}

std::int32_t KeyTree::LastAtMost(std::int32_t from, std::int32_t p) const
{
    std::size_t v = At(from) + 1; // one past the next value to look at
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
    for (; tier > 0; --tier) {
        const std::int32_t* mins = Mins(tier - 1);
        for (v = v * kFan + kFan - 1; mins[v] > p; --v) {
        }
    }
    return static_cast<std::int32_t>(v) + first_;
}

} // namespace quillery::detail
