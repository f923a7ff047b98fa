#include "util/file_exists.h"

#include "util/path_text.h"

#include <filesystem>

namespace quillery {

bool FileExists(std::u16string_view path)
{
    if (path.empty()) {
        return false;
    }
    // The entry itself counts, so a dangling link is taken as existing and
    // never handed out as a free name.
    std::error_code error;
    const auto status = std::filesystem::symlink_status(ToFsPath(path), error);
    return !error && std::filesystem::exists(status);
}

bool FolderExists(std::u16string_view path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(ToFsPath(path), error);
}

} // namespace quillery
