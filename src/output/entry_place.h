#pragma once

#include "output/export_book.h"

#include <string>

namespace quillery {

// What is known of where and when an entry was made, as one line of UTF-8:
// "p. 12 · loc. 1300–1301 · 2024-08-22" ("loc. 241" for a single location);
// the parts not known are left out, so it may be "".
std::string EntryPlace(const ExportEntry& entry);

// The date part of an added date, "2024-08-22"; "" when it is not known.
std::string AddedDay(std::int64_t added);

} // namespace quillery
