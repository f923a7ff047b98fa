#pragma once

#include "util/text_encoding.h"

#include <cstddef>
#include <string>

namespace quillery {

// RepairAnsi applied in place to the bytes of `text` from `from` on; the
// repair never lengthens a text, so the formatter can repair a book's text
// without copying it.
void RepairAnsiInPlace(std::string& text, TextEncoding encoding, std::size_t from = 0);

} // namespace quillery
