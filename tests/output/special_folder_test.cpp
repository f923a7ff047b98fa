#include "output/special_folder.h"

#include "extract/run_error.h"
#include "support/temp_dir.h"
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#ifdef _WIN32
#include <shlobj.h>
#endif

namespace quillery {
namespace {

#ifndef _WIN32
namespace fs = std::filesystem;
using test::TempDir;

// Sets an environment variable for the test's lifetime (unset when `value`
// is empty) and puts back what was there.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            saved_ = old;
        }
        Set(value.empty() ? std::nullopt : std::optional<std::string>(value));
    }
    ~ScopedEnv() { Set(saved_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    void Set(const std::optional<std::string>& value)
    {
        if (value) {
            test::SetEnv(name_, *value);
        } else {
            test::UnsetEnv(name_);
        }
    }

    const char* name_;
    std::optional<std::string> saved_;
};

std::u16string U16(const std::string& text)
{
    return {text.begin(), text.end()};
}

TEST(SpecialFolder, FindsTheDesktopThroughUserDirs)
{
    const struct {
        const char* name;
        const char* userDirs; // nullptr: no user-dirs.dirs
        bool ownConfigHome;   // XDG_CONFIG_HOME set, else $HOME/.config
        const char* desktop;  // below the temp folder, "" for none
    } cases[] = {
        {"no user-dirs, $HOME/Desktop", nullptr, false, "home/Desktop/"},
        {"$HOME expanded", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", false, "home/Bureau/"},
        {"XDG_CONFIG_HOME honoured", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", true, "home/Bureau/"},
        {"absolute path", "XDG_DESKTOP_DIR=\"@/elsewhere/Desk top\"\n", true, "elsewhere/Desk top/"},
        {"desktop is home", "XDG_DESKTOP_DIR=\"$HOME/\"\n", false, "home/"},
        {"other keys and comments ignored",
         "# XDG_DESKTOP_DIR=\"$HOME/Bureau\"\nXDG_DOWNLOAD_DIR=\"$HOME/Bureau\"\n  XDG_DESKTOP_DIR=\"$HOME/Desk\"\r\n",
         false, "home/Desk/"},
        {"the last line wins", "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n", false,
         "home/Desk/"},
        {"a relative path is not valid", "XDG_DESKTOP_DIR=\"Bureau\"\n", false, "home/Desktop/"},
        {"a named folder that is missing", "XDG_DESKTOP_DIR=\"$HOME/Missing\"\n", false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path home = dir.path() / "home";
        for (const char* sub : {"Desktop", "Bureau", "Desk", ".config"}) {
            fs::create_directories(home / sub);
        }
        fs::create_directories(dir.path() / "elsewhere" / "Desk top");
        fs::create_directories(dir.path() / "config");
        const fs::path configHome = c.ownConfigHome ? dir.path() / "config" : home / ".config";
        if (c.userDirs != nullptr) {
            std::string text = c.userDirs;
            if (const auto at = text.find('@'); at != std::string::npos) {
                text.replace(at, 1, dir.path().string());
            }
            dir.Write(fs::relative(configHome / "user-dirs.dirs", dir.path()).string(), text);
        }
        ScopedEnv setHome("HOME", home.string());
        ScopedEnv setConfig("XDG_CONFIG_HOME", c.ownConfigHome ? configHome.string() : "");
        const std::string expected = *c.desktop == '\0' ? "" : (dir.path() / c.desktop).string();
        EXPECT_EQ(Get_Special_Folder(kCsidlDesktopDirectory), U16(expected));
    }
}

TEST(SpecialFolder, OnlyTheDesktopIsKnown)
{
    TempDir dir;
    fs::create_directories(dir.path() / "Desktop");
    ScopedEnv setHome("HOME", dir.path().string());
    ScopedEnv setConfig("XDG_CONFIG_HOME", "");
    EXPECT_EQ(Get_Special_Folder(0x0005), u"");
    EXPECT_EQ(Get_Special_Folder(kCsidlDesktopDirectory), U16((dir.path() / "Desktop").string() + "/"));
}

TEST(SpecialFolder, DefaultBaseFolderFallsBackToHomeThenTheCurrentFolder)
{
    TempDir dir;
    ScopedEnv setConfig("XDG_CONFIG_HOME", "");
    {
        ScopedEnv setHome("HOME", dir.path().string());
        EXPECT_EQ(DefaultBaseFolder(), dir.u16()); // no Desktop folder
        fs::create_directory(dir.path() / "Desktop");
        EXPECT_EQ(DefaultBaseFolder(), dir.u16() + u"/Desktop/");
    }
    ScopedEnv noHome("HOME", "");
    EXPECT_EQ(DefaultBaseFolder(), U16(fs::current_path().string()));
}

TEST(SpecialFolder, WithNoHomeAndTheCurrentFolderGone_thereIsNoFolderToWriteInto)
{
    const fs::path kept = fs::current_path();
    ScopedEnv setConfig("XDG_CONFIG_HOME", "");
    ScopedEnv noHome("HOME", "");
    {
        TempDir dir;
        const fs::path gone = dir.path() / "gone";
        fs::create_directory(gone);
        fs::current_path(gone);
        fs::remove(gone);
        EXPECT_THROW(
            {
                try {
                    DefaultBaseFolder();
                } catch (const RunError& error) {
                    EXPECT_TRUE(std::string(error.what()).starts_with("there is no folder to write into"))
                        << error.what();
                    throw;
                }
            },
            RunError);
        fs::current_path(kept);
    }
}
#else

// Windows keeps the desktop where the shell says; HOME and XDG_* play no part.
std::u16string ShellDesktop()
{
    wchar_t path[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) {
        return {};
    }
    return std::filesystem::path(path).u16string();
}

// The project's folder number is the shell's, so one can stand for the other.
static_assert(kCsidlDesktopDirectory == CSIDL_DESKTOPDIRECTORY);

TEST(SpecialFolder, TheDesktopIsTheShellsWithItsSeparator_andNoOtherFolderIsKnown)
{
    const std::u16string desktop = ShellDesktop();
    ASSERT_FALSE(desktop.empty());
    const struct {
        const char* name;
        std::int32_t csidl;
        std::u16string expected;
    } cases[] = {
        {"desktop", kCsidlDesktopDirectory, desktop + u"\\"},
        {"documents", CSIDL_PERSONAL, u""},
        {"the desktop's virtual folder", CSIDL_DESKTOP, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Get_Special_Folder(c.csidl), c.expected);
    }
}

TEST(SpecialFolder, DefaultBaseFolderIsTheDesktop_whateverHomeSays)
{
    const std::u16string desktop = ShellDesktop() + u"\\";
    test::SetEnv("HOME", "C:\\nowhere");
    EXPECT_EQ(DefaultBaseFolder(), desktop);
    test::UnsetEnv("HOME");
    EXPECT_EQ(DefaultBaseFolder(), desktop);
}

#endif

} // namespace
} // namespace quillery
