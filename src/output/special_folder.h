#pragma once

#include <cstdint>
#include <string>

namespace quillery {

inline constexpr std::int32_t kCsidlDesktopDirectory = 0x0010;

// The path of a special folder followed by the path separator, or "" when
// it can't be found or does not exist. Only the desktop folder is known here.
std::u16string Get_Special_Folder(std::int32_t csidl);

// Where "My Clippings" goes by default: the desktop, else the home folder,
// else the current folder. Throws RunError when there is none of them.
std::u16string DefaultBaseFolder();

} // namespace quillery
