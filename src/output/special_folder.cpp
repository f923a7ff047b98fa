#include "output/special_folder.h"

#include "extract/run_error.h"
#include "util/file_exists.h"
#include "util/path_text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <shlobj.h>
#endif

namespace quillery {

namespace {

std::u16string WithSeparator(std::u16string folder)
{
    if (folder.empty() || folder.back() != kPathSeparator) {
        folder += kPathSeparator;
    }
    return folder;
}

#ifndef _WIN32

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The value of one `XDG_DESKTOP_DIR="..."` line: the quoted text with its
// backslash escapes undone and a leading $HOME expanded. Only $HOME-relative
// and absolute paths are valid there.
std::optional<std::string> DesktopFromLine(std::string_view line, const std::string& home)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    line.remove_prefix(start);
    constexpr std::string_view key = "XDG_DESKTOP_DIR=";
    if (!line.starts_with(key)) {
        return std::nullopt;
    }
    line.remove_prefix(key.size());
    const std::size_t end = line.find_last_not_of(" \t\r");
    line = end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') {
        line = line.substr(1, line.size() - 2);
    }
    std::string value;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            ++i;
        }
        value += line[i];
    }
    if (value == "$HOME" || value.starts_with("$HOME/")) {
        return home + value.substr(5);
    }
    if (value.starts_with("/")) {
        return value;
    }
    return std::nullopt;
}

// The desktop that user-dirs.dirs names (its last valid line), if any.
std::optional<std::string> XdgDesktop(const std::string& home)
{
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty()) {
        config = home + "/.config";
    }
    if (config.empty()) {
        return std::nullopt;
    }
    std::ifstream in(config + "/user-dirs.dirs");
    std::optional<std::string> desktop;
    std::string line;
    while (std::getline(in, line)) {
        if (auto found = DesktopFromLine(line, home)) {
            desktop = std::move(found);
        }
    }
    return desktop;
}

std::u16string DesktopFolder()
{
    const std::string home = Environment("HOME");
    std::optional<std::string> desktop = XdgDesktop(home);
    if (!desktop && !home.empty()) {
        desktop = home + "/Desktop";
    }
    return desktop ? FromUtf8(*desktop) : std::u16string();
}

#else

std::u16string DesktopFolder()
{
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, kCsidlDesktopDirectory, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
        return {};
    }
    return FromFsPath(std::filesystem::path(path));
}

#endif

} // namespace

std::u16string Get_Special_Folder(std::int32_t csidl)
{
    if (csidl != kCsidlDesktopDirectory) {
        return {};
    }
    const std::u16string desktop = DesktopFolder();
    return FolderExists(desktop) ? WithSeparator(desktop) : std::u16string();
}

std::u16string DefaultBaseFolder()
{
    std::u16string desktop = Get_Special_Folder(kCsidlDesktopDirectory);
    if (!desktop.empty()) {
        return desktop;
    }
#ifdef _WIN32
    return u"c:";
#else
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return FromUtf8(home);
    }
    std::error_code error;
    std::u16string current = FromFsPath(std::filesystem::current_path(error));
    if (error || current.empty()) {
        throw RunError("there is no folder to write into: no desktop, no HOME, and the current folder is gone (" +
                       error.message() + ")");
    }
    return current;
#endif
}

} // namespace quillery
