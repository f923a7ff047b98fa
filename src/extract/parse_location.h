#pragma once

#include "util/text_encoding.h"

#include <cstdint>
#include <string_view>

namespace quillery {

// Turns a location text into a number: blanks, tabs and line feeds are
// skipped, the longest leading decimal number (sign, digits, fraction,
// exponent "E") is taken and rounded half to even; no number gives 0.
// Throws RunError when the value lies outside the signed 32-bit range.
std::int32_t ParseLocation(std::u16string_view text);
// The same for bytes read in `encoding`.
std::int32_t ParseLocation(std::string_view bytes, TextEncoding encoding);

} // namespace quillery
