#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <sys/wait.h>

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

// Single quotes for the shell, with any single quote inside closed and
// reopened around an escaped one.
std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

struct BinaryResult {
    int code = -1;
    std::string out;
    std::string err;
};

// Runs the real quillery-cli with `home` as HOME and its .config as
// XDG_CONFIG_HOME; stdout and stderr go to files, so stderr is no terminal.
BinaryResult RunBinary(const TempDir& home, const std::string& args)
{
    const fs::path out = home.path() / "stdout.txt";
    const fs::path err = home.path() / "stderr.txt";
    const std::string command = "HOME=" + Quoted(home.path().string()) +
                                " XDG_CONFIG_HOME=" + Quoted((home.path() / ".config").string()) + " " +
                                Quoted(QUILLERY_CLI_PATH) + " " + args + " >" + Quoted(out.string()) + " 2>" +
                                Quoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    BinaryResult result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadBytes(out);
    result.err = ReadBytes(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}

TEST(CliBinary, withoutOutputDir_writesOntoTheDesktopOfHome)
{
    TempDir home;
    fs::create_directory(home.path() / "Desktop");
    const BinaryResult result = RunBinary(home, Quoted(SAMPLE_DIR "/My Clippings.txt"));
    EXPECT_EQ(result.code, 0) << result.err;
    const fs::path folder = home.path() / "Desktop" / "My Clippings";
    EXPECT_EQ(result.out, folder.string() + "\n");
    // Not a terminal: no progress, only what was done.
    EXPECT_EQ(result.err, "quillery-cli: 10 entries of 4 books\n");
    EXPECT_TRUE(fs::is_regular_file(folder / "all.htm"));
    EXPECT_TRUE(fs::is_regular_file(folder / "A Field Guide to Quiet Rivers (Tomas Reyes).txt"));
}

TEST(CliBinary, exitCodes_ofTheRealProgram)
{
    TempDir home;
    const struct {
        std::string args;
        int code;
        std::string errStart;
    } cases[] = {
        {"--version", 0, ""},
        {"--frobnicate x.txt", 2, "quillery-cli: "},
        {"-o " + Quoted(home.path().string()) + " " + Quoted((home.path() / "missing.txt").string()), 1,
         "quillery-cli: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        const BinaryResult result = RunBinary(home, c.args);
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(result.err.rfind(c.errStart, 0), 0u) << result.err;
    }
    EXPECT_EQ(RunBinary(home, "--version").out, std::string("quillery-cli ") + QUILLERY_VERSION + "\n");
}

} // namespace
} // namespace quillery::test
