#pragma once

#include "util/text_encoding.h"

#include <string>
#include <string_view>

namespace quillery {

// The text of an XML value read in `encoding`: the five predefined
// entities (&amp; &lt; &gt; &quot; &apos;) and character references (&#233;,
// &#xE9;) decoded, and CDATA sections unwrapped (their content taken as it
// stands). A decoded character enters just as it would have arrived had it
// stood in the file: itself in UTF-8, its UTF-8 bytes read in Windows-1252
// otherwise (so "é" becomes U+00C3 U+00A9). A malformed reference (unknown name, no ";",
// empty digits, a code point that is 0, a surrogate or above U+10FFFF) and an
// unterminated CDATA section stay as they stand.
std::u16string DecodeXmlText(std::u16string_view raw, TextEncoding encoding);

} // namespace quillery
