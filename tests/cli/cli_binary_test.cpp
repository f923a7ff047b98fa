#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <shlobj.h>
#else
#include <sys/wait.h>
#endif

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
// One argument quoted for CommandLineToArgvW: backslashes before a quote
// doubled, the quote escaped.
std::wstring Quoted(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : text) {
        if (c == L'\\') {
            ++backslashes;
        } else {
            quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
            backslashes = 0;
        }
        quoted += c;
    }
    return quoted.append(backslashes, L'\\') + L"\"";
}

struct BinaryResult {
    int code = -1;
    std::string out;
    std::string err;
};

HANDLE InheritableFile(const fs::path& path)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
}

// Runs the real quillery-cli.exe with `args`, each passed as one argument in
// UTF-16; stdout and stderr go to files, so stderr is no console.
BinaryResult RunBinary(const TempDir& home, const std::vector<std::wstring>& args)
{
    const fs::path out = home.path() / "stdout.txt";
    const fs::path err = home.path() / "stderr.txt";
    std::wstring command = Quoted(fs::path(QUILLERY_CLI_PATH).wstring());
    for (const std::wstring& arg : args) {
        command += L" " + Quoted(arg);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = InheritableFile(out);
    startup.hStdError = InheritableFile(err);
    PROCESS_INFORMATION process{};
    BinaryResult result;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.code = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    result.out = ReadBytes(out);
    result.err = ReadBytes(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}

// The path on the first line of the program's output, which is UTF-8.
fs::path PathOfLine(const std::string& out)
{
    const std::string line = out.substr(0, out.find_first_of("\r\n"));
    return fs::path(std::u8string(line.begin(), line.end()));
}

std::string Utf8(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

TEST(CliBinary, argumentsOfAnyScript_andPathsOfEitherSeparator_reachTheProgram)
{
    TempDir home;
    const struct {
        const char* name;
        std::wstring input;  // written with the sample's bytes
        std::wstring output; // the base folder, made before the run
    } cases[] = {
        {"Latin, Greek and Chinese", L"Caf\u00e9 \u03b2\u03b9\u03b2\u03bb\u03af\u03bf \u4e2d\u6587.txt",
         L"\u00e9t\u00e9"},
        {"a name beyond the BMP", L"\U0001F4DA clippings.txt", L"out \U0001F4DA"},
        {"plain ASCII", L"My Clippings.txt", L"out"},
    };
    const std::string sample = ReadBytes(fs::path(SAMPLE_DIR) / "My Clippings.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path input = home.path() / c.input;
        const fs::path base = home.path() / c.output;
        {
            std::ofstream(input, std::ios::binary) << sample;
        }
        fs::create_directory(base);
        // "/" as well as "\\": both separate folders on Windows.
        const std::wstring slashed = fs::path(input).generic_wstring();
        for (const std::wstring& given : {input.wstring(), slashed}) {
            const BinaryResult result = RunBinary(home, {L"-q", L"-o", base.wstring(), given});
            EXPECT_EQ(result.code, 0) << result.err;
            EXPECT_EQ(result.err, "");
            const fs::path folder = PathOfLine(result.out);
            EXPECT_EQ(folder.parent_path(), base);
            EXPECT_TRUE(fs::is_regular_file(folder / "all.htm")) << result.out;
        }
    }
}

// A path that starts with "/" is no Windows-style option.
TEST(CliBinary, anAbsolutePathWithASlash_isTheInput)
{
    TempDir home;
    const std::wstring missing = L"/quillery-missing/My Clippings.txt";
    const BinaryResult result = RunBinary(home, {L"-q", L"-o", home.path().wstring(), missing});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("cannot open \"/quillery-missing/My Clippings.txt\""), std::string::npos) << result.err;
}

TEST(CliBinary, withoutOutputDir_writesOntoTheShellsDesktop)
{
    TempDir home;
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop), S_OK);
    const BinaryResult result = RunBinary(home, {fs::path(SAMPLE_DIR "/My Clippings.txt").wstring()});
    EXPECT_EQ(result.code, 0) << result.err;
    const fs::path folder = PathOfLine(result.out);
    EXPECT_EQ(folder.parent_path(), fs::path(desktop));
    // stderr is a text stream on Windows.
    EXPECT_EQ(result.err, "quillery-cli: 10 entries of 4 books\r\n");
    EXPECT_TRUE(fs::is_regular_file(folder / "A Field Guide to Quiet Rivers (Tomas Reyes).txt"));
    // Each run makes a numbered folder: this one goes, so the next starts afresh.
    fs::remove_all(folder);
}

TEST(CliBinary, exitCodes_ofTheRealProgram)
{
    TempDir home;
    const struct {
        std::vector<std::wstring> args;
        int code;
        std::string errStart;
    } cases[] = {
        {{L"--version"}, 0, ""},
        {{L"--frobnicate", L"x.txt"}, 2, "quillery-cli: "},
        {{L"-o", home.path().wstring(), (home.path() / "missing.txt").wstring()}, 1, "quillery-cli: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.args.back()));
        const BinaryResult result = RunBinary(home, c.args);
        EXPECT_EQ(result.code, c.code);
        EXPECT_EQ(result.err.rfind(c.errStart, 0), 0u) << result.err;
    }
    EXPECT_EQ(RunBinary(home, {L"--version"}).out, std::string("quillery-cli ") + QUILLERY_VERSION + "\r\n");
}

#else

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

#endif

} // namespace
} // namespace quillery::test
