#pragma once

#include <string_view>
#include <vector>

namespace quillery {

// The lines of an entry's text, parted by CR LF, LF or CR (a device writes
// any of them); a text ending in a line break ends with an empty line.
std::vector<std::string_view> SplitLines(std::string_view text);

} // namespace quillery
