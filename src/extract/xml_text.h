#pragma once

#include <string>
#include <string_view>

namespace quillery {

// The bytes of an XML value: the five predefined entities (&amp; &lt; &gt;
// &quot; &apos;) and character references (&#233;, &#xE9;) decoded, and
// CDATA sections unwrapped (their content taken as it stands). A decoded
// character enters as its UTF-8 bytes, just as it would have arrived had it
// stood in the file, so "&#233;" becomes C3 A9: read as UTF-8 that is "é",
// read as Windows-1252 it is "Ã©", as the same bytes in the file would be. A malformed reference
// (unknown name, no ";", empty digits, a code point that is 0, a surrogate or
// above U+10FFFF) and an unterminated CDATA section stay as they stand.
std::string DecodeXmlText(std::string_view raw);
void AppendDecodedXmlText(std::string& out, std::string_view raw);

} // namespace quillery
