#include "cli/cli_app.h"
#include "extract/find_device.h"
#include "support/temp_dir.h"
#include "util/path_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
const std::string kSeparator = "\\";
#else
const std::string kSeparator = "/";
#endif

// `path` with the platform's separators.
std::string Native(const std::string& path)
{
    return fs::path(path).make_preferred().string();
}

// quillery-cli run in-process against a fake mount table that lists the
// given folders of a temporary root as mounted devices.
class CliDeviceTest : public testing::Test {
  protected:
    struct Result {
        int code = -1;
        std::string out;
        std::string err;
    };

    // Makes a device folder holding the sample as `relative` inside it.
    fs::path AddDevice(const std::string& mount, const std::string& relative)
    {
        const fs::path file = (root_.path() / mount / relative).make_preferred();
        fs::create_directories(file.parent_path());
        fs::copy_file(fs::path(SAMPLE_DIR) / "My Clippings.txt", file);
        mounts_ += "/dev/sdx1 " + (root_.path() / mount).make_preferred().string() + " vfat rw 0 0\n";
        return file;
    }

    Result Run(std::vector<std::string> args)
    {
        const DeviceSearchPlaces places{FromFsPath(root_.Write("mounts", mounts_)),
                                        FromFsPath(root_.path() / "runtime")};
        args.insert(args.begin(), {"quillery-cli", "-o", out_.path().string()});
        std::vector<const char*> argv;
        for (const std::string& arg : args) {
            argv.push_back(arg.c_str());
        }
        std::ostringstream out;
        std::ostringstream err;
        Result result;
        result.code = RunCli(static_cast<int>(argv.size()), argv.data(), CliStreams{out, err, false}, places);
        result.out = out.str();
        result.err = err.str();
        return result;
    }

    std::string Written() const { return (out_.path() / "My Clippings").string() + "\n"; }

    TempDir root_;
    TempDir out_;
    std::string mounts_ = "proc /proc proc rw 0 0\n";
};

TEST_F(CliDeviceTest, withoutFileTheOneConnectedReaderIsRead_andNamedOnStderr)
{
    const fs::path file = AddDevice("media/me/Kindle", "documents/My Clippings.txt");
    fs::create_directories(root_.path() / "media/me/Stick");
    const Result result = Run({});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, Written());
    // The summary line of the run follows.
    EXPECT_EQ(result.err.rfind("quillery-cli: reading " + file.string() + "\n", 0), 0u) << result.err;
    EXPECT_TRUE(fs::exists(out_.path() / "My Clippings" / "all.htm"));
}

TEST_F(CliDeviceTest, withoutFileNoneOrSeveralReadersIsAUsageError)
{
    const struct {
        const char* name;
        std::vector<std::string> devices;
        std::vector<std::string> errParts;
    } cases[] = {
        {"none",
         {},
         {"quillery-cli: no FILE given and no e-reader found (looked for \"documents/My Clippings.txt\"",
          kSeparator + "mounts and in ", kSeparator + "runtime/gvfs/mtp:host=*/*)\n"}},
        {"two",
         {"media/me/A", "media/me/B"},
         {"no FILE given and 2 e-readers found; name one:\n", Native("/media/me/A/"), Native("/media/me/B/")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mounts_ = "proc /proc proc rw 0 0\n";
        for (const std::string& device : c.devices) {
            AddDevice(device, "documents/My Clippings.txt");
        }
        const Result result = Run({});
        EXPECT_EQ(result.code, 2);
        EXPECT_EQ(result.out, "");
        for (const std::string& part : c.errParts) {
            EXPECT_NE(result.err.find(part), std::string::npos) << part << " in " << result.err;
        }
        EXPECT_TRUE(fs::is_empty(out_.path()));
    }
}

TEST_F(CliDeviceTest, aFolderGivenAsFileReadsItsClippings_orIsRefused)
{
    const fs::path file = AddDevice("media/me/Kindle", "documents/My Clippings.txt");
    const fs::path empty = root_.path() / "empty";
    fs::create_directories(empty);
    const struct {
        fs::path folder;
        int code;
        std::string out;
        std::string err;
    } cases[] = {
        {(root_.path() / "media/me/Kindle").make_preferred(), 0, Written(),
         "quillery-cli: reading " + file.string() + "\n"},
        {(root_.path() / "media/me/Kindle/documents").make_preferred(), 0, Written(),
         "quillery-cli: reading " + file.string() + "\n"},
        {empty, 1, "",
         "quillery-cli: no clippings file in the folder \"" + empty.string() +
             "\": looked for \"documents/My Clippings.txt\" and \"My Clippings.txt\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder.string());
        fs::remove_all(out_.path() / "My Clippings");
        const Result result = Run({c.folder.string()});
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
    }
}

} // namespace
} // namespace quillery::test
