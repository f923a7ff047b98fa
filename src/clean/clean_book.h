#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quillery {

// One entry of one book as the cleaning sees it. Text bytes as stored (UTF-8
// or Windows-1252), so texts are compared byte for byte.
struct CleanItem {
    char kind = 0; // 'h', 'n', 'b', or another kind that is kept as it is
    std::string_view text;
    std::string_view page;          // as written; empty when none
    std::int32_t locationStart = 0; // 0 and 0: no location
    std::int32_t locationEnd = 0;
    std::int64_t added = 0; // YYYYMMDDhhmmss as a number, 0 when unknown
};

enum class Fate : std::uint8_t { kept, duplicate, merged, attached, placeholder };

struct CleanedBook {
    std::vector<Fate> fate;           // per item, in input order
    std::vector<std::int32_t> noteOf; // per item: for a kept highlight, the index of its attached note, else -1
    std::int64_t duplicates = 0;
    std::int64_t merged = 0;
    std::int64_t attached = 0;
    std::int64_t placeholders = 0;
};

// Decides what becomes of each entry of one book: clipping-limit placeholders
// go, repeated entries go, a highlight the reader later extended or shortened
// gives way to the newer copy, and a note joins the highlight it was written
// on. Items come in the order the file holds them, which breaks ties of
// "added later". Time O(n log n) in the number of items.
CleanedBook CleanBook(std::span<const CleanItem> items);

} // namespace quillery
