#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillery {

// The platform's path separator, where a Windows path would have "\".
#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// Paths are held as 16-bit text and become file-system paths only here.
// A path's bytes survive the round trip unchanged: each byte of invalid UTF-8
// becomes the lone surrogate U+DC80..U+DCFF and turns back into that byte, so
// a Latin-1 file name still names its file and a message shows its bytes.
// Any other lone surrogate becomes U+FFFD.
std::filesystem::path ToFsPath(std::u16string_view path);
std::u16string FromFsPath(const std::filesystem::path& path);
std::u16string FromUtf8(std::string_view text);
std::string ToUtf8(std::u16string_view text);

} // namespace quillery
