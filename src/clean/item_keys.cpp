#include "clean/item_keys.h"

#include <algorithm>

namespace quillery {

std::optional<LocationSpan> SpanOf(const CleanItem& item)
{
    std::int32_t start = item.locationStart;
    std::int32_t end = item.locationEnd;
    if (start == 0 && end == 0) {
        return std::nullopt;
    }
    if (start == 0) {
        start = end;
    } else if (end == 0) {
        end = start;
    }
    return LocationSpan{std::min(start, end), std::max(start, end)};
}

AddedOrder::AddedOrder(std::span<const CleanItem> items)
{
    dates_.reserve(items.size());
    std::int64_t latest = 0;
    for (const CleanItem& item : items) {
        dates_.push_back(item.added != 0 ? item.added : latest);
        latest = std::max(latest, item.added);
    }
}

} // namespace quillery
