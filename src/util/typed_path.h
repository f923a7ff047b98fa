#pragma once

#include <string>
#include <string_view>

namespace quillery {

// The path a typed, pasted or dropped text means: blanks (spaces, tabs, line
// breaks) at both ends go; a "file://" URI (of no host or "localhost")
// gives its path, "%XX" escapes decoded as bytes where they stand; a
// leading "~/" (or a lone "~") stands for `home`. Any other text is the
// path as it is. "file:///home/me/My%20Clippings.txt" gives
// "/home/me/My Clippings.txt".
std::u16string MeantPath(std::u16string_view text, std::u16string_view home);

} // namespace quillery
