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

// One book, entries out of location order: a highlight at 30 with an e-acute
// and an em dash as UTF-8, a bookmark at 20, a note at 10.
constexpr const char* kOneBook = "\xEF\xBB\xBF"
                                 "Book (Ann)\r\n"
                                 "- Highlight Loc. 30-31 | Added on Monday, March 3, 2025, 08:15 PM\r\n"
                                 "\r\n"
                                 "caf\xC3\xA9 \xE2\x80\x94 thirty\r\n"
                                 "==========\r\n"
                                 "Book (Ann)\r\n"
                                 "- Bookmark Loc. 20 | Added on Monday, March 3, 2025, 08:16 PM\r\n"
                                 "\r\n"
                                 "\r\n"
                                 "==========\r\n"
                                 "Book (Ann)\r\n"
                                 "- Note Loc. 10 | Added on Monday, March 3, 2025, 08:17 PM\r\n"
                                 "\r\n"
                                 "ten\r\n"
                                 "==========\r\n";

// The lines of kOneBook's book file, as the options shape them, in
// Windows-1252 unless a case asks for UTF-8. The "..." prefix is the
// ellipsis, 0x85 in Windows-1252.
constexpr const char* kNoteLine = "\x85NOTE: ten\r\n";
constexpr const char* kHighlightFixed = "\x85"
                                        "caf\xE9 - thirty\r\n";
constexpr const char* kHighlightRaw = "\x85"
                                      "caf\xC3\xA9 \xE2\x80\x94 thirty\r\n";
constexpr const char* kBookmarkLine = "BOOKMARK @ 20\r\n";

// A folder to read from and one to write into, fresh for each test.
class CliRunTest : public testing::Test {
  protected:
    CliRunTest() : input_(dir_.Write("My Clippings.txt", kOneBook)), outBase_(dir_.path() / "out")
    {
        fs::create_directory(outBase_);
    }

    CliResult Run(std::vector<std::string> args, bool terminal = false) const
    {
        args.insert(args.begin(), {"--encoding", "windows-1252", "-o", outBase_.string()});
        args.push_back(input_.string());
        return RunCliInProcess(args, terminal);
    }

    fs::path Written(const std::string& folder = "My Clippings") const { return outBase_ / folder; }

    std::vector<std::string> OutputListing() const
    {
        std::vector<std::string> names;
        for (const auto& item : fs::recursive_directory_iterator(outBase_)) {
            names.push_back(fs::relative(item.path(), outBase_).generic_string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir dir_;
    fs::path input_;
    fs::path outBase_;
};

// --- Options: each pair changes the book text ---

TEST_F(CliRunTest, everyFlagPair_shapesTheBookText)
{
    const std::string defaults = std::string(kNoteLine) + kHighlightFixed;
    struct Case {
        std::vector<std::string> args;
        std::string bookText;
    };
    const Case cases[] = {
        {{}, defaults},
        {{"--highlights", "--notes", "--no-bookmarks", "--sort", "--no-keep-locations", "--fix-ansi"}, defaults},
        {{"--bookmarks"}, std::string(kNoteLine) + kBookmarkLine + kHighlightFixed},
        {{"--keep-locations"}, "@10 NOTE: ten\r\n@30 caf\xE9 - thirty\r\n"},
        {{"--no-fix-ansi"}, std::string(kNoteLine) + kHighlightRaw},
        {{"--no-sort"}, std::string(kHighlightFixed) + kNoteLine},
        {{"--no-highlights"}, kNoteLine},
        {{"--no-notes"}, kHighlightFixed},
        {{"--no-highlights", "--no-notes"}, ""},
        // The last of a pair wins.
        {{"--bookmarks", "--no-bookmarks"}, defaults},
        {{"--no-sort", "--sort"}, defaults},
        {{"--bookmarks", "--keep-locations", "--no-sort"},
         "@30 caf\xE9 - thirty\r\nBOOKMARK @ 20\r\n@10 NOTE: ten\r\n"},
        // Read as UTF-8, the text is right as it stands: the repair keeps it.
        {{"--encoding", "utf-8"},
         "\xE2\x80\xA6NOTE: ten\r\n\xE2\x80\xA6"
         "caf\xC3\xA9 \xE2\x80\x94 thirty\r\n"},
        {{"--encoding", "utf-8", "--no-fix-ansi", "--keep-locations"},
         "@10 NOTE: ten\r\n@30 caf\xC3\xA9 \xE2\x80\x94 thirty\r\n"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& arg : c.args) {
            joined += arg + " ";
        }
        SCOPED_TRACE(joined);
        TempDir out;
        std::vector<std::string> args = c.args;
        if (std::find(args.begin(), args.end(), "--encoding") == args.end()) {
            args.insert(args.begin(), {"--encoding", "windows-1252"});
        }
        args.insert(args.end(), {"-o", out.path().string(), input_.string()});
        const CliResult result = RunCliInProcess(args);
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(ReadBytes(out.path() / "My Clippings" / "Book (Ann).txt"), c.bookText);
    }
}

// --- Success: the folder on stdout, nothing on stderr ---

TEST_F(CliRunTest, success_printsTheFolderAsOneLine)
{
    const CliResult result = Run({});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, Written().string() + "\n");
    EXPECT_EQ(result.err, "quillery-cli: 2 entries of 1 books\n");
    EXPECT_EQ(OutputListing(),
              (std::vector<std::string>{"My Clippings", "My Clippings/Book (Ann).txt", "My Clippings/all.htm"}));
}

TEST_F(CliRunTest, skippedEntries_oneWarningLineOnStderr_andTheRestWritten)
{
    // Two entries in the newer form with a phrase of no known language, among known ones.
    const std::string unknown =
        "Book (Ann)\r\n- Din markering p\xC3\xA5 side 3 | Tilf\xC3\xB8jet\r\n\r\nx\r\n==========\r\n";
    const fs::path input = dir_.Write("mixed.txt", std::string(kOneBook) + unknown +
                                                       "Book (Ann)\r\n- Your Note on Location 40 | Added\r\n"
                                                       "\r\nforty\r\n==========\r\n" +
                                                       unknown);
    const CliResult result = RunCliInProcess({"--encoding", "windows-1252", "-o", outBase_.string(), input.string()});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, Written().string() + "\n");
    EXPECT_EQ(result.err, "quillery-cli: warning: 2 entries in a form not recognised were skipped (the first at line "
                          "17: \"- Din markering p\xC3\xA5 side 3 | Tilf\xC3\xB8jet\")\n"
                          "quillery-cli: 3 entries of 1 books\n");
    EXPECT_EQ(ReadBytes(Written() / "Book (Ann).txt"),
              std::string(kNoteLine) + kHighlightFixed + "\x85NOTE: forty\r\n");
}

// A cleaned classic book: the older copy of an edited highlight goes, and
// a note is written right after the highlight it was made on.
TEST_F(CliRunTest, cleanClassic_mergesEditsAndWritesEachNoteAfterItsHighlight)
{
    const std::string file =
        "Book\r\n- Your Highlight on Location 10-12 | Added on Monday, 1 January 2024 12:00:00\r\n\r\n"
        "quick fox\r\n==========\r\n"
        "Book\r\n- Your Note on Location 30 | Added on Monday, 1 January 2024 12:01:00\r\n\r\n"
        "far note\r\n==========\r\n"
        "Book\r\n- Your Highlight on Location 10-12 | Added on Monday, 1 January 2024 12:02:00\r\n\r\n"
        "the quick fox\r\n==========\r\n"
        "Book\r\n- Your Note on Location 12 | Added on Monday, 1 January 2024 12:03:00\r\n\r\n"
        "near note\r\n==========\r\n"
        "Book\r\n- Your Highlight on Location 20 | Added on Monday, 1 January 2024 12:04:00\r\n\r\n"
        "apart\r\n==========\r\n";
    const fs::path input = dir_.Write("edited.txt", file);
    const CliResult cleaned = RunCliInProcess(
        {"--encoding", "windows-1252", "-o", outBase_.string(), "--clean", "--no-sort", input.string()});
    ASSERT_EQ(cleaned.code, 0) << cleaned.err;
    EXPECT_EQ(ReadBytes(Written() / "Book.txt"),
              "\x85NOTE: far note\r\n\x85the quick fox\r\n\x85NOTE: near note\r\n\x85"
              "apart\r\n");
    EXPECT_EQ(cleaned.err, "quillery-cli: 5 entries of 1 books (1 duplicates merged, 1 notes attached, 0 "
                           "clipping-limit placeholders dropped)\n");
}

TEST_F(CliRunTest, secondRunIntoTheSameFolder_makesANumberedFolder)
{
    ASSERT_EQ(Run({}).code, 0);
    const std::string first = ReadBytes(Written() / "Book (Ann).txt");
    const CliResult second = Run({"--keep-locations"});
    EXPECT_EQ(second.code, 0);
    EXPECT_EQ(second.out, Written("My Clippings (2)").string() + "\n");
    EXPECT_EQ(ReadBytes(Written() / "Book (Ann).txt"), first);
    EXPECT_EQ(ReadBytes(Written("My Clippings (2)") / "Book (Ann).txt"), "@10 NOTE: ten\r\n@30 caf\xE9 - thirty\r\n");
}

TEST_F(CliRunTest, longOutputDirOption_isTheSameAsShort)
{
    const CliResult result = RunCliInProcess({"--output-dir", outBase_.string(), input_.string()});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, Written().string() + "\n");
}

TEST_F(CliRunTest, nonAsciiPaths_passThroughAsUtf8)
{
    const fs::path input = dir_.Write("Clippings \xC3\xA9t\xC3\xA9.txt", kOneBook);
    const fs::path base = dir_.path() / "Sortie \xC3\xBC";
    fs::create_directory(base);
    const CliResult result = RunCliInProcess({"-o", base.string(), input.string()});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, (base / "My Clippings").string() + "\n");
    EXPECT_TRUE(fs::exists(base / "My Clippings" / "Book (Ann).txt"));
}

// --- Run failures: one line on stderr, exit 1, nothing created ---

// The error stream holds exactly one line: "quillery-cli: " and a message.
void ExpectOneErrorLine(const CliResult& result)
{
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("quillery-cli: ", 0), 0u) << result.err;
    ASSERT_FALSE(result.err.empty());
    EXPECT_EQ(result.err.back(), '\n');
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

TEST_F(CliRunTest, missingInputFile_failsWithOneLineNamingIt)
{
    const fs::path missing = dir_.path() / "nowhere.txt";
    const CliResult result = RunCliInProcess({"-o", outBase_.string(), missing.string()});
    ExpectOneErrorLine(result);
    EXPECT_NE(result.err.find(missing.string()), std::string::npos) << result.err;
    EXPECT_EQ(OutputListing(), std::vector<std::string>{});
}

TEST_F(CliRunTest, malformedInput_failsAndCreatesNothing)
{
    const fs::path empty = dir_.Write("empty.txt", "");
    const fs::path cut = dir_.Write("cut.txt", "\xEF\xBB\xBF"
                                               "Book (Ann)\r\n- Highlight Loc. 5 | Added\r\n");
    for (const fs::path& input : {empty, cut}) {
        SCOPED_TRACE(input.string());
        const CliResult result = RunCliInProcess({"-o", outBase_.string(), input.string()});
        ExpectOneErrorLine(result);
        EXPECT_NE(result.err.find(input.string()), std::string::npos) << result.err;
        EXPECT_EQ(OutputListing(), std::vector<std::string>{});
    }
}

TEST_F(CliRunTest, outputDirThatIsMissingOrAFile_failsNamingIt)
{
    const fs::path missing = dir_.path() / "no such folder";
    const fs::path file = dir_.Write("plain file", "x");
    struct Case {
        fs::path dir;
        std::string message;
    };
    const Case cases[] = {
        {missing,
         "quillery-cli: cannot use the output folder \"" + missing.string() + "\": No such file or directory\n"},
        {file, "quillery-cli: cannot use the output folder \"" + file.string() + "\": not a folder\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dir.string());
        const CliResult result = RunCliInProcess({"-o", c.dir.string(), input_.string()});
        ExpectOneErrorLine(result);
        EXPECT_EQ(result.err, c.message);
    }
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(ReadBytes(file), "x");
}

TEST_F(CliRunTest, unwritableOutputDir_failsWithOneLine)
{
    fs::permissions(outBase_, fs::perms::owner_read | fs::perms::owner_exec);
    if (fs::path probe = outBase_ / "probe"; fs::create_directory(probe)) {
        fs::remove(probe);
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    const CliResult result = Run({});
    ExpectOneErrorLine(result);
    EXPECT_NE(result.err.find(outBase_.string()), std::string::npos) << result.err;
}

// --- Progress on a terminal ---

TEST_F(CliRunTest, progress_onlyOnATerminalAndNotQuiet)
{
    struct Case {
        bool terminal;
        std::vector<std::string> args;
        bool progress;
    };
    const Case cases[] = {
        {true, {}, true},
        {true, {"-q"}, false},
        {true, {"--quiet"}, false},
        {false, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "terminal " << c.terminal << ", " << c.args.size() << " flags");
        TempDir out;
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"-o", out.path().string(), input_.string()});
        const CliResult result = RunCliInProcess(args, c.terminal);
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_EQ(result.out, (out.path() / "My Clippings").string() + "\n");
        if (c.progress) {
            // The first caption, then the two phases, each drawn over the
            // last, and a line end before the result.
            EXPECT_EQ(result.err.rfind("\r1 entries in 1 ebooks\x1b[K", 0), 0u) << result.err;
            const auto sorting = result.err.find("\rSorting..\x1b[K");
            const auto saving = result.err.find("\rSaving..\x1b[K");
            EXPECT_NE(sorting, std::string::npos);
            EXPECT_NE(saving, std::string::npos);
            EXPECT_LT(sorting, saving);
            EXPECT_TRUE(result.err.ends_with("\x1b[K\nquillery-cli: 2 entries of 1 books\n")) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 2);
        } else {
            EXPECT_EQ(result.err, c.args.empty() ? "quillery-cli: 2 entries of 1 books\n" : "");
        }
    }
}

TEST_F(CliRunTest, failureAfterProgress_endsTheStatusLineFirst)
{
    const fs::path cut = dir_.Write("cut.txt", std::string(kOneBook) + "Book (Ann)\r\n- Note Loc. 7 | Added\r\n");
    const CliResult result = RunCliInProcess({"-o", outBase_.string(), cut.string()}, true);
    EXPECT_EQ(result.code, 1);
    const auto lineEnd = result.err.find("\x1b[K\nquillery-cli: ");
    EXPECT_NE(lineEnd, std::string::npos) << result.err;
    EXPECT_EQ(result.err.back(), '\n');
}

} // namespace
} // namespace quillery::test
