#pragma once

#include "clean/clean_book.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace quillery {

// The locations an item covers, lo <= hi.
struct LocationSpan {
    std::int32_t lo = 0;
    std::int32_t hi = 0;
};

// An item's span; none for 0/0. A single location written in one field only
// (the other 0) covers just that location, and a range written backwards is
// read forwards.
std::optional<LocationSpan> SpanOf(const CleanItem& item);

inline bool Overlap(LocationSpan a, LocationSpan b)
{
    return a.lo <= b.hi && b.lo <= a.hi;
}

// Which of two items counts as added later: the later date, and on equal
// dates the later in the file. A missing date counts as the latest date seen
// before it in the file, so the item sorts after everything above it; this
// keeps the order total, which a plain "missing: use file order" would not be
// once dated and undated items mix.
class AddedOrder {
  public:
    explicit AddedOrder(std::span<const CleanItem> items);

    [[nodiscard]] bool Later(std::size_t a, std::size_t b) const
    {
        return dates_[a] != dates_[b] ? dates_[a] > dates_[b] : a > b;
    }

  private:
    std::vector<std::int64_t> dates_;
};

} // namespace quillery
