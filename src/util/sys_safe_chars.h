#pragma once

#include <string>
#include <string_view>

namespace quillery {

// A book title made fit for a file name: \ / : * ? " < > |, NUL and every
// character above "~" become "_"; spaces at both ends go; the result is cut
// to at most kMaxSafeNameLength characters.
inline constexpr std::size_t kMaxSafeNameLength = 200;
std::u16string SysSafeChars(std::u16string_view d);

} // namespace quillery
