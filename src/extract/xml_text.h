#pragma once

#include <string>
#include <string_view>

namespace quillery {

// The text of an XML value as it reads in Windows-1252: the five predefined
// entities (&amp; &lt; &gt; &quot; &apos;) and character references (&#233;,
// &#xE9;) decoded, and CDATA sections unwrapped (their content taken as it
// stands). A decoded character enters as its UTF-8 bytes read in
// Windows-1252, just as it would have arrived had it stood in the file, so
// "é" becomes U+00C3 U+00A9. A malformed reference (unknown name, no ";",
// empty digits, a code point that is 0, a surrogate or above U+10FFFF) and an
// unterminated CDATA section stay as they stand.
std::u16string DecodeXmlText(std::u16string_view raw);

} // namespace quillery
