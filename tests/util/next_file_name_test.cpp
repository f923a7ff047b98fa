#include "util/file_exists.h"
#include "util/next_file_name.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillery {
namespace {

using test::TempDir;

TEST(FileExists, FilesAndFoldersExistNothingElseDoes)
{
    TempDir dir;
    dir.Write("hidden", "");
    dir.Write(".dot", "x");
    const auto readOnly = dir.Write("ro.txt", "x");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
    std::filesystem::create_directory(dir.path() / "sub");
#ifndef _WIN32
    // Windows makes links only with a privilege.
    std::filesystem::create_symlink(dir.path() / "nowhere", dir.path() / "dangling");
#endif

    EXPECT_TRUE(FileExists(dir.u16()));
    EXPECT_TRUE(FileExists(dir.u16() + u"/sub"));
    EXPECT_TRUE(FileExists(dir.u16() + u"/.dot"));
    EXPECT_TRUE(FileExists(dir.u16() + u"/ro.txt"));
#ifndef _WIN32
    EXPECT_TRUE(FileExists(dir.u16() + u"/dangling")); // taken as a name, though it leads nowhere
#endif
    EXPECT_FALSE(FileExists(u""));
    EXPECT_FALSE(FileExists(dir.u16() + u"/missing"));
    EXPECT_FALSE(FileExists(dir.u16() + u"/missing/inner"));
    EXPECT_FALSE(FileExists(dir.u16() + u"/ro.txt/inner"));
}

TEST(NextFileName, AddsTheFirstFreeNumberBeforeTheExtension)
{
    TempDir dir;
    const std::u16string d = dir.u16() + u"/";
    for (const char* name : {"notes.txt", "a.tar.gz", ".profile", "name.", "My Clippings", "My Clippings (2)"}) {
        dir.Write(name, "");
    }
    std::filesystem::create_directories(dir.path() / "john.doe" / "My Clippings");

    const struct {
        std::u16string what;
        std::u16string expected;
    } cases[] = {
        {d + u"free?.txt", d + u"free?.txt"},
        {d + u"notes.txt", d + u"notes (2).txt"},
        {d + u"a.tar.gz", d + u"a.tar (2).gz"},
        {d + u".profile", d + u" (2).profile"},
        {d + u"name.", d + u"name (2)."},
        {d + u"My Clippings", d + u"My Clippings (3)"},
        {d + u"john.doe/My Clippings", d + u"john.doe/My Clippings (2)"},
#ifdef _WIN32
        {d + u"john.doe\\My Clippings", d + u"john.doe\\My Clippings (2)"},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what.begin(), c.what.end()));
        EXPECT_EQ(NextFileName(c.what), c.expected);
    }
}

} // namespace
} // namespace quillery
