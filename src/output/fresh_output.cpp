#include "output/fresh_output.h"

#include "extract/run_error.h"
#include "util/next_file_name.h"
#include "util/path_text.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#include <winternl.h>
#else
#include <unistd.h>
#endif

namespace quillery {

namespace {

// A name that NextFileName gave twice and that still can't be created fresh
// (something there that the existence test does not see) would be retried
// for ever; it fails instead.
void CheckProgress(const std::u16string& candidate, const std::u16string& previous)
{
    if (candidate == previous) {
        throw OutputFailure("create the folder", candidate, EEXIST, {});
    }
}

std::u16string CreateFolderAtFreeName(const std::u16string& wanted)
{
    std::u16string previous;
    for (;;) {
        std::u16string candidate = NextFileName(wanted);
        CheckProgress(candidate, previous);
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

#ifdef _WIN32
// The errno value that names a Windows error in a message.
int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_DISK_FULL:
        return ENOSPC;
    case ERROR_INVALID_NAME:
        return EINVAL;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

// The folder held open, or nullptr with errno set. A junction put in the
// folder's place is opened as itself and refused, not followed.
void* OpenFolder(const std::u16string& path)
{
    HANDLE folder =
        CreateFileW(ToFsPath(path).c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(GetLastError());
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(folder, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        CloseHandle(folder);
        errno = ELOOP;
        return nullptr;
    }
    return folder;
}

void CloseFolder(void* folder)
{
    CloseHandle(folder);
}
#else
// The folder's handle, or -1 with errno set. A link put in the folder's place
// is not followed.
int OpenFolder(const std::u16string& path)
{
    return open(ToFsPath(path).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

void CloseFolder(int folder)
{
    close(folder);
}
#endif

#ifdef _WIN32
// A new file `name` in the folder, opened for writing, or -1 with errno set.
// It is made relative to the held folder, so it goes there even when the
// folder's parent has been renamed and its old path names another folder.
int CreateIn(void* folder, const std::u16string& name)
{
    constexpr NTSTATUS kNameCollision = static_cast<NTSTATUS>(0xC0000035);
    std::wstring wideName = ToFsPath(name).native();
    if (wideName.size() > 0x7FFF) {
        errno = ENAMETOOLONG;
        return -1;
    }
    UNICODE_STRING objectName;
    objectName.Length = static_cast<USHORT>(wideName.size() * sizeof(wchar_t));
    objectName.MaximumLength = objectName.Length;
    objectName.Buffer = wideName.data();
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof(attributes);
    attributes.RootDirectory = folder;
    attributes.ObjectName = &objectName;
    attributes.Attributes = OBJ_CASE_INSENSITIVE;
    IO_STATUS_BLOCK status{};
    HANDLE file = nullptr;
    const NTSTATUS result = NtCreateFile(&file, FILE_GENERIC_WRITE, &attributes, &status, nullptr,
                                         FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, FILE_CREATE,
                                         FILE_NON_DIRECTORY_FILE | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
    if (result == kNameCollision) {
        errno = EEXIST;
        return -1;
    }
    if (result < 0) {
        errno = ErrnoOf(RtlNtStatusToDosError(result));
        return -1;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_WRONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(file);
        errno = EMFILE;
    }
    return descriptor;
}
#else
// A new file `name` in the folder, opened for writing, or -1 with errno set.
int CreateIn(int folder, const std::u16string& name)
{
    return openat(folder, ToFsPath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}
#endif

// Writes a start of `bytes`; its length, or -1 with errno set.
long WriteSome(int file, std::string_view bytes)
{
#ifdef _WIN32
    return _write(file, bytes.data(), static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30)));
#else
    return write(file, bytes.data(), bytes.size());
#endif
}

int CloseFile(int handle)
{
#ifdef _WIN32
    return _close(handle);
#else
    return close(handle);
#endif
}

// A file past the size limit would end the program without a word; the write
// fails with EFBIG instead and is reported like any other.
void IgnoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace

RunError OutputFailure(std::string_view action, std::u16string_view path, int error, std::u16string_view folder)
{
    RunError failure("cannot " + std::string(action), std::u16string(path), std::generic_category().message(error));
    return failure.KeepingOutputIn(std::u16string(folder));
}

FreshFolder::FreshFolder(const std::u16string& wanted) : path_(CreateFolderAtFreeName(wanted))
{
    handle_ = OpenFolder(path_);
    if (handle_ == kNoHandle) {
        throw OutputFailure("open the folder", path_, errno, {});
    }
    IgnoreFileSizeSignal();
}

FreshFolder::~FreshFolder()
{
    CloseFolder(handle_);
}

int FreshFolder::NewFile(const std::u16string& name, std::u16string& path)
{
    std::int64_t& next = nextNumber_.try_emplace(name, 1).first->second;
    for (;;) {
        const std::u16string numbered = NumberedFileName(name, next++);
        path = path_ + kPathSeparator + numbered;
        const int file = CreateIn(handle_, numbered);
        if (file >= 0) {
            return file;
        }
        if (errno != EEXIST) {
            throw OutputFailure("create", path, errno, path_);
        }
    }
}

FreshFile::FreshFile(FreshFolder& folder, const std::u16string& name) : folder_(folder.path())
{
    handle_ = folder.NewFile(name, path_);
}

FreshFile::~FreshFile()
{
    if (handle_ >= 0) {
        CloseFile(handle_);
    }
}

void FreshFile::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const long written = WriteSome(handle_, bytes);
        if (written < 0 && errno != EINTR) {
            Fail(errno);
        }
        if (written == 0) {
            Fail(EIO);
        }
        bytes.remove_prefix(written > 0 ? static_cast<std::size_t>(written) : 0);
    }
}

void FreshFile::Close()
{
    if (handle_ < 0) {
        return;
    }
    const int handle = handle_;
    handle_ = -1;
    if (CloseFile(handle) != 0 && errno != EINTR) {
        Fail(errno);
    }
}

void FreshFile::Fail(int error) const
{
    throw OutputFailure("write", path_, error, folder_);
}

} // namespace quillery
