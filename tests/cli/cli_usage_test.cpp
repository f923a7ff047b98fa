#include "cli/cli_run.h"
#include "extract/front_end.h"
#include "output/save_export.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillery::test {
namespace {

constexpr const char* kUsageLine = "Usage: quillery-cli [OPTIONS] [FILE]\n";

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// --- Help and version: stdout, exit 0, no run ---

TEST(CliUsage, helpAndVersion_printOnStdoutAndExitZero)
{
    struct Case {
        std::vector<std::string> args;
        std::string outStart;
    };
    const Case cases[] = {
        {{"--help"}, kUsageLine},
        {{"-h"}, kUsageLine},
        {{"-h", "some file.txt"}, kUsageLine},
        {{"--version"}, std::string("quillery-cli ") + QUILLERY_VERSION + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        const CliResult result = RunCliInProcess(c.args);
        EXPECT_EQ(result.code, 0);
        EXPECT_EQ(result.out.rfind(c.outStart, 0), 0u) << result.out;
        EXPECT_EQ(result.err, "");
    }
    EXPECT_EQ(RunCliInProcess({"--version"}).out, std::string("quillery-cli ") + QUILLERY_VERSION + "\n");
}

TEST(CliUsage, help_listsEveryOption)
{
    const std::string help = RunCliInProcess({"--help"}).out;
    for (const char* option :
         {"--highlights | --no-highlights", "--notes | --no-notes", "--bookmarks | --no-bookmarks",
          "--sort | --no-sort", "--keep-locations | --no-keep-locations", "--fix-ansi | --no-fix-ansi",
          "--encoding utf-8|windows-1252", "-o, --output-dir DIR", "-q, --quiet", "-h, --help", "--version", "FILE"}) {
        EXPECT_TRUE(Contains(help, option)) << option;
    }
}

// --- Usage errors: stderr with the usage, exit 2, nothing written ---

TEST(CliUsage, badCommandLine_exitsTwoWithTheUsageOnStderr)
{
    TempDir out;
    const std::string o = out.path().string();
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const Case cases[] = {
        {{"--bogus", "a.txt"}, "--bogus"},
        {{"--no-quiet", "a.txt"}, "--no-quiet"},
        {{"--highlights=maybe", "a.txt"}, "maybe"},
        {{"a.txt", "b.txt"}, "b.txt"},
        {{"a.txt", "-o"}, "-o"},
        {{"-o", o, "-o"}, "-o"},
        {{"--encoding", "latin1", "a.txt"}, "\"latin1\" is neither utf-8 nor windows-1252"},
        {{"--encoding", "UTF-8", "a.txt"}, "UTF-8"},
        {{"--name", "{year} - {title}", "a.txt"}, "--name: unknown field \"{year}\" in the name pattern"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliResult result = RunCliInProcess(c.args);
        EXPECT_EQ(result.code, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err.rfind("quillery-cli: ", 0), 0u) << result.err;
        EXPECT_TRUE(Contains(result.err.substr(0, result.err.find('\n')), c.reason)) << result.err;
        EXPECT_TRUE(Contains(result.err, kUsageLine)) << result.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
}

// --- The README shows the help as the program prints it ---

// The line of `text` that starts with `start`, with its line end.
std::string LineStartingWith(const std::string& text, const std::string& start)
{
    const std::size_t at = text.find("\n" + start);
    const std::size_t end = text.find('\n', at + 1);
    return at == std::string::npos || end == std::string::npos ? std::string() : text.substr(at + 1, end - at);
}

// The README shows the help of a build with every format; a build with
// fewer lists only its own on the --format line.
TEST(CliUsage, readme_holdsTheHelpTextVerbatim)
{
    const std::string readme = ReadBytes(README_PATH);
    std::string help = RunCliInProcess({"--help"}).out;
    if (!FormatBuilt(OutputFormat::markdown)) {
        const std::string built = LineStartingWith(help, "  --format ");
        ASSERT_FALSE(built.empty()) << help;
        EXPECT_TRUE(Contains(built, BuiltFormatNames("|", "|"))) << built;
        help.replace(help.find(built), built.size(), LineStartingWith(readme, "  --format "));
    }
    EXPECT_TRUE(Contains(readme, help)) << "README.md's usage block differs from --help:\n" << help;
}

} // namespace
} // namespace quillery::test
