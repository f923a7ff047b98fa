#pragma once

#include <string_view>

namespace quillery {

// True when the path names an existing file or folder; false on any failure.
bool FileExists(std::u16string_view path);

// True when the path names an existing folder, or a link to one; false on any failure.
bool FolderExists(std::u16string_view path);

} // namespace quillery
