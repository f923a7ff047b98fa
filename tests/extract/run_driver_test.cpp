#include "extract/front_end.h"
#include "extract/run_driver.h"
#include "output/run_extraction.h"

#include "extract/clip_store.h"
#include "extract/run_error.h"

#include "support/fake_front_end.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillery {
namespace {

using test::FakeFrontEnd;
using test::TempDir;

constexpr const char* kThreeEntries =
    "\xEF\xBB\xBFOne (A)\r\n- Highlight Loc. 30 | Added on Monday\r\n\r\nthird\r\n==========\r\n"
    "One (A)\r\n- Note Loc. 10 | Added on Monday\r\n\r\nfirst\r\n==========\r\n"
    "One (A)\r\n- Highlight Loc. 20 | Added on Monday\r\n\r\nsecond\r\n==========\r\n";

constexpr const char* kDkx = "<BookName>B</BookName>"
                             "<ReadingDataItem><Type>DIGEST</Type><BookContent>late</BookContent>"
                             "<BeginPos><AtomIndex>9</AtomIndex></BeginPos></ReadingDataItem>"
                             "<ReadingDataItem><Type>COMMENT</Type><UserContent>early</UserContent>"
                             "<BeginPos><AtomIndex>2</AtomIndex></BeginPos></ReadingDataItem>";

std::u16string U16(const std::filesystem::path& path)
{
    const std::string s = path.string();
    return {s.begin(), s.end()};
}

TEST(RunDriver, ChoosesTheReaderByTheLastFourCharacters)
{
    const struct {
        std::u16string path;
        bool dkx;
    } cases[] = {
        {u"NOTES.DKX", true}, {u"a.Dkx", true},  {u".dkx", true}, {u"/x/y.dKX", true}, {u"a.dkx.txt", false},
        {u"a.dkx ", false},   {u"a.xml", false}, {u"dkx", false}, {u"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_EQ(IsDkxPath(c.path), c.dkx);
    }
}

TEST(RunDriver, KindleRunShowsSortingAfterTheProgressAndSortsEachBook)
{
    TempDir dir;
    for (const bool sort : {true, false}) {
        SCOPED_TRACE(sort);
        FakeFrontEnd frontEnd(U16(dir.Write("My Clippings.txt", kThreeEntries)));
        frontEnd.options.sort = sort;
        ClipStore store;
        ReadAndSort(frontEnd.request(), store, frontEnd);
        const std::vector<std::u16string> captions = {u"1 entries in 1 ebooks", u"2 entries in 1 ebooks",
                                                      u"3 entries in 1 ebooks", u"Sorting.."};
        EXPECT_EQ(frontEnd.captions, captions);
        EXPECT_EQ(frontEnd.yields, 4);
        ASSERT_EQ(store.entryCount(), 3);
        EXPECT_EQ(store.Text(store.entry(1)), sort ? "first" : "third");
        EXPECT_EQ(store.Text(store.entry(3)), sort ? "third" : "second");
    }
}

TEST(RunDriver, DkxRunSortsByLocationWithoutASortingCaption)
{
    TempDir dir;
    FakeFrontEnd frontEnd(U16(dir.Write("notes.DKX", kDkx)));
    ClipStore store;
    ReadAndSort(frontEnd.request(), store, frontEnd);
    const std::vector<std::u16string> captions = {u"1 entries in 1 ebooks", u"2 entries in 1 ebooks"};
    EXPECT_EQ(frontEnd.captions, captions);
    ASSERT_EQ(store.entryCount(), 2);
    EXPECT_EQ(store.Text(store.entry(1)), "early");
    EXPECT_EQ(store.Text(store.entry(2)), "late");
}

TEST(RunDriver, AnOptionChangedDuringTheRunAppliesFromThen)
{
    TempDir dir;
    FakeFrontEnd frontEnd(U16(dir.Write("c.txt", kThreeEntries)));
    frontEnd.options.sort = false;
    frontEnd.onYield = [](FakeFrontEnd& fe) { fe.options.highlights = false; };
    ClipStore store;
    ReadAndSort(frontEnd.request(), store, frontEnd);
    ASSERT_EQ(store.entryCount(), 2);
    EXPECT_EQ(store.Text(store.entry(1)), "third");
    EXPECT_EQ(store.Text(store.entry(2)), "first");
}

TEST(RunDriver, WholeRunWritesTheFolderAndAReadFailureWritesNothing)
{
    TempDir dir;
    const auto input = dir.Write("c.txt", kThreeEntries);
    std::filesystem::create_directory(dir.path() / "out");
    FakeFrontEnd frontEnd(U16(input));
    ClipStore store;
    const RunOutcome outcome = RunExtraction(frontEnd.request(U16(dir.path() / "out")), store, frontEnd);
    EXPECT_EQ(outcome.folder, U16(dir.path() / "out" / "My Clippings"));
    EXPECT_EQ(outcome.warning, "");
    EXPECT_EQ(frontEnd.captions.back(), u"Saving..");
    EXPECT_EQ(test::ReadBytes(dir.path() / "out" / "My Clippings" / "One (A).txt"),
              "\x85NOTE: first\r\n\x85second\r\n\x85third\r\n");

    FakeFrontEnd missing(U16(dir.path() / "missing.txt"));
    ClipStore empty;
    EXPECT_THROW(RunExtraction(missing.request(U16(dir.path() / "out")), empty, missing), RunError);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out" / "My Clippings (2)"));
}

TEST(RunDriver, SkippedEntriesAreHandedBackAsAWarning)
{
    TempDir dir;
    const std::string bytes = std::string(kThreeEntries) + "One (A)\r\n- Din markering | x\r\n\r\nt\r\n==========\r\n";
    FakeFrontEnd frontEnd(U16(dir.Write("c.txt", bytes)));
    ClipStore store;
    EXPECT_EQ(ReadAndSort(frontEnd.request(), store, frontEnd),
              "1 entries in a form not recognised were skipped (the first at line 17: \"- Din markering | x\")");
    EXPECT_EQ(store.entryCount(), 3);
}

TEST(RunDriver, TooManyEntriesToSortNamesTheFile)
{
    TempDir dir;
    std::string text;
    for (std::int32_t i = 0; i < ClipStore::kMaxEntries; ++i) {
        text += "T\r\n- Highlight Loc. 1 |\r\n\r\n\r\n==========\r\n";
    }
    const auto input = dir.Write("full.txt", text);
    FakeFrontEnd frontEnd(U16(input));
    ClipStore store;
    try {
        ReadAndSort(frontEnd.request(), store, frontEnd);
        FAIL() << "a full table was sorted";
    } catch (const RunError& error) {
        const std::string expected = "\"" + input.string() + "\": too many entries to sort";
        EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected) << error.what();
    }
}

} // namespace
} // namespace quillery
