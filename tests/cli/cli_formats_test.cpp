#include "cli/cli_run.h"
#include "extract/front_end.h"
#include "output/save_export.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Listing(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) {
        names.insert(item.path().filename().string());
    }
    return names;
}

// The bundled sample in each format, and the names --name gives its files.
TEST(CliFormats, TheSampleInEachFormatAndNamePattern)
{
    const std::string lighthouse = "The Lighthouse Keeper\xE2\x80\x99s Almanac";
    const struct {
        std::vector<std::string> options;
        std::set<std::string> names;
        std::string file;  // one of them
        std::string start; // how it starts
    } cases[] = {
        {{"--format", "markdown"},
         {"A Field Guide to Quiet Rivers.md", "Notes from a Small Orchard.md", "Small Hours & Other Rooms.md",
          lighthouse + ".md"},
         lighthouse + ".md",
         "---\ntitle: \"" + lighthouse + "\"\nauthors:\n  - \"Morwenna Hale\"\nsource: kindle\n"},
        {{"--format", "markdown", "--name", "{authors} - {title}"},
         {"Tomas Reyes - A Field Guide to Quiet Rivers.md", "\xC3\x89lise Marchand - Notes from a Small Orchard.md",
          "Jun Okada - Small Hours & Other Rooms.md", "Morwenna Hale - " + lighthouse + ".md"},
         "Jun Okada - Small Hours & Other Rooms.md",
         "---\ntitle: \"Small Hours & Other Rooms\"\n"},
        {{"--format", "html"}, {"index.html"}, "index.html", "<!DOCTYPE html>\n<html lang=\"en\">\n"},
        {{"--format", "csv"},
         {"clippings.csv"},
         "clippings.csv",
         "\xEF\xBB\xBFtitle,authors,kind,text,note,page,location_start,location_end,added,id\r\n" + lighthouse +
             ",Morwenna Hale,highlight,"},
        {{"--name", "{title}"},
         {"all.htm", "A Field Guide to Quiet Rivers.txt", "Notes from a Small Orchard.txt",
          "Small Hours & Other Rooms.txt", lighthouse + ".txt"},
         "Small Hours & Other Rooms.txt",
         "\xE2\x80\xA6"
         "At three in the morning"},
    };
    bool leftOut = false;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.options));
        if (c.options[1] == "markdown" && !FormatBuilt(OutputFormat::markdown)) {
            leftOut = true;
            continue;
        }
        TempDir out;
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"-q", "-o", out.path().string(), std::string(SAMPLE_DIR) + "/My Clippings.txt"});
        const CliResult result = RunCliInProcess(args);
        ASSERT_EQ(result.code, 0) << result.err;
        const fs::path folder = out.path() / "My Clippings";
        EXPECT_EQ(Listing(folder), c.names);
        EXPECT_TRUE(ReadBytes(folder / c.file).starts_with(c.start)) << ReadBytes(folder / c.file);
    }
    if (leftOut) {
        GTEST_SKIP() << "this build has no markdown format: its cases were left out";
    }
}

TEST(CliFormats, AFormatLeftOutOfTheBuildIsAUsageError)
{
    if (FormatBuilt(OutputFormat::markdown)) {
        GTEST_SKIP() << "this build has the markdown format";
    }
    TempDir out;
    const CliResult result = RunCliInProcess(
        {"--format", "markdown", "-q", "-o", out.path().string(), std::string(SAMPLE_DIR) + "/My Clippings.txt"});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')), "quillery-cli: --format: this build has no markdown format");
    EXPECT_TRUE(fs::is_empty(out.path()));
}

} // namespace
} // namespace quillery::test
