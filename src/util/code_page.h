#pragma once

#include <string>
#include <string_view>

namespace quillery {

// Windows-1252, the 8-bit code page through which every text file is read
// and written: one character per byte. The five bytes it leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) read as the characters of the same number,
// so every byte survives a read and a write unchanged.
char16_t Windows1252ToChar(unsigned char byte);
std::u16string DecodeWindows1252(std::string_view bytes);
void AppendDecodedWindows1252(std::u16string& out, std::string_view bytes);

// A character outside the code page is written as "?".
std::string EncodeWindows1252(std::u16string_view text);
void AppendEncodedWindows1252(std::string& out, std::u16string_view text);

} // namespace quillery
