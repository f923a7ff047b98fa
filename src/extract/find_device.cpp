#include "extract/find_device.h"

#include "extract/run_error.h"
#include "util/file_exists.h"
#include "util/path_text.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace quillery {

namespace {

namespace fs = std::filesystem;

constexpr std::u16string_view kClippingsName = u"My Clippings.txt";
constexpr std::u16string_view kDocumentsFolder = u"documents";
constexpr std::u16string_view kMtpPrefix = u"mtp:host=";

// Kernel file systems hold no e-reader; a network one may hang a look into it.
constexpr std::array<std::string_view, 26> kSkippedTypes = {
    "proc",     "sysfs",      "devpts",    "devtmpfs",  "cgroup",   "cgroup2", "securityfs", "debugfs",     "tracefs",
    "pstore",   "bpf",        "mqueue",    "hugetlbfs", "configfs", "fusectl", "autofs",     "binfmt_misc", "nsfs",
    "efivarfs", "rpc_pipefs", "selinuxfs", "nfs",       "nfs4",     "cifs",    "smb3",       "fuse.sshfs",
};

bool IsOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// A field of the mount table, where a blank, a tab, a line break or a
// backslash in a name is written as a backslash and three octal digits.
std::string DecodeField(std::string_view field)
{
    std::string decoded;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) && IsOctalDigit(field[i + 2]) &&
            IsOctalDigit(field[i + 3])) {
            decoded +=
                static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

bool IsRegularFile(const fs::path& path)
{
    std::error_code error;
    return fs::is_regular_file(fs::status(path, error));
}

std::string ReadWholeFile(const std::u16string& path)
{
    std::ifstream file(ToFsPath(path), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The storages ("Internal Storage", "SD card") of each MTP device that GVFS mounts.
std::vector<fs::path> MtpStorages(const std::u16string& runtimeDir)
{
    std::vector<fs::path> storages;
    if (runtimeDir.empty()) {
        return storages;
    }
    std::error_code error;
    for (const auto& device : fs::directory_iterator(ToFsPath(runtimeDir) / "gvfs", error)) {
        if (!FromFsPath(device.path().filename()).starts_with(kMtpPrefix)) {
            continue;
        }
        std::error_code inner;
        for (const auto& storage : fs::directory_iterator(device.path(), inner)) {
            storages.push_back(storage.path());
        }
    }
    return storages;
}

#ifdef _WIN32
// An e-reader on USB is a removable drive; fixed and network drives are not
// looked into, as a network one may not answer.
std::vector<std::u16string> RemovableDrives()
{
    std::vector<std::u16string> drives;
    const DWORD present = GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        const wchar_t root[] = {static_cast<wchar_t>(L'A' + letter), L':', L'\\', L'\0'};
        if ((present & (1u << letter)) != 0 && GetDriveTypeW(root) == DRIVE_REMOVABLE) {
            drives.push_back(FromFsPath(root));
        }
    }
    return drives;
}
#endif

} // namespace

DeviceSearchPlaces SessionSearchPlaces()
{
    DeviceSearchPlaces places;
#ifdef _WIN32
    places.mountTable.clear();
    places.drives = RemovableDrives();
#else
    if (const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR")) {
        places.runtimeDir = FromUtf8(runtimeDir);
    }
#endif
    return places;
}

std::vector<std::string> MountPoints(std::string_view mountTable)
{
    std::vector<std::string> points;
    std::istringstream lines{std::string(mountTable)};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string source;
        std::string point;
        std::string type;
        if (!(fields >> source >> point >> type)) {
            continue;
        }
        if (std::find(kSkippedTypes.begin(), kSkippedTypes.end(), type) == kSkippedTypes.end()) {
            points.push_back(DecodeField(point));
        }
    }
    return points;
}

std::u16string ClippingsInFolder(std::u16string_view folder)
{
    const fs::path base = ToFsPath(folder);
    for (const fs::path& candidate :
         {base / ToFsPath(kDocumentsFolder) / ToFsPath(kClippingsName), base / ToFsPath(kClippingsName)}) {
        if (IsRegularFile(candidate)) {
            return FromFsPath(candidate);
        }
    }
    return {};
}

std::vector<std::u16string> FindDeviceClippings(const DeviceSearchPlaces& places)
{
    std::vector<std::u16string> roots = places.drives;
    if (!places.mountTable.empty()) {
        for (const std::string& point : MountPoints(ReadWholeFile(places.mountTable))) {
            roots.push_back(FromUtf8(point));
        }
    }
    std::vector<std::u16string> found;
    for (const std::u16string& root : roots) {
        if (std::u16string file = ClippingsInFolder(root); !file.empty()) {
            found.push_back(std::move(file));
        }
    }
    for (const fs::path& storage : MtpStorages(places.runtimeDir)) {
        if (std::u16string file = ClippingsInFolder(FromFsPath(storage)); !file.empty()) {
            found.push_back(std::move(file));
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::string SearchedPlacesText(const DeviceSearchPlaces& places)
{
    std::vector<std::string> where;
    if (!places.mountTable.empty()) {
        where.push_back("the mount points of " + ToUtf8(places.mountTable));
    }
    if (!places.drives.empty()) {
        std::string drives = "the removable drives";
        for (std::size_t i = 0; i < places.drives.size(); ++i) {
            drives += (i == 0 ? " " : ", ") + ToUtf8(places.drives[i]);
        }
        where.push_back(std::move(drives));
    }
    if (!places.runtimeDir.empty()) {
        where.push_back(ToUtf8(places.runtimeDir) + "/gvfs/mtp:host=*/*");
    }
    std::string text = "looked for \"documents/My Clippings.txt\" and \"My Clippings.txt\"";
    if (where.empty()) {
        return text + ", but no removable drive is connected";
    }
    for (std::size_t i = 0; i < where.size(); ++i) {
        text += (i == 0 ? " in " : " and in ") + where[i];
    }
    return text;
}

std::u16string ResolveInputPath(std::u16string_view path)
{
    if (!FolderExists(path)) {
        return std::u16string(path);
    }
    std::u16string file = ClippingsInFolder(path);
    if (file.empty()) {
        throw RunError("no clippings file in the folder", std::u16string(path),
                       "looked for \"documents/My Clippings.txt\" and \"My Clippings.txt\"");
    }
    return file;
}

} // namespace quillery
