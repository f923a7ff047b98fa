#pragma once

#include <string>
#include <string_view>

namespace quillery {

// Appends `bytes` with "&", "<" and ">" written as "&amp;", "&lt;" and
// "&gt;", so a title or clipping shows in the page as it reads. Works on
// Windows-1252 or UTF-8 bytes: in both those three characters are the only
// ones whose encoding holds their bytes, so escaping after encoding equals
// escaping before.
void AppendHtmlEscaped(std::string& out, std::string_view bytes);

} // namespace quillery
