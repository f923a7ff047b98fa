#pragma once

#include "extract/added_date.h" // AddedIso, to write MetaDetails::added
#include "extract/meta_line.h"

#include <cstdint>
#include <string_view>

namespace quillery {

// Everything a meta line records about its entry beyond its kind.
struct MetaDetails {
    std::string_view page; // the page as written ("12", "ix", "xvi"); empty when none
    // "1300-1301" gives 1300 and 1301, "1234-38" gives 1234 and 1238, a single
    // number gives it twice; 0 and 0 when there is no location or it is out of range.
    std::int32_t locationStart = 0;
    std::int32_t locationEnd = 0;
    // The local time the device wrote, as ReadAddedDate gives it (20240822181053); 0 when none.
    std::int64_t added = 0;
};

// Reads the page, location range and date of a meta line's raw bytes (UTF-8
// as the device writes them), in every interface language the reader knows.
MetaDetails ReadMetaDetails(std::string_view metaLine);
// The same from a line already split, so a reader splits each line once.
MetaDetails ReadMetaDetails(const MetaParts& parts);

} // namespace quillery
