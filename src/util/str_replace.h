#pragma once

#include <string>
#include <string_view>

namespace quillery {

// `source` with every occurrence of `find` replaced, letters matched in
// either case. After each replacement the search goes on as if restarted at
// the first character, so text that a replacement forms is searched again.
std::u16string StrReplace(std::u16string_view source, std::u16string_view find, std::u16string_view replacement);

} // namespace quillery
