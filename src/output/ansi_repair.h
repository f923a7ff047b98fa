#pragma once

#include "util/text_encoding.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quillery {

// The "fix ANSI" repair: turns the common UTF-8 sequences read as
// Windows-1252 back into the characters meant, on bytes in `encoding`. In
// text read as UTF-8 a "Â" goes only before U+00A0..U+00BF, so that text read
// once stays as it is.
std::string RepairAnsi(std::string_view text, TextEncoding encoding);

// Whether RepairAnsi would change `text`: most texts it leaves as they are,
// and need no copy.
bool NeedsAnsiRepair(std::string_view text, TextEncoding encoding);

// RepairAnsi applied in place to the bytes of `text` from `from` on; the
// repair never lengthens a text, so the formatter can repair a book's text
// without copying it.
void RepairAnsiInPlace(std::string& text, TextEncoding encoding, std::size_t from = 0);

} // namespace quillery
