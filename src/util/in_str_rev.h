#pragma once

#include <cstdint>
#include <string_view>

namespace quillery {

// 1-based start of the rightmost occurrence of `cerca` in `stringa`, 0 when
// there is none; an empty `cerca` matches at length + 1.
std::int32_t InStrRev(std::u16string_view stringa, std::u16string_view cerca);

} // namespace quillery
