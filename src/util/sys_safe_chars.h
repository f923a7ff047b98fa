#pragma once

#include "util/text_encoding.h"

#include <string>
#include <string_view>

namespace quillery {

// A book title made fit for a file name: \ / : * ? " < > |, NUL and every
// character above "~" become "_"; spaces at both ends go; the result is cut
// to at most kMaxSafeNameLength characters.
inline constexpr std::size_t kMaxSafeNameLength = 200;
std::u16string SysSafeChars(std::u16string_view d);

// The name in the run's encoding. Windows-1252 gives the name above. UTF-8
// keeps letters in any script: \ / : * ? " < > |, control characters and
// halves of a surrogate pair become "_", spaces at both ends go, the name is
// cut between characters to at most kMaxSafeNameLength characters and
// kMaxSafeNameBytes bytes of UTF-8, and a trailing dot or blank becomes "_".
// The byte limit keeps the name, with " (n).txt", within the 255 bytes that
// a Linux file system allows.
inline constexpr std::size_t kMaxSafeNameBytes = 240;
std::u16string SysSafeChars(std::u16string_view d, TextEncoding encoding);

} // namespace quillery
