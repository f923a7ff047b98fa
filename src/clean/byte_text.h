#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace quillery {

// The text without the spaces, tabs, CRs and LFs at its ends.
std::string_view StripBlankEnds(std::string_view text);

// Tells whether one byte string occurs inside another, in time linear in both
// lengths whatever the bytes: texts come from files anyone can write, and a
// plain search slows to length times length on texts like "aaa...ab".
// Keeps its table between calls, so one searcher serves many pairs.
class ByteSearch {
  public:
    bool Contains(std::string_view haystack, std::string_view needle);

  private:
    std::vector<std::size_t> border_; // border_[i]: longest proper border of needle[0..i]
};

} // namespace quillery
