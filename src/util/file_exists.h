#pragma once

#include <string_view>

namespace quillery {

// True when the path names an existing file or folder; false on any failure.
bool FileExists(std::u16string_view path);

} // namespace quillery
