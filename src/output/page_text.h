#pragma once

#include <string>
#include <string_view>

namespace quillery {

// Appends UTF-8 text for an HTML5 page, in content or in a quoted attribute:
// & < > " ' as references, and every character a page may not hold (control
// characters other than tab and line breaks, U+FDD0..U+FDEF, U+xFFFE and
// U+xFFFF, bytes of no valid sequence) as U+FFFD.
void AppendPageText(std::string& out, std::string_view text);

// As AppendPageText, with each line break (CR LF, LF or CR) as "<br>".
void AppendPageLines(std::string& out, std::string_view text);

} // namespace quillery
