#pragma once

#include "extract/entry_sort_detail.h"

#include <cstdint>
#include <span>
#include <vector>

namespace quillery::detail {

// The keys of a range by position, in groups of kFan, with the least and the
// greatest key of every group, of every kFan groups, and so on up to one
// group (tier 0 being the keys themselves), so a scan can pass a whole group
// that cannot stop it at once: a scan over m keys costs O(log m) per stop.
// A wide fan-out keeps the tree shallow, each refresh a short run of values.
class KeyTree {
  public:
    // The keys of `pairs`, which stand at positions first, first + 1, ...
    KeyTree(std::span<const KeyOrigin> pairs, std::int32_t first);

    [[nodiscard]] std::int32_t Key(std::int32_t pos) const { return keys_[At(pos)]; }

    // Exchanges the keys of a < b and leaves the groups above them as they
    // were until Refresh. A group then still bounds every key not exchanged
    // since, which is all a scan over such positions needs: it skips only
    // groups that cannot stop it, and reads the keys themselves to stop.
    void Exchange(std::int32_t a, std::int32_t b);
    // Brings the groups above every exchanged position up to date.
    void Refresh();
    // Gives `pos` the key `key`, with the groups above it.
    void Set(std::int32_t pos, std::int32_t key);

    // The first position >= from whose key is >= p; one must exist. Climbs
    // while the rest of the current group cannot stop the scan.
    [[nodiscard]] std::int32_t FirstAtLeast(std::int32_t from, std::int32_t p) const;
    // The last position <= from whose key is <= p; one must exist.
    [[nodiscard]] std::int32_t LastAtMost(std::int32_t from, std::int32_t p) const;

  private:
    [[nodiscard]] std::size_t At(std::int32_t pos) const { return static_cast<std::size_t>(pos - first_); }
    [[nodiscard]] const std::int32_t* Mins(std::size_t tier) const;
    [[nodiscard]] const std::int32_t* Maxs(std::size_t tier) const;
    [[nodiscard]] std::size_t Size(std::size_t tier) const;
    // Recomputes node v of tier + 1; false when it stays as it was.
    bool Summarise(std::size_t tier, std::size_t v);

    std::int32_t first_;
    std::vector<std::int32_t> keys_;
    std::vector<std::vector<std::int32_t>> mins_; // tier 1 up, then node
    std::vector<std::vector<std::int32_t>> maxs_;
    std::vector<std::size_t> rising_; // exchanged positions, ascending, then descending
    std::vector<std::size_t> falling_;
};

} // namespace quillery::detail
