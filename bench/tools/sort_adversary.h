#pragma once

// Inputs on which the run's sort phase meets the worst cases of its quick
// phase: n entries of one book whose locations, in the order the location
// sort sees them, are the median-of-three adversary's keys (in one of its
// shapes) with one repeated location kept to the end. The same locations in
// a random order give the ordinary case to compare with.

#include "../../tests/support/killer_sequence.h"
#include "extract/entry_sort.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace quillery::bench {

enum class SortInputFormat { kindle, dkx };

// Locations (1-based, as devices write them) for entries 1..n in file order.
// A Kindle run sorts by book first: with one book every key is equal, so
// that sort only rearranges the entries; the adversary's keys are placed
// where that rearrangement takes them from. `random`: the same locations
// shuffled by `seed`.
inline std::vector<std::int32_t> SortAdversaryLocations(std::int32_t n, SortInputFormat format, bool random,
                                                        std::uint64_t seed,
                                                        test::KillerShape shape = test::KillerShape::lopsided)
{
    std::vector<std::int32_t> keys = test::MedianOfThreeKiller(n, shape);
    for (std::int32_t& key : keys) {
        ++key;
    }
    if (random) {
        std::mt19937_64 engine(seed);
        std::shuffle(keys.begin(), keys.end(), engine);
        return keys;
    }
    if (format == SortInputFormat::dkx) {
        return keys;
    }
    // Where the book sort takes each entry: slot s ends up holding the entry
    // whose file position is recorded in its location.
    std::vector<ClipEntry> table(static_cast<std::size_t>(n) + 1);
    for (std::int32_t s = 1; s <= n; ++s) {
        table[s] = {1, s - 1, {}, {}};
    }
    SortByBook(table, 1, n);
    std::vector<std::int32_t> locations(static_cast<std::size_t>(n));
    for (std::int32_t s = 1; s <= n; ++s) {
        locations[static_cast<std::size_t>(table[s].location)] = keys[static_cast<std::size_t>(s) - 1];
    }
    return locations;
}

inline void WriteSortInput(std::ostream& out, const std::vector<std::int32_t>& locations, SortInputFormat format)
{
    std::string buffer;
    if (format == SortInputFormat::dkx) {
        buffer = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ReadingData>\n  <BookName>Sort adversary</BookName>\n"
                 "  <ReadingDataItems>\n";
    }
    for (std::size_t i = 0; i < locations.size(); ++i) {
        const std::string location = std::to_string(locations[i]);
        const std::string text = "Passage " + std::to_string(i + 1) + " of the adversary, at " + location + ".";
        if (format == SortInputFormat::kindle) {
            buffer += "Sort adversary (A. Writer)\r\n- Highlight Loc. " + location +
                      " | Added on Monday, March 3, 2025, 08:15 PM\r\n\r\n" + text + "\r\n==========\r\n";
        } else {
            buffer += "    <ReadingDataItem>\n      <Type>DIGEST</Type>\n      <BeginPos><AtomIndex>" + location +
                      "</AtomIndex></BeginPos>\n      <BookContent>" + text +
                      "</BookContent>\n"
                      "    </ReadingDataItem>\n";
        }
        if (buffer.size() >= (1u << 20)) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    }
    if (format == SortInputFormat::dkx) {
        buffer += "  </ReadingDataItems>\n</ReadingData>\n";
    }
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
}

} // namespace quillery::bench
