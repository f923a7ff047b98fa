#pragma once

#include "util/text_encoding.h"

#include <string>

namespace quillery {

// RepairAnsi applied to `text` in place; the repair never lengthens a text,
// so the formatter can repair a book's text without copying it.
void RepairAnsiInPlace(std::u16string& text, TextEncoding encoding);

} // namespace quillery
