#include "extract/meta_details.h"

#include "extract/meta_line.h"

#include <charconv>
#include <limits>

namespace quillery {

namespace {

std::int64_t Power10(std::size_t exponent)
{
    std::int64_t power = 1;
    for (std::size_t i = 0; i < exponent; ++i) {
        power *= 10;
    }
    return power;
}

bool ReadDigits(std::string_view digits, std::int64_t& value)
{
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return !digits.empty() && error == std::errc{} && end == digits.data() + digits.size();
}

// The end of a range written short takes the start's leading digits
// ("1234-38" is 1238) and, when it would fall before the start, the next
// round number ("1298-03" is 1303). An end written in full before its start is
// no end at all.
std::int64_t FullRangeEnd(std::int64_t start, std::size_t startDigits, std::int64_t end, std::size_t endDigits)
{
    if (endDigits >= startDigits) {
        return end < start ? start : end;
    }
    const std::int64_t round = Power10(endDigits);
    const std::int64_t full = start / round * round + end;
    return full < start ? full + round : full;
}

void ReadLocation(const MetaParts& parts, MetaDetails& details)
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int64_t start = 0;
    if (!ReadDigits(parts.locationStart, start) || start > kMax) {
        return;
    }
    std::int64_t end = start;
    if (!parts.locationEnd.empty()) {
        if (!ReadDigits(parts.locationEnd, end)) {
            return;
        }
        end = FullRangeEnd(start, parts.locationStart.size(), end, parts.locationEnd.size());
    }
    if (end > kMax) {
        return;
    }
    details.locationStart = static_cast<std::int32_t>(start);
    details.locationEnd = static_cast<std::int32_t>(end);
}

} // namespace

MetaDetails ReadMetaDetails(std::string_view metaLine)
{
    return ReadMetaDetails(SplitMetaLine(metaLine));
}

MetaDetails ReadMetaDetails(const MetaParts& parts)
{
    MetaDetails details;
    details.page = parts.page;
    ReadLocation(parts, details);
    details.added = ReadAddedDate(parts.date);
    return details;
}

} // namespace quillery
