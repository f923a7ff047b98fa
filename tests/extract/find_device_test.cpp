#include "extract/find_device.h"

#include "extract/run_error.h"
#include "support/temp_dir.h"
#include "util/path_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quillery {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// Makes `relative` (with its folders) inside `root` as a small file.
fs::path MakeFile(const fs::path& root, const std::string& relative)
{
    const fs::path file = root / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << "x";
    return file;
}

TEST(MountPoints, ListsTheSecondFieldDecodedAndSkipsKernelAndNetworkMounts)
{
    const std::string table = "/dev/sda2 / ext4 rw,relatime 0 0\n"
                              "proc /proc proc rw 0 0\n"
                              "sysfs /sys sysfs rw 0 0\n"
                              "/dev/sdb1 /media/me/Kindle vfat rw,uid=1000 0 0\n"
                              "/dev/sdc1 /run/media/me/My\\040Kindle vfat rw 0 0\n"
                              "server:/x /mnt/nfs nfs4 rw 0 0\n"
                              "//srv/s /mnt/smb cifs rw 0 0\n"
                              "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                              "/dev/sdd1 /media/back\\134slash vfat rw 0 0\n"
                              "short-line\n"
                              "\n";
    const std::vector<std::string> expected = {"/", "/media/me/Kindle", "/run/media/me/My Kindle", "/run/user/1000",
                                               "/media/back\\slash"};
    EXPECT_EQ(MountPoints(table), expected);
}

TEST(ClippingsInFolder, FindsTheFileInDocumentsFirst)
{
    const struct {
        std::vector<std::string> files;
        std::string expected; // relative to the folder; "" when none
    } cases[] = {
        {{"documents/My Clippings.txt"}, "documents/My Clippings.txt"},
        {{"My Clippings.txt"}, "My Clippings.txt"},
        {{"My Clippings.txt", "documents/My Clippings.txt"}, "documents/My Clippings.txt"},
        {{"documents/notes.txt"}, ""},
        {{"documents/My Clippings.txt/inner"}, ""}, // a folder of that name is no file
        {{}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TempDir dir;
        for (const std::string& file : c.files) {
            MakeFile(dir.path(), file);
        }
        const std::u16string expected =
            c.expected.empty() ? u"" : FromFsPath((dir.path() / c.expected).make_preferred());
        EXPECT_EQ(ClippingsInFolder(FromFsPath(dir.path())), expected);
    }
}

class FindDeviceClippingsTest : public ::testing::Test {
  protected:
    // A mount table naming the given mount points (inside root_) as vfat.
    DeviceSearchPlaces Places(const std::vector<std::string>& mounts, bool withRuntime = true)
    {
        std::string table = "proc /proc proc rw 0 0\n";
        for (const std::string& mount : mounts) {
            fs::create_directories(root_.path() / mount);
            table += "/dev/sdx1 " + (root_.path() / mount).make_preferred().string() + " vfat rw 0 0\n";
        }
        const fs::path tablePath = root_.Write("mounts", table);
        return {FromFsPath(tablePath), withRuntime ? FromFsPath(root_.path() / "runtime") : u""};
    }
    std::u16string At(const std::string& relative) const
    {
        return FromFsPath((root_.path() / relative).make_preferred());
    }

    TempDir root_;
};

TEST_F(FindDeviceClippingsTest, FindsEveryConnectedReaderOnce_sorted)
{
    MakeFile(root_.path(), "media/me/Kindle/documents/My Clippings.txt");
    MakeFile(root_.path(), "media/Old/My Clippings.txt");
    MakeFile(root_.path(), "media/me/Stick/photo.jpg");
    MakeFile(root_.path(), "runtime/gvfs/mtp:host=Amazon_Kindle_G000/Internal Storage/documents/My Clippings.txt");
    MakeFile(root_.path(), "runtime/gvfs/mtp:host=Phone/Internal Storage/DCIM/a.jpg");
    MakeFile(root_.path(), "runtime/gvfs/smb-share:server=x/documents/My Clippings.txt");
    const DeviceSearchPlaces places = Places({"media/me/Kindle", "media/Old", "media/me/Stick", "media/me/Kindle"});

    const std::vector<std::u16string> expected = {
        At("media/Old/My Clippings.txt"),
        At("media/me/Kindle/documents/My Clippings.txt"),
        At("runtime/gvfs/mtp:host=Amazon_Kindle_G000/Internal Storage/documents/My Clippings.txt"),
    };
    EXPECT_EQ(FindDeviceClippings(places), expected);
}

TEST_F(FindDeviceClippingsTest, SearchesEachDriveLikeAMountPoint)
{
    MakeFile(root_.path(), "E/documents/My Clippings.txt");
    MakeFile(root_.path(), "F/My Clippings.txt");
    MakeFile(root_.path(), "G/photo.jpg");
    MakeFile(root_.path(), "media/Kindle/documents/My Clippings.txt");
    const std::u16string e = At("E/documents/My Clippings.txt");
    const std::u16string f = At("F/My Clippings.txt");
    const std::u16string kindle = At("media/Kindle/documents/My Clippings.txt");
    const struct {
        const char* name;
        bool withTable; // false: an empty table path, which is not read
        std::vector<std::u16string> expected;
    } cases[] = {
        {"drives and the mount table", true, {e, f, kindle}},
        {"drives only", false, {e, f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceSearchPlaces places = Places({"media/Kindle"}, false);
        places.drives = {At("G"), At("F"), At("E"), At("F")};
        if (!c.withTable) {
            places.mountTable.clear();
        }
        EXPECT_EQ(FindDeviceClippings(places), c.expected);
    }
}

TEST_F(FindDeviceClippingsTest, FindsNothingWithoutAReader)
{
    const struct {
        const char* name;
        bool tableExists;
        bool withRuntime;
    } cases[] = {
        {"empty mounts, no runtime folder", true, false},
        {"empty mounts, empty runtime folder", true, true},
        {"mount table missing", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeviceSearchPlaces places = Places({"media/me/Stick"}, c.withRuntime);
        if (!c.tableExists) {
            places.mountTable = At("no-such-table");
        }
        EXPECT_TRUE(FindDeviceClippings(places).empty());
    }
}

TEST(SearchedPlacesText, NamesTheTableTheDrivesAndTheMtpFolders)
{
    const std::string looked = "looked for \"documents/My Clippings.txt\" and \"My Clippings.txt\"";
    const struct {
        DeviceSearchPlaces places;
        std::string expected;
    } cases[] = {
        {{u"/proc/self/mounts", u"/run/user/1000"},
         looked + " in the mount points of /proc/self/mounts and in /run/user/1000/gvfs/mtp:host=*/*"},
        {{u"/t", u""}, looked + " in the mount points of /t"},
        {{u"", u"", {u"E:\\"}}, looked + " in the removable drives E:\\"},
        {{u"", u"", {u"E:\\", u"F:\\", u"E:\\"}}, looked + " in the removable drives E:\\, F:\\, E:\\"},
        {{u"/t", u"/r", {u"E:\\"}},
         looked + " in the mount points of /t and in the removable drives E:\\ and in /r/gvfs/mtp:host=*/*"},
        {{u"", u""}, looked + ", but no removable drive is connected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(SearchedPlacesText(c.places), c.expected);
    }
}

TEST(ResolveInputPath, AFolderGivesItsClippingsFile_anyOtherPathStays)
{
    TempDir dir;
    MakeFile(dir.path(), "Kindle/documents/My Clippings.txt");
    MakeFile(dir.path(), "Docs/My Clippings.txt");
    MakeFile(dir.path(), "a.dkx");
    const auto at = [&dir](const std::string& relative) { return FromFsPath(dir.path() / relative); };
    const struct {
        std::u16string path;
        std::u16string expected;
    } cases[] = {
        {at("Kindle"), at("Kindle/documents/My Clippings.txt")},
        {at("Kindle/documents"), at("Kindle/documents/My Clippings.txt")},
        {at("Kindle/"), at("Kindle/documents/My Clippings.txt")},
        {at("Docs"), at("Docs/My Clippings.txt")},
        {at("a.dkx"), at("a.dkx")},
        {at("missing.txt"), at("missing.txt")},
        {u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.path));
        EXPECT_EQ(fs::path(ToFsPath(ResolveInputPath(c.path))).lexically_normal(),
                  fs::path(ToFsPath(c.expected)).lexically_normal());
    }
}

TEST(ResolveInputPath, AFolderWithoutClippingsIsRefusedNamingWhatWasLookedFor)
{
    TempDir dir;
    MakeFile(dir.path(), "Stick/photo.jpg");
    const std::u16string folder = FromFsPath(dir.path() / "Stick");
    try {
        ResolveInputPath(folder);
        FAIL() << "no error";
    } catch (const RunError& error) {
        EXPECT_EQ(std::string(error.what()), "no clippings file in the folder \"" + ToUtf8(folder) +
                                                 "\": looked for \"documents/My Clippings.txt\" and \"My "
                                                 "Clippings.txt\"");
    }
}

} // namespace
} // namespace quillery
