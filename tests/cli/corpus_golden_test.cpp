#include "cli/cli_run.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace quillery::test {
namespace {

namespace fs = std::filesystem;

// Each stored output folder under golden/ is what a run in Windows-1252 gave
// on the same input before; a change that moves a single byte of it shows here.
struct GoldenCase {
    std::string input;  // relative to the project's folder
    std::string golden; // folder name under tests/data/golden
    std::vector<std::string> options;
};

const std::vector<std::string> kDefaults = {};
const std::vector<std::string> kEverything = {"--bookmarks", "--keep-locations", "--no-fix-ansi"};

std::vector<GoldenCase> Cases()
{
    const std::vector<std::string> inputs = {
        "tests/data/corpus/old_georgboe-kindleclippings_My-Clippings_2009.txt",
        "tests/data/corpus/old_baniol-kindle-my-clippings_My-Clippings_K3.txt",
        "tests/data/corpus/old_grassdog-klipbook_clippings-for-three-books.txt",
        "tests/data/corpus/old_obilodeau-pw2kindle_t-data-simple-collection_EXCERPT.txt",
        "tests/data/corpus/old-zhdate_hulufei-kindle-clippings-parser_test-clippings_EDITED.txt",
        "data/sample/My Clippings.txt",
    };
    std::vector<GoldenCase> cases;
    for (const std::string& input : inputs) {
        std::string stem = fs::path(input).stem().string();
        std::replace(stem.begin(), stem.end(), ' ', '-');
        cases.push_back({input, stem + ".default", kDefaults});
        cases.push_back({input, stem + ".all", kEverything});
    }
    return cases;
}

std::map<std::string, std::string> FolderBytes(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& item : fs::directory_iterator(folder)) {
        files[item.path().filename().string()] = ReadBytes(item.path());
    }
    return files;
}

TEST(CorpusGolden, olderDeviceFiles_giveTheStoredOutputByteForByte)
{
    for (const GoldenCase& c : Cases()) {
        SCOPED_TRACE(c.golden);
        TempDir out;
        std::vector<std::string> args = {"-q", "--encoding", "windows-1252", "-o", out.path().string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(PROJECT_DIR "/" + c.input);
        const CliResult result = RunCliInProcess(args);
        ASSERT_EQ(result.code, 0) << result.err;
        const auto actual = FolderBytes(out.path() / "My Clippings");
        const auto expected = FolderBytes(fs::path(PROJECT_DIR "/tests/data/golden") / c.golden);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(actual.size(), expected.size());
        for (const auto& [name, bytes] : expected) {
            SCOPED_TRACE(name);
            const auto found = actual.find(name);
            ASSERT_NE(found, actual.end());
            EXPECT_TRUE(found->second == bytes) << "the bytes differ";
        }
    }
}

} // namespace
} // namespace quillery::test
