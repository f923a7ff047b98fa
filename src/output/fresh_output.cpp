#include "output/fresh_output.h"

#include "extract/run_error.h"
#include "util/next_file_name.h"
#include "util/path_text.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace quillery {

namespace {

// A name that NextFileName gave twice and that still can't be created fresh
// (something there that the existence test does not see) would be retried
// for ever; it fails instead.
void CheckProgress(const std::u16string& candidate, const std::u16string& previous, const std::u16string& folder)
{
    if (candidate == previous) {
        throw OutputFailure(folder.empty() ? "create the folder" : "create", candidate, EEXIST, folder);
    }
}

std::FILE* OpenExclusive(const std::u16string& path)
{
#ifdef _WIN32
    // The C runtime ignores the "x" of "wbx" and truncates what is there:
    // only _O_EXCL refuses an existing file.
    const int fd = _wopen(ToFsPath(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "wb");
    if (file == nullptr) {
        const int error = errno;
        _close(fd);
        errno = error;
    }
    return file;
#else
    return std::fopen(ToFsPath(path).c_str(), "wbx");
#endif
}

} // namespace

RunError OutputFailure(std::string_view action, std::u16string_view path, int error, std::u16string_view folder)
{
    RunError failure("cannot " + std::string(action), std::u16string(path), std::generic_category().message(error));
    return failure.KeepingOutputIn(std::u16string(folder));
}

std::u16string CreateFreshFolder(const std::u16string& wanted)
{
    std::u16string previous;
    for (;;) {
        std::u16string candidate = NextFileName(wanted);
        CheckProgress(candidate, previous, {});
        std::error_code error;
        if (std::filesystem::create_directory(ToFsPath(candidate), error)) {
            return candidate;
        }
        // create_directory reports an existing folder as "not created" and an
        // existing file as EEXIST: either way the name was taken meanwhile.
        if (error && error != std::errc::file_exists) {
            throw OutputFailure("create the folder", candidate, error.value(), {});
        }
        previous = std::move(candidate);
    }
}

FreshFile::FreshFile(const std::u16string& wanted, std::u16string folder) : folder_(std::move(folder))
{
    std::u16string previous;
    for (;;) {
        path_ = NextFileName(wanted);
        CheckProgress(path_, previous, folder_);
        file_ = OpenExclusive(path_);
        if (file_ != nullptr) {
            break;
        }
        const int error = errno;
        if (error != EEXIST) {
            throw OutputFailure("create", path_, error, folder_);
        }
        previous = path_;
    }
    std::setvbuf(file_, nullptr, _IONBF, 0);
}

FreshFile::~FreshFile()
{
    if (file_ != nullptr) {
        std::fclose(file_);
    }
}

void FreshFile::Write(std::string_view bytes)
{
    if (bytes.empty()) {
        return;
    }
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        Fail(errno != 0 ? errno : EIO);
    }
}

void FreshFile::Close()
{
    if (file_ == nullptr) {
        return;
    }
    std::FILE* const file = file_;
    file_ = nullptr;
    errno = 0;
    if (std::fclose(file) != 0) {
        Fail(errno != 0 ? errno : EIO);
    }
}

void FreshFile::Fail(int error) const
{
    throw OutputFailure("write", path_, error, folder_);
}

} // namespace quillery
