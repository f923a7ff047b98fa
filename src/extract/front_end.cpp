#include "extract/front_end.h"

#include <iterator>

namespace quillery {

std::u16string_view PhaseCaption(RunPhase phase)
{
    return phase == RunPhase::sorting ? u"Sorting.." : u"Saving..";
}

namespace {

constexpr std::string_view kFormatNames[] = {"classic", "markdown", "html", "csv", "json"};

} // namespace

std::string_view FormatName(OutputFormat format)
{
    return kFormatNames[static_cast<std::size_t>(format)];
}

std::optional<OutputFormat> FormatNamed(std::string_view name)
{
    for (std::size_t i = 0; i < std::size(kFormatNames); ++i) {
        if (kFormatNames[i] == name) {
            return static_cast<OutputFormat>(i);
        }
    }
    return std::nullopt;
}

} // namespace quillery
