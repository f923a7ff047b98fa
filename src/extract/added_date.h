#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillery {

// Reads the date a meta line gives after its last "|" ("Added on Thursday,
// August 22, 2024 6:10:53 PM", "添加于 2023年2月14日星期二 上午5:15:57") in
// every interface language the reader knows, as the local time the device
// wrote in the decimal number YYYYMMDDhhmmss (20240822181053); seconds 00
// where the device wrote none; 0 when there is no date that can be read.
std::int64_t ReadAddedDate(std::string_view text);

// Reads a date written as numbers, "2015-06-14 21:03:11" (a Duokan item's
// CreateTime; a "T" may stand for the blank), as ReadAddedDate gives it; 0
// when it is no such date.
std::int64_t ReadNumericDate(std::string_view text);

// The date as "2024-08-22T18:10:53"; "" for 0.
std::string AddedIso(std::int64_t added);
// The same appended to `out`: a writer of a million dates reuses one buffer.
void AppendAddedIso(std::string& out, std::int64_t added);

} // namespace quillery
