#include "extract/open_input.h"

#include "extract/run_error.h"
#include "util/path_text.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillery {

namespace {

[[noreturn]] void Refuse(const std::u16string& path, const std::string& reason)
{
    throw RunError("cannot open", path, reason);
}

[[noreturn]] void Refuse(const std::u16string& path, int error)
{
    Refuse(path, std::generic_category().message(error != 0 ? error : EIO));
}

} // namespace

#ifdef _WIN32
InputFile OpenInput(const std::u16string& path)
{
    const std::filesystem::path fsPath = ToFsPath(path);
    std::error_code ignored;
    if (std::filesystem::is_directory(fsPath, ignored)) {
        Refuse(path, EISDIR);
    }
    errno = 0;
    std::FILE* file = _wfopen(fsPath.c_str(), L"rb");
    if (file == nullptr) {
        Refuse(path, errno);
    }
    // A device ("NUL", "CON") or a pipe would read as an empty file or block.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(file);
        Refuse(path, "not a regular file");
    }
    return InputFile(file);
}
#else
InputFile OpenInput(const std::u16string& path)
{
    const int fd = ::open(ToFsPath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        Refuse(path, errno);
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        Refuse(path, error);
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        if (S_ISDIR(status.st_mode)) {
            Refuse(path, EISDIR);
        }
        Refuse(path, "not a regular file");
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        Refuse(path, error);
    }
    return InputFile(file);
}
#endif

} // namespace quillery
