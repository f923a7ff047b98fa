#include "output/entry_place.h"

#include "extract/added_date.h"

namespace quillery {

namespace {

void AppendPart(std::string& line, std::string_view part)
{
    if (!line.empty()) {
        line += " \u00B7 ";
    }
    line += part;
}

} // namespace

std::string AddedDay(std::int64_t added)
{
    return AddedIso(added).substr(0, 10);
}

std::string EntryPlace(const ExportEntry& entry)
{
    std::string line;
    if (!entry.page.empty()) {
        AppendPart(line, "p. " + std::string(entry.page));
    }
    if (entry.hasLocation) {
        std::string location = "loc. " + std::to_string(entry.locationStart);
        if (entry.locationEnd > entry.locationStart) {
            location += "\u2013" + std::to_string(entry.locationEnd);
        }
        AppendPart(line, location);
    }
    if (entry.added != 0) {
        AppendPart(line, AddedDay(entry.added));
    }
    return line;
}

} // namespace quillery
