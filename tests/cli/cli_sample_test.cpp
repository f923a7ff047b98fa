#include "cli/cli_run.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

// The bundled sample's output in Windows-1252, otherwise with the default options, worked out from the
// rules: bookmarks dropped; each book's entries by location; "..." as the
// byte 0x85; "fix ANSI" turning the typographic quotes, the apostrophe and
// the em dash into ASCII and e-acute, e-grave, a-grave into single bytes.
// Titles are never repaired, so they keep their UTF-8 bytes in the page and
// give one "_" per byte in the file names; "&" becomes "&amp;" in the page.

const std::string kLighthouse =
    "\x85"
    "Every storm we logged began as a rumour on the horizon - a grey line, then a grey wall.\r\n"
    "\x85"
    "NOTE: Compare with the tide tables in chapter 2.\r\n"
    "Ask Dad whether the \"winter light\" was ever lit.\r\n"
    "\x85"
    "The lamp does not care who is watching; it turns all the same.\r\n";

const std::string kOrchard =
    "\x85"
    "\"Fruit remembers the weather,\" she said, \"even when we don't.\"\r\n"
    "\x85"
    "NOTE: Grand-m\xE8re's orchard had the same crooked rows.\r\n"
    "\x85"
    "She pruned the old pear tree in March, when the caf\xE9 on the corner still smelled of smoke.\r\n";

const std::string kRivers = "\x85"
                            "Voil\xE0: the heron again, standing where the current forgets to move.\r\n"
                            "\x85"
                            "NOTE: Saw one like this near the bridge - same stillness.\r\n"
                            "\x85"
                            "A river is quiet only to people who have stopped listening to it.\r\n";

const std::string kSmallHours = "\x85"
                                "At three in the morning even the kettle sounds like a confession.\r\n";

std::string PageRows(const std::string& title, const std::string& text)
{
    return "<P><B>" + title + "</B><BR>\r\n<TEXTAREA COLS=80 ROWS=10>" + text + "</TEXTAREA>\r\n\r\n";
}

const std::string kPage = "<HTML><BODY>\r\n" +
                          PageRows("The Lighthouse Keeper\xE2\x80\x99s Almanac (Morwenna Hale)", kLighthouse) +
                          PageRows("Notes from a Small Orchard (\xC3\x89lise Marchand)", kOrchard) +
                          PageRows("A Field Guide to Quiet Rivers (Tomas Reyes)", kRivers) +
                          PageRows("Small Hours &amp; Other Rooms (Jun Okada)", kSmallHours) + "</BODY></HTML>\r\n";

struct OutputFile {
    std::string name;
    std::string bytes;
};

const std::vector<OutputFile> kFiles = {
    {"A Field Guide to Quiet Rivers (Tomas Reyes).txt", kRivers},
    {"Notes from a Small Orchard (__lise Marchand).txt", kOrchard},
    {"Small Hours & Other Rooms (Jun Okada).txt", kSmallHours},
    {"The Lighthouse Keeper___s Almanac (Morwenna Hale).txt", kLighthouse},
    {"all.htm", kPage},
};

TEST(CliSample, windows1252Run_writesThePageAndOneFilePerBook)
{
    TempDir out;
    const CliResult result =
        RunCliInProcess({"--encoding", "windows-1252", "-o", out.path().string(), SAMPLE_DIR "/My Clippings.txt"});
    ASSERT_EQ(result.code, 0) << result.err;
    const fs::path folder = out.path() / "My Clippings";
    ASSERT_EQ(result.out, folder.string() + "\n");

    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> expectedNames;
    for (const OutputFile& file : kFiles) {
        expectedNames.push_back(file.name);
    }
    EXPECT_EQ(names, expectedNames);

    for (const OutputFile& file : kFiles) {
        SCOPED_TRACE(file.name);
        EXPECT_EQ(ReadBytes(folder / file.name), file.bytes);
    }
}

TEST(CliSample, everyKindAndUnsortedOrder_withBookmarksAndLocations)
{
    TempDir out;
    const CliResult result =
        RunCliInProcess({"--encoding", "windows-1252", "--bookmarks", "--keep-locations", "--no-sort", "--no-fix-ansi",
                         "-o", out.path().string(), SAMPLE_DIR "/My Clippings.txt"});
    ASSERT_EQ(result.code, 0) << result.err;
    // File order, every kind, the text bytes as they came in.
    EXPECT_EQ(ReadBytes(out.path() / "My Clippings" / "A Field Guide to Quiet Rivers (Tomas Reyes).txt"),
              "BOOKMARK @ 512\r\n"
              "@905 A river is quiet only to people who have stopped listening to it.\r\n"
              "@233 Voil\xC3\xA0: the heron again, standing where the current forgets to move.\r\n"
              "@240 NOTE: Saw one like this near the bridge \xE2\x80\x94 same stillness.\r\n");
}

} // namespace
} // namespace quillery::test
